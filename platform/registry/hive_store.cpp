#include "platform/registry/hive_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tv::reg {

namespace {

constexpr int kMaxCorruptCopies = 100;
constexpr const char* kTempSuffix = ".tmp";

LONG ReadStatus(int err) {
    return (err == EACCES || err == EPERM) ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT;
}

LONG WriteStatus(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOENT:
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        default:
            return ERROR_WRITE_FAULT;
    }
}

// Removes a temporary file unless released.
struct TempFileGuard {
    std::string path;
    ~TempFileGuard() {
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
    }
};

}  // namespace

Status StoreFailure(LONG status, int err, std::string reason) {
    if (reason.empty()) {
        reason = err != 0 ? std::strerror(err) : StatusText(status);
    }
    return Status(status, ErrorSource("Registry"), std::move(reason), err);
}

Status WriteFailure(int err) {
    return StoreFailure(WriteStatus(err), err);
}

namespace {
HiveFileId IdOf(const struct stat& st) {
    return {st.st_dev,          st.st_ino,         st.st_size,        st.st_mtim.tv_sec,
            st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}
}  // namespace

Status HiveStore::Load(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        if (err != ENOENT && err != ENOTDIR) {
            return StoreFailure(ReadStatus(err), err);
        }
        if (!cache_ || cache_->path != path || cache_->exists) {
            cache_.emplace();
            cache_->path = path;
        }
        return {};
    }
    if (cache_ && cache_->path == path && cache_->exists && cache_->id == IdOf(st)) {
        return {};
    }
    // O_NONBLOCK: a FIFO put in the hive's place must not hang the viewer.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            cache_.emplace();
            cache_->path = path;
            return {};
        }
        return StoreFailure(ReadStatus(err), err);
    }
    if (!S_ISREG(st.st_mode)) {
        return StoreFailure(ERROR_ACCESS_DENIED, 0, "not a regular file");
    }
    HiveSnapshot snap;
    snap.path = path;
    snap.exists = true;
    snap.id = IdOf(st);
    snap.mode = st.st_mode & 0666;
    if (st.st_size > kMaxHiveSize) {
        snap.corrupt = true;
    } else {
        std::string text;
        if (const int err = ReadAll(fd.Get(), text); err != 0) {
            return StoreFailure(ReadStatus(err), err);
        }
        if (auto hive = ParseHive(text)) {
            snap.hive = std::move(*hive);
        } else {
            snap.corrupt = true;
        }
    }
    snap.pin = std::move(fd);
    cache_ = std::move(snap);
    return {};
}

// Copies the unparseable hive (held open by the cache) beside itself under a free name.
Status HiveStore::KeepCorrupt() const {
    const HiveSnapshot& snap = *cache_;
    for (int n = 0; n < kMaxCorruptCopies; ++n) {
        std::string name = snap.path + ".corrupt" + (n == 0 ? "" : "." + std::to_string(n));
        UniqueFd out(
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!out.Valid() && errno == EEXIST) {
            continue;
        }
        if (!out.Valid()) {
            return WriteFailure(errno);
        }
        char buffer[65536];
        for (off_t offset = 0;;) {
            const ssize_t n = ::pread(snap.pin.Get(), buffer, sizeof buffer, offset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            const int err =
                n < 0 ? errno : WriteAll(out.Get(), buffer, static_cast<std::size_t>(n));
            if (err != 0) {
                ::unlink(name.c_str());
                return WriteFailure(err);
            }
            if (n == 0) {
                return {};
            }
            offset += n;
        }
    }
    return StoreFailure(ERROR_WRITE_FAULT, 0, "no free name to keep the unreadable hive");
}

Status HiveStore::Write(std::unique_lock<std::mutex>& guard, const std::string& path,
                        const Change& change) {
    if (writeFault_ != 0) {
        return WriteFailure(writeFault_);
    }
    if (Status locked = Lock(guard, path); !locked) {
        return locked;
    }
    struct Unlock {
        int fd;
        ~Unlock() { ::flock(fd, LOCK_UN); }
    } unlock{lock_.Get()};
    if (Status loaded = Load(path); !loaded) {
        return loaded;
    }
    Hive next = cache_->hive;
    bool changed = false;
    if (Status status = change(next, changed); !status || !changed) {
        return status;
    }
    if (cache_->corrupt) {
        if (Status kept = KeepCorrupt(); !kept) {
            return kept;
        }
    }
    return Replace(path, std::move(next));
}

// Writes next to "<hive>.tmp" and renames it over the hive.
Status HiveStore::Replace(const std::string& path, Hive next) {
    const std::string text = SerializeHive(next);
    // One writer at a time holds the lock, so one name serves; a file left by a killed
    // writer (or anything else in its place, never followed) is replaced.
    const std::string tempName = path + kTempSuffix;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
    UniqueFd temp(::open(tempName.c_str(), flags, 0600));
    if (!temp.Valid() && errno == EEXIST && ::unlink(tempName.c_str()) == 0) {
        temp.Reset(::open(tempName.c_str(), flags, 0600));
    }
    if (!temp.Valid()) {
        return WriteFailure(errno);
    }
    TempFileGuard tempGuard{tempName};
    const mode_t mode = cache_->mode;
    if (mode != 0600 && ::fchmod(temp.Get(), mode) != 0) {
        return WriteFailure(errno);
    }
    if (const int err = WriteAll(temp.Get(), text.data(), text.size()); err != 0) {
        return WriteFailure(err);
    }
    struct stat st {};
    if (::rename(tempName.c_str(), path.c_str()) != 0 || ::fstat(temp.Get(), &st) != 0) {
        return WriteFailure(errno);
    }
    tempGuard.path.clear();
    HiveSnapshot written;
    written.path = path;
    written.exists = true;
    written.id = IdOf(st);
    written.mode = mode;
    written.pin = std::move(temp);
    written.hive = std::move(next);
    cache_ = std::move(written);
    return {};
}

}  // namespace tv::reg
