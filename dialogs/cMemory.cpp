#include "dialogs/cMemory.h"

#include <new>

namespace tv {

bool cMemory::AllocateMemory(std::size_t size, std::uint32_t flags) {
    FreeMemory();
    if (size == 0) {
        return false;
    }
    block_ = (flags & GMEM_ZEROINIT) != 0
                 ? std::unique_ptr<std::byte[]>(new (std::nothrow) std::byte[size]())
                 : std::unique_ptr<std::byte[]>(new (std::nothrow) std::byte[size]);
    size_ = block_ ? size : 0;
    return block_ != nullptr;
}

void* cMemory::LockMemory() {
    if (!block_) {
        return nullptr;
    }
    ++locks_;
    return block_.get();
}

bool cMemory::UnlockMemory() {
    if (locks_ == 0) {
        return false;
    }
    --locks_;
    return true;
}

void cMemory::FreeMemory() {
    block_.reset();
    size_ = 0;
    locks_ = 0;
}

std::unique_ptr<std::byte[]> cMemory::ReleaseDontFreeMemory() {
    size_ = 0;
    locks_ = 0;
    return std::move(block_);
}

}  // namespace tv
