#pragma once
// One owner for a file descriptor, and full reads and writes that retry after
// interruptions and short counts. Used by every part of platform/ that works on
// descriptors.
#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tv {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const noexcept { return fd_; }
    bool Valid() const noexcept { return fd_ >= 0; }
    int Release() noexcept { return std::exchange(fd_, -1); }
    void Reset(int fd = -1) noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

// Appends everything up to the end of the file to out. 0, or the errno value of the
// failing read.
int ReadAll(int fd, std::string& out);

// Writes all size bytes. 0, or the errno value of the failing write (EIO for a write
// that makes no progress).
int WriteAll(int fd, const void* data, std::size_t size);

// Writes all of bytes into a newly made file, gives it ordinary permissions (0644) and
// closes it. 0, or the errno value of the first step that failed.
int WriteNewAndClose(UniqueFd fd, std::string_view bytes);

}  // namespace tv
