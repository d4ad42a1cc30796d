#include "archive/unzip/file_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tv::unzip {

zip_source_t* FileSource::Create(zip_error_t* error) {
    return zip_source_function_create(&FileSource::Callback, this, error);
}

zip_int64_t FileSource::Callback(void* self, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    return static_cast<FileSource*>(self)->Handle(data, len, cmd);
}

namespace {
constexpr std::size_t kAheadSize = 64 * 1024;
}  // namespace

void FileSource::SetView(std::uint64_t tailAt, std::string tail) {
    tailAt_ = tailAt;
    tail_ = std::move(tail);
    size_ = tailAt_ + tail_.size();
    aheadSize_ = 0;
}

bool FileSource::ReadExactly(std::uint64_t at, unsigned char* buf, std::size_t n) {
    return at <= size_ && n <= size_ - at &&
           ReadAt(reinterpret_cast<char*>(buf), at, n) == static_cast<zip_int64_t>(n);
}

// Reads up to n bytes of the package as presented at `at`: the count, or -1 with the
// error set.
zip_int64_t FileSource::ReadAt(char* data, std::uint64_t at, std::size_t n) {
    std::size_t done = 0;
    if (at < tailAt_) {
        const auto fromFile = static_cast<std::size_t>(std::min<std::uint64_t>(n, tailAt_ - at));
        const zip_int64_t got = ReadFile(data, at, fromFile);
        if (got < 0) {
            return -1;
        }
        done = static_cast<std::size_t>(got);
        if (done < fromFile) {
            return static_cast<zip_int64_t>(done);
        }
    }
    if (done < n && at + done >= tailAt_ && at + done - tailAt_ < tail_.size()) {
        const std::size_t off = static_cast<std::size_t>(at + done - tailAt_);
        const std::size_t k = std::min(n - done, tail_.size() - off);
        std::memcpy(data + done, tail_.data() + off, k);
        done += k;
    }
    return static_cast<zip_int64_t>(done);
}

// Reads up to n bytes of the file at `at` (fewer at its end): the count, or -1 with the
// error set.
zip_int64_t FileSource::ReadFile(char* data, std::uint64_t at, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, data + done, n - done, static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            zip_error_set(&error_, ZIP_ER_READ, errno);
            return -1;
        }
        if (got == 0) {
            break;  // the file shrank: a short read, libzip reports it
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<zip_int64_t>(done);
}

zip_int64_t FileSource::Read(char* data, std::uint64_t len) {
    lastRead_ = position_;
    const std::uint64_t left = position_ < size_ ? size_ - position_ : 0;
    const auto want = static_cast<std::size_t>(len < left ? len : left);
    if (want >= kAheadSize) {
        const zip_int64_t got = ReadAt(data, position_, want);
        position_ += got > 0 ? static_cast<std::uint64_t>(got) : 0;
        return got;
    }
    if (position_ < aheadAt_ || position_ + want > aheadAt_ + aheadSize_) {
        ahead_.resize(kAheadSize);
        const zip_int64_t got = ReadAt(ahead_.data(), position_, kAheadSize);
        if (got < 0) {
            return -1;
        }
        aheadAt_ = position_;
        aheadSize_ = static_cast<std::size_t>(got);
    }
    const std::size_t n = std::min<std::size_t>(want, aheadAt_ + aheadSize_ - position_);
    std::memcpy(data, ahead_.data() + (position_ - aheadAt_), n);
    position_ += n;
    return static_cast<zip_int64_t>(n);
}

zip_int64_t FileSource::Handle(void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    switch (cmd) {
        case ZIP_SOURCE_OPEN:
            position_ = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return Read(static_cast<char*>(data), len);
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:  // the object is its owner's
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &error_);
            if (st == nullptr) {
                return -1;
            }
            zip_stat_init(st);
            st->size = size_;
            st->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, len);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to =
                zip_source_seek_compute_offset(position_, size_, data, len, &error_);
            if (to < 0) {
                return -1;
            }
            position_ = static_cast<std::uint64_t>(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(position_);
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

}  // namespace tv::unzip
