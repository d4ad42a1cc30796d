#pragma once
// Writing below the extraction folder without ever leaving it: folders are opened one
// component at a time relative to their parent and never through a symbolic link, and
// files are created exclusively, never opened where something already exists.
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/fd.h"

namespace tv::unzip {

class OutputFolder {
  public:
    // Opens root, creating it and missing parents (the root itself is the caller's
    // choice, so links in its own path are followed). False with errno set on failure.
    bool OpenRoot(const std::string& root);

    // The folder at the relative "/"-separated path below the root ("" is the root),
    // created when missing. Returns a descriptor owned by this object and valid until
    // the next call, or -1 with reason set (a link or file in the way, a system error).
    int Folder(const std::string& relative, std::string& reason);

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

// A file being written in folder dirFd; removed again unless committed. A new file is
// written under its final name (created exclusively, so nothing that appeared there is
// ever opened); a file that replaces another is written under a temporary name and
// renamed over it, so a failed replacement keeps the old file.
class PendingFile {
  public:
    explicit PendingFile(int dirFd) noexcept : dirFd_(dirFd) {}
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // False with errno set when the file could not be made.
    bool Create(const std::string& leaf, bool replacing);
    int Fd() const noexcept { return fd_.Get(); }

    // Sets the modification time (when mtime >= 0), closes the file and, when
    // replacing, renames it over whatever entry (file or link) has the final name.
    // False with errno set.
    bool Commit(std::time_t mtime);

  private:
    bool CreateTemporary();

    int dirFd_;
    UniqueFd fd_;
    std::string leaf_;
    std::string writtenName_;  // removed by the destructor unless committed
    bool replacing_ = false;
};

}  // namespace tv::unzip
