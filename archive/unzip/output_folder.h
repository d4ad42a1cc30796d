#pragma once
// Writing below the extraction folder without ever leaving it: folders are opened one
// component at a time relative to their parent and never through a symbolic link, and
// files are created exclusively, never opened where something already exists.
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/error.h"
#include "platform/fd.h"

namespace tv::unzip {

class OutputFolder {
  public:
    // Opens root, creating it and missing parents (the root itself is the caller's
    // choice, so links in its own path are followed). False with errno set on failure.
    bool OpenRoot(const std::string& root);

    // The folder at the relative "/"-separated path below the root ("" is the root),
    // created when missing. Sets fd to a descriptor owned by this object and valid until
    // the next call; otherwise fd is -1 and the status says why (a link or file in the
    // way, a system error).
    Status Folder(const std::string& relative, int& fd);

    struct Space {
        std::uint64_t available;  // bytes an unprivileged writer may still use
        std::uint64_t total;      // size of the file system
        std::uint64_t blockSize;  // what one new folder costs
    };
    // The root's file system; available and total are the largest value when that
    // cannot be told.
    Space DiskSpace() const;

  private:
    UniqueFd root_;
    std::string cachedPath_;
    UniqueFd cached_;
};

// A file being written in folder dirFd under its final name; removed again unless
// committed. It is always created exclusively and without following a link, so nothing
// that exists there is ever opened: an entry (file or link) being replaced is removed
// first, as is whatever appears there meanwhile.
class PendingFile {
  public:
    explicit PendingFile(int dirFd) noexcept : dirFd_(dirFd) {}
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // False with errno set when the file could not be made (EISDIR: a folder has the
    // name). replacing says an entry is known to exist there.
    bool Create(const std::string& leaf, bool replacing);
    int Fd() const noexcept { return fd_.Get(); }

    // Sets the modification time (when mtime >= 0) and closes the file. False with errno
    // set.
    bool Commit(std::time_t mtime);

  private:
    int dirFd_;
    UniqueFd fd_;
    std::string leaf_;  // removed by the destructor unless committed
};

}  // namespace tv::unzip
