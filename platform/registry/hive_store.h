#pragma once
// The hive file on disk as the registry functions see it (platform/registry/registry.h
// states what they promise): a cache of the parsed hive that is trusted while the
// file's identity stays the same, the lock that writers share, and the atomic
// replacement of the file. Internal to the registry functions.
//
// Calls are serialised by the caller's mutex; Write takes it in its lock so that it
// can let go of it while it waits for another process's lock.
//
// Memory: parsing a hive needs about ten times the file's size (key paths, maps and
// their nodes); the 64 MiB cap (kMaxHiveSize) bounds it, a larger file reads as empty.
//
// Failures are Statuses whose number is the Win32 status (ERROR_ACCESS_DENIED, ...)
// and whose description is the reason a user is shown ("Permission denied").
#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/fd.h"
#include "platform/registry/hive.h"
#include "platform/registry/registry.h"

namespace tv::reg {

inline constexpr off_t kMaxHiveSize = 64 * 1024 * 1024;

// How long a write waits for another process's lock, and how often it looks.
inline constexpr auto kLockWait = std::chrono::seconds(3);
inline constexpr auto kLockPoll = std::chrono::milliseconds(20);

// A failure with a Win32 status; err (errno) gives the reason when reason is empty.
Status StoreFailure(LONG status, int err, std::string reason = {});

// A failed write or folder creation: the Win32 status that fits errno err.
Status WriteFailure(int err);

// What tells one state of the hive file from another.
struct HiveFileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
    bool operator==(const HiveFileId&) const = default;
};

// The hive file as last seen on disk. pin holds that file open so that its inode number
// cannot be given to another file while the cache trusts it.
struct HiveSnapshot {
    std::string path;
    bool exists = false;
    HiveFileId id;
    mode_t mode = 0600;
    UniqueFd pin;
    Hive hive;
    bool corrupt = false;
};

class HiveStore {
  public:
    // Makes Current() the hive of path as it is on disk now (an absent file is an
    // empty hive; an unparseable one reads as empty and is marked corrupt).
    Status Load(const std::string& path);

    // The hive of the last successful Load or Write.
    const Hive& Current() const { return cache_->hive; }

    // change(hive, changed) edits a copy of the hive as it is on disk, under the lock;
    // when it reports a change, the copy replaces the file.
    using Change = std::function<Status(Hive& hive, bool& changed)>;
    Status Write(std::unique_lock<std::mutex>& guard, const std::string& path,
                 const Change& change);

    // Makes every following write fail before it touches the disk, as if the system
    // reported err (0: normal writes).
    void SetWriteFault(int err) { writeFault_ = err; }

  private:
    Status Lock(std::unique_lock<std::mutex>& guard, const std::string& path);
    Status OpenLockFile(const std::string& path, const std::string& lockPath);
    Status KeepCorrupt() const;
    Status Replace(const std::string& path, Hive next);

    std::optional<HiveSnapshot> cache_;
    int writeFault_ = 0;
    // The lock file stays open between writes (opened by lockOwner_; a forked child
    // must not share its lock).
    UniqueFd lock_;
    std::string lockPath_;
    pid_t lockOwner_ = 0;
};

}  // namespace tv::reg
