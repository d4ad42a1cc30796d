// The writers' lock on "<hive>.lock": opened once and kept, waited for a bounded time.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "platform/paths.h"
#include "platform/registry/hive_store.h"

namespace tv::reg {

namespace {

constexpr const char* kLockSuffix = ".lock";

// Creates the hive's folder and its missing parents; the hive's own folder, when new,
// is made private.
Status EnsureFolder(const std::string& folder) {
    namespace sfs = std::filesystem;
    std::error_code ec;
    if (folder.empty() || sfs::is_directory(folder, ec)) {
        return {};
    }
    if (sfs::create_directories(folder, ec); ec) {
        return WriteFailure(ec.value());
    }
    sfs::permissions(folder, sfs::perms::owner_all, ec);
    return sfs::is_directory(folder, ec) ? Status() : WriteFailure(ENOTDIR);
}

// lstat: a link put in the lock file's place is not the file we hold.
bool SameFile(int fd, const std::string& path) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

}  // namespace

// Opens "<hive>.lock", creating it (and the hive's folder) when missing. A link in its
// place is replaced by a regular file, never followed.
Status HiveStore::OpenLockFile(const std::string& path, const std::string& lockPath) {
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
    UniqueFd fd;
    int err = 0;
    for (int attempt = 0; attempt < 3 && !fd.Valid(); ++attempt) {
        fd.Reset(::open(lockPath.c_str(), flags, 0600));
        err = fd.Valid() ? 0 : errno;
        if (err == ELOOP) {
            ::unlink(lockPath.c_str());
        } else if (err == ENOENT) {
            const std::string folder = SplitAtLastSeparator(path).first;
            if (Status made = EnsureFolder(WithoutTrailingSeparator(folder)); !made) {
                return made;
            }
        } else if (err != 0) {
            break;
        }
    }
    if (!fd.Valid()) {
        return WriteFailure(err);
    }
    lock_ = std::move(fd);
    lockPath_ = lockPath;
    lockOwner_ = ::getpid();
    return {};
}

// Polls flock(LOCK_NB) with the caller's mutex released between attempts, so that
// reads go on while another process holds the lock. A lock file that was removed or
// replaced meanwhile is opened afresh, so that every writer locks the same file.
Status HiveStore::Lock(std::unique_lock<std::mutex>& guard, const std::string& path) {
    const std::string lockPath = path + kLockSuffix;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (int reopened = 0; reopened < 5;) {
        if (!lock_.Valid() || lockPath_ != lockPath || lockOwner_ != ::getpid()) {
            lock_.Reset();
            if (Status opened = OpenLockFile(path, lockPath); !opened) {
                return opened;
            }
        }
        if (::flock(lock_.Get(), LOCK_EX | LOCK_NB) == 0) {
            if (SameFile(lock_.Get(), lockPath)) {
                return {};
            }
            ::flock(lock_.Get(), LOCK_UN);
            lock_.Reset();
            ++reopened;
            continue;
        }
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        if (err != EWOULDBLOCK) {
            lock_.Reset();
            return StoreFailure(ERROR_WRITE_FAULT, err);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return StoreFailure(ERROR_LOCK_VIOLATION, 0,
                                "another program has kept the settings file locked");
        }
        guard.unlock();
        std::this_thread::sleep_for(kLockPoll);
        guard.lock();
    }
    return StoreFailure(ERROR_WRITE_FAULT, 0, "the lock file keeps being replaced");
}

}  // namespace tv::reg
