#pragma once
// A block of memory owned by one object, in the manner of a movable global block:
// allocated zero-filled or not, locked to get its address, freed when the object ends.
// Handing the block on (ReleaseDontFreeMemory) moves its ownership to the caller, so
// nothing is ever forgotten unfreed.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tv {

class cMemory {
  public:
    // Flag bit of AllocateMemory: fill the block with zeros.
    static constexpr std::uint32_t GMEM_ZEROINIT = 0x40;

    cMemory() = default;
    cMemory(const cMemory&) = delete;
    cMemory& operator=(const cMemory&) = delete;

    // Frees any block held, then allocates size bytes; false when size is 0 or the
    // allocation fails.
    bool AllocateMemory(std::size_t size, std::uint32_t flags);
    // The block's address while locked (lock counts nest); nullptr without a block.
    void* LockMemory();
    // False when the block was not locked.
    bool UnlockMemory();
    void FreeMemory();
    // Gives the block to the caller; this object holds nothing afterwards.
    std::unique_ptr<std::byte[]> ReleaseDontFreeMemory();

    // A non-zero value identifying the block while one is held.
    std::uintptr_t Handle() const { return reinterpret_cast<std::uintptr_t>(block_.get()); }
    // The address while locked, else nullptr.
    void* Pointer() const { return locks_ > 0 ? block_.get() : nullptr; }
    std::size_t Size() const { return size_; }

  private:
    std::unique_ptr<std::byte[]> block_;
    std::size_t size_ = 0;
    int locks_ = 0;
};

}  // namespace tv
