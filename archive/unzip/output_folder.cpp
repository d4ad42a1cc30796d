#include "archive/unzip/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archive/unzip/unzip.h"

namespace tv::unzip {
namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

Status FolderFailure(const std::string& reason, int err = 0) {
    return Status(UZ_ERR_ARCHIVE, "unzip", reason, err);
}

// Opens (creating when missing) the folder part below parent without following a link.
Status OpenChild(int parent, const std::string& part, UniqueFd& fd) {
    fd.Reset(::openat(parent, part.c_str(), kDirFlags));
    if (!fd.Valid() && errno == ENOENT) {
        if (::mkdirat(parent, part.c_str(), 0777) != 0 && errno != EEXIST) {
            const int err = errno;
            return FolderFailure("cannot create folder " + part + ": " + std::strerror(err), err);
        }
        fd.Reset(::openat(parent, part.c_str(), kDirFlags));
    }
    if (fd.Valid()) {
        return {};
    }
    const int err = errno;
    struct stat st {};
    if (::fstatat(parent, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        return FolderFailure("a symbolic link is in the way: " + part, err);
    }
    if (err == ENOTDIR) {
        return FolderFailure("a file is in the way: " + part, err);
    }
    return FolderFailure("cannot open folder " + part + ": " + std::strerror(err), err);
}

}  // namespace

bool OutputFolder::OpenRoot(const std::string& root) {
    cachedPath_.clear();
    cached_.Reset();
    // Create missing parents first; an existing one is fine whatever it is, the open
    // below decides.
    // When the open fails for a missing folder, the reason is why it could not be made
    // (a parent that is not writable), not that it is missing.
    int mkdirError = 0;
    auto make = [&mkdirError](const std::string& path) {
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
            mkdirError = errno;
        }
    };
    for (std::size_t slash = root.find('/', 1); slash != std::string::npos;
         slash = root.find('/', slash + 1)) {
        make(root.substr(0, slash));
    }
    make(root);
    root_.Reset(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root_.Valid() && errno == ENOENT && mkdirError != 0) {
        errno = mkdirError;
    }
    return root_.Valid();
}

OutputFolder::Space OutputFolder::DiskSpace() const {
    struct statvfs vfs {};
    if (!root_.Valid() || ::fstatvfs(root_.Get(), &vfs) != 0) {
        return {UINT64_MAX, UINT64_MAX, 4096};
    }
    const std::uint64_t size = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
    auto bytes = [size](std::uint64_t blocks) {
        return size != 0 && blocks > UINT64_MAX / size ? UINT64_MAX : blocks * size;
    };
    return {bytes(vfs.f_bavail), bytes(vfs.f_blocks), size != 0 ? size : 4096};
}

Status OutputFolder::Folder(const std::string& relative, int& fd) {
    fd = -1;
    if (relative.empty()) {
        fd = root_.Get();
        return {};
    }
    if (cached_.Valid() && relative == cachedPath_) {
        fd = cached_.Get();
        return {};
    }
    cached_.Reset();
    cachedPath_.clear();
    UniqueFd current;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t slash = relative.find('/', start);
        if (slash == std::string::npos) {
            slash = relative.size();
        }
        const std::string part = relative.substr(start, slash - start);
        UniqueFd next;
        if (Status s = OpenChild(current.Valid() ? current.Get() : root_.Get(), part, next); !s) {
            return s;
        }
        current = std::move(next);
        start = slash + 1;
    }
    cached_ = std::move(current);
    cachedPath_ = relative;
    fd = cached_.Get();
    return {};
}

PendingFile::~PendingFile() {
    if (!leaf_.empty()) {
        fd_.Reset();
        ::unlinkat(dirFd_, leaf_.c_str(), 0);
    }
}

// 0666 less the umask: no execute, set-user or set-group bits from the archive.
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// Removing the old entry and creating a new one costs no more than the classic tool's
// overwrite; a new file renamed over the old one costs several times as much on file
// systems that flush a file's data when it replaces another by renaming.
bool PendingFile::Create(const std::string& leaf, bool replacing) {
    // unlinkat without AT_REMOVEDIR removes a file or a link, never what a link names,
    // and fails on a folder. Each round removes what came in between; a few suffice
    // unless someone keeps planting entries.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if ((replacing || attempt > 0) && ::unlinkat(dirFd_, leaf.c_str(), 0) != 0 &&
            errno != ENOENT) {
            return false;
        }
        UniqueFd fd(::openat(dirFd_, leaf.c_str(), kCreateFlags, 0666));
        if (fd.Valid()) {
            fd_ = std::move(fd);
            leaf_ = leaf;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool PendingFile::Commit(std::time_t mtime) {
    if (mtime >= 0) {
        const struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ::futimens(fd_.Get(), times);  // a time that cannot be set is no reason to fail
    }
    if (::close(fd_.Release()) != 0) {
        return false;
    }
    leaf_.clear();
    return true;
}

}  // namespace tv::unzip
