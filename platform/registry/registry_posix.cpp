#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/environment.h"
#include "platform/registry/registry.h"
#include "platform/strings.h"

namespace tv::reg {

namespace {

constexpr off_t kMaxHiveSize = 64 * 1024 * 1024;
constexpr int kMaxCorruptCopies = 100;
constexpr const char* kTempSuffix = ".tmp";
constexpr const char* kLockSuffix = ".lock";
constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";
// How long a write waits for another process's lock, and how often it looks.
constexpr auto kLockWait = std::chrono::seconds(3);
constexpr auto kLockPoll = std::chrono::milliseconds(20);

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset() noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_ = -1;
};

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;

    bool operator==(const FileId&) const = default;
};

FileId IdOf(const struct stat& st) {
    return {st.st_dev,          st.st_ino,         st.st_size,        st.st_mtim.tv_sec,
            st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

// The hive as last seen on disk. pin holds that file open so that its inode number
// cannot be given to another file while the cache trusts it.
struct Snapshot {
    std::string path;
    bool exists = false;
    FileId id;
    mode_t mode = 0600;
    Fd pin;
    Hive hive;
    bool corrupt = false;
};

struct OpenKey {
    std::string path;
    REGSAM access = 0;
};

struct State {
    std::mutex mutex;
    std::optional<Snapshot> cache;
    std::map<std::uint32_t, OpenKey> handles;
    std::uint32_t nextHandle = 1;
    int writeFault = 0;
    // The lock file stays open between writes (opened by lockOwner; a forked child
    // must not share its lock).
    Fd lock;
    std::string lockPath;
    pid_t lockOwner = 0;
};

State& GetState() {
    static State state;
    return state;
}

thread_local RegFailure t_lastFailure;

LONG Failure(LONG status, const std::string& path, const std::string& reason) {
    t_lastFailure = {status, path, reason};
    return status;
}

LONG Failure(LONG status, const std::string& path) {
    return Failure(status, path, StatusText(status));
}

LONG SystemFailure(LONG status, const std::string& path, int err) {
    return Failure(status, path, std::strerror(err));
}

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

bool ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes state.cache the hive of path as it is on disk now.
LONG Refresh(State& state, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        int err = errno;
        if (err != ENOENT && err != ENOTDIR) {
            return SystemFailure(ReadStatus(err), path, err);
        }
        if (!state.cache || state.cache->path != path || state.cache->exists) {
            state.cache.emplace();
            state.cache->path = path;
        }
        return ERROR_SUCCESS;
    }
    if (state.cache && state.cache->path == path && state.cache->exists &&
        state.cache->id == IdOf(st)) {
        return ERROR_SUCCESS;
    }
    // O_NONBLOCK: a FIFO put in the hive's place must not hang the viewer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        int err = errno;
        if (err == ENOENT) {
            state.cache.emplace();
            state.cache->path = path;
            return ERROR_SUCCESS;
        }
        return SystemFailure(ReadStatus(err), path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure(ERROR_ACCESS_DENIED, path, "not a regular file");
    }
    Snapshot snap;
    snap.path = path;
    snap.exists = true;
    snap.id = IdOf(st);
    snap.mode = st.st_mode & 0666;
    if (st.st_size > kMaxHiveSize) {
        snap.corrupt = true;
    } else {
        std::string text;
        if (!ReadAll(fd.Get(), text)) {
            int err = errno;
            return SystemFailure(ReadStatus(err), path, err);
        }
        if (auto hive = ParseHive(text)) {
            snap.hive = std::move(*hive);
        } else {
            snap.corrupt = true;
        }
    }
    snap.pin = std::move(fd);
    state.cache = std::move(snap);
    return ERROR_SUCCESS;
}

// Creates the hive's folder and its missing parents.
LONG EnsureFolder(const std::string& folder, const std::string& path) {
    struct stat st {};
    if (folder.empty() || ::stat(folder.c_str(), &st) == 0) {
        return (folder.empty() || S_ISDIR(st.st_mode))
                   ? ERROR_SUCCESS
                   : SystemFailure(ERROR_PATH_NOT_FOUND, path, ENOTDIR);
    }
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            int err = errno;
            return SystemFailure(WriteStatus(err), path, err);
        }
        if (end == std::string::npos) {
            break;
        }
    }
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return SystemFailure(ERROR_PATH_NOT_FOUND, path, ENOTDIR);
    }
    return ERROR_SUCCESS;
}

// Copies the unparseable hive (held open in snap.pin) beside itself under a free name.
LONG KeepCorrupt(const Snapshot& snap) {
    for (int n = 0; n < kMaxCorruptCopies; ++n) {
        std::string name = snap.path + ".corrupt" + (n == 0 ? "" : "." + std::to_string(n));
        Fd out(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!out.Valid() && errno == EEXIST) {
            continue;
        }
        if (!out.Valid()) {
            int err = errno;
            return SystemFailure(WriteStatus(err), snap.path, err);
        }
        char buffer[65536];
        off_t offset = 0;
        for (;;) {
            ssize_t n = ::pread(snap.pin.Get(), buffer, sizeof buffer, offset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 || (n > 0 && !WriteAll(out.Get(), buffer, static_cast<std::size_t>(n)))) {
                int err = errno;
                ::unlink(name.c_str());
                return SystemFailure(WriteStatus(err), snap.path, err);
            }
            if (n == 0) {
                return ERROR_SUCCESS;
            }
            offset += n;
        }
    }
    return Failure(ERROR_WRITE_FAULT, snap.path, "no free name to keep the unreadable hive");
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

// lstat: a link put in the lock file's place is not the file we hold.
bool SameFile(int fd, const std::string& path) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// Opens "<hive>.lock", creating it (and the hive's folder) when missing. A link in its
// place is replaced by a regular file, never followed.
LONG OpenLockFile(State& state, const std::string& path, const std::string& lockPath) {
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
    Fd fd;
    for (int attempt = 0; attempt < 3 && !fd.Valid(); ++attempt) {
        fd = Fd(::open(lockPath.c_str(), flags, 0600));
        if (fd.Valid()) {
            break;
        }
        const int err = errno;
        if (err == ELOOP) {
            ::unlink(lockPath.c_str());
        } else if (err == ENOENT) {
            if (LONG status = EnsureFolder(path.substr(0, path.rfind('/')), path);
                status != ERROR_SUCCESS) {
                return status;
            }
        } else {
            return SystemFailure(WriteStatus(err), path, err);
        }
    }
    if (!fd.Valid()) {
        return SystemFailure(WriteStatus(errno), path, errno);
    }
    state.lock = std::move(fd);
    state.lockPath = lockPath;
    state.lockOwner = ::getpid();
    return ERROR_SUCCESS;
}

// Takes the exclusive lock on "<hive>.lock". Another process holding it is waited for
// at most kLockWait, polling, with the process mutex released meanwhile so that reads
// go on. A lock file that was removed or replaced while we waited is opened afresh,
// so that every writer locks the same file.
LONG Lock(State& state, std::unique_lock<std::mutex>& guard, const std::string& path) {
    const std::string lockPath = path + kLockSuffix;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (int reopened = 0; reopened < 5;) {
        if (!state.lock.Valid() || state.lockPath != lockPath || state.lockOwner != ::getpid()) {
            state.lock.Reset();
            if (LONG status = OpenLockFile(state, path, lockPath); status != ERROR_SUCCESS) {
                return status;
            }
        }
        if (::flock(state.lock.Get(), LOCK_EX | LOCK_NB) == 0) {
            if (SameFile(state.lock.Get(), lockPath)) {
                return ERROR_SUCCESS;
            }
            ::flock(state.lock.Get(), LOCK_UN);
            state.lock.Reset();
            ++reopened;
            continue;
        }
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        if (err != EWOULDBLOCK) {
            state.lock.Reset();
            return SystemFailure(ERROR_WRITE_FAULT, path, err);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return Failure(ERROR_LOCK_VIOLATION, path,
                           "another program has kept the settings file locked");
        }
        guard.unlock();
        std::this_thread::sleep_for(kLockPoll);
        guard.lock();
    }
    return Failure(ERROR_WRITE_FAULT, path, "the lock file keeps being replaced");
}

struct Unlock {
    int fd;
    ~Unlock() { ::flock(fd, LOCK_UN); }
};

// Runs change on the current hive under the lock and replaces the file when change
// reports a difference. change(Hive&, bool& changed) returns a status.
template <typename Change>
LONG Mutate(State& state, std::unique_lock<std::mutex>& guard, const std::string& path,
            Change&& change) {
    if (state.writeFault != 0) {
        return SystemFailure(WriteStatus(state.writeFault), path, state.writeFault);
    }
    if (LONG status = Lock(state, guard, path); status != ERROR_SUCCESS) {
        return status;
    }
    Unlock unlock{state.lock.Get()};
    if (LONG status = Refresh(state, path); status != ERROR_SUCCESS) {
        return status;
    }
    Snapshot& snap = *state.cache;
    Hive next = snap.hive;
    bool changed = false;
    if (LONG status = change(next, changed); status != ERROR_SUCCESS || !changed) {
        return status;
    }
    if (snap.corrupt) {
        if (LONG status = KeepCorrupt(snap); status != ERROR_SUCCESS) {
            return status;
        }
    }
    std::string text = SerializeHive(next);
    // One writer at a time holds the lock, so one name serves; a file left by a killed
    // writer is replaced.
    const std::string tempName = path + kTempSuffix;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
    Fd temp(::open(tempName.c_str(), flags, 0600));
    if (!temp.Valid() && errno == EEXIST && ::unlink(tempName.c_str()) == 0) {
        temp = Fd(::open(tempName.c_str(), flags, 0600));
    }
    if (!temp.Valid()) {
        int err = errno;
        return SystemFailure(WriteStatus(err), path, err);
    }
    TempFileGuard tempGuard{tempName};
    struct stat st {};
    if ((snap.mode != 0600 && ::fchmod(temp.Get(), snap.mode) != 0) ||
        !WriteAll(temp.Get(), text.data(), text.size()) ||
        ::rename(tempName.c_str(), path.c_str()) != 0 || ::fstat(temp.Get(), &st) != 0) {
        int err = errno;
        return SystemFailure(WriteStatus(err), path, err);
    }
    tempGuard.path.clear();
    Snapshot written;
    written.path = path;
    written.exists = true;
    written.id = IdOf(st);
    written.mode = snap.mode;
    written.pin = std::move(temp);
    written.hive = std::move(next);
    state.cache = std::move(written);
    return ERROR_SUCCESS;
}

bool IsPredefined(HKEY key) {
    return static_cast<std::uint32_t>(key) >= 0x80000000u;
}

// The full key path and access rights behind a handle.
LONG Resolve(State& state, HKEY key, OpenKey& out) {
    if (key == HKEY_CURRENT_USER) {
        out = {std::string(kCurrentUser), KEY_ALL_ACCESS};
        return ERROR_SUCCESS;
    }
    auto it = IsPredefined(key) ? state.handles.end()
                                : state.handles.find(static_cast<std::uint32_t>(key));
    if (it == state.handles.end()) {
        return Failure(ERROR_INVALID_HANDLE, HivePath());
    }
    out = it->second;
    return ERROR_SUCCESS;
}

LONG JoinSubKey(const std::string& base, std::string subKey, std::string& full) {
    if (!subKey.empty() && subKey.back() == '\\') {
        subKey.pop_back();
        if (subKey.empty()) {
            return Failure(ERROR_BAD_PATHNAME, HivePath());
        }
    }
    full = base;
    if (subKey.empty()) {
        return ERROR_SUCCESS;
    }
    for (std::size_t start = 0;;) {
        std::size_t end = subKey.find('\\', start);
        std::string name =
            subKey.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty()) {
            return Failure(ERROR_BAD_PATHNAME, HivePath());
        }
        full += '\\';
        full += name;
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return IsValidKeyPath(full) ? ERROR_SUCCESS : Failure(ERROR_INVALID_PARAMETER, HivePath());
}

const HiveKey* FindKey(const Hive& hive, const std::string& path, bool& exists) {
    const HiveKey* key = hive.FindKey(path);
    exists = key != nullptr || IEquals(path, kCurrentUser);
    return key;
}

HKEY NewHandle(State& state, OpenKey key) {
    while (state.nextHandle == 0 || state.nextHandle >= 0x80000000u ||
           state.handles.count(state.nextHandle) != 0) {
        state.nextHandle = state.nextHandle >= 0x80000000u ? 1 : state.nextHandle + 1;
    }
    std::uint32_t handle = state.nextHandle++;
    state.handles.emplace(handle, std::move(key));
    return HKEY{handle};
}

// The full path of subKey below an open key or root.
LONG ResolveSubKey(State& state, HKEY key, const std::string& subKey, std::string& full) {
    OpenKey base;
    if (LONG s = Resolve(state, key, base); s != ERROR_SUCCESS) {
        return s;
    }
    return JoinSubKey(base.path, subKey, full);
}

}  // namespace

std::string HivePath() {
    std::string path;
    if (auto file = GetEnv("TESSEL_REGISTRY_FILE"); file && !file->empty()) {
        path = *file;
    } else {
        std::string config = GetEnv("XDG_CONFIG_HOME").value_or("");
        if (config.empty() || config[0] != '/') {
            config = HomeFolder() + ".config";
        }
        path = WithTrailingSeparator(config) + "tessel-viewer/user.reg";
    }
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            path = WithTrailingSeparator(cwd) + path;
        }
    }
    return path;
}

LONG RegOpenKeyEx(HKEY hKey, const std::string& subKey, DWORD /*options*/, REGSAM samDesired,
                  HKEY* result) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    std::string full;
    if (LONG s = ResolveSubKey(state, hKey, subKey, full); s != ERROR_SUCCESS) {
        return s;
    }
    if (result == nullptr) {
        return Failure(ERROR_INVALID_PARAMETER, HivePath());
    }
    const std::string path = HivePath();
    if (LONG s = Refresh(state, path); s != ERROR_SUCCESS) {
        return s;
    }
    bool exists = false;
    FindKey(state.cache->hive, full, exists);
    if (!exists) {
        return Failure(ERROR_FILE_NOT_FOUND, path);
    }
    *result = NewHandle(state, {full, samDesired});
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY hKey, const std::string& subKey, DWORD options, REGSAM samDesired,
                    HKEY* result, DWORD* disposition) {
    State& state = GetState();
    std::unique_lock lock(state.mutex);
    std::string full;
    if (LONG s = ResolveSubKey(state, hKey, subKey, full); s != ERROR_SUCCESS) {
        return s;
    }
    if (result == nullptr || (options & REG_OPTION_VOLATILE) != 0) {
        return Failure(ERROR_INVALID_PARAMETER, HivePath());
    }
    const std::string path = HivePath();
    if (LONG s = Refresh(state, path); s != ERROR_SUCCESS) {
        return s;
    }
    bool exists = false;
    FindKey(state.cache->hive, full, exists);
    bool created = false;
    if (!exists) {
        LONG s = Mutate(state, lock, path, [&](Hive& hive, bool& changed) {
            hive.CreateKey(full, &changed);
            created = changed;
            return ERROR_SUCCESS;
        });
        if (s != ERROR_SUCCESS) {
            return s;
        }
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(state, {full, samDesired});
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY hKey, const std::string& valueName, DWORD* type, std::uint8_t* data,
                     DWORD* cbData) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    OpenKey key;
    if (LONG s = Resolve(state, hKey, key); s != ERROR_SUCCESS) {
        return s;
    }
    const std::string path = HivePath();
    if ((key.access & KEY_QUERY_VALUE) == 0) {
        return Failure(ERROR_ACCESS_DENIED, path);
    }
    if (data != nullptr && cbData == nullptr) {
        return Failure(ERROR_INVALID_PARAMETER, path);
    }
    if (LONG s = Refresh(state, path); s != ERROR_SUCCESS) {
        return s;
    }
    bool exists = false;
    const HiveKey* found = FindKey(state.cache->hive, key.path, exists);
    if (!exists) {
        return Failure(ERROR_KEY_DELETED, path);
    }
    const HiveValue* value = found != nullptr ? found->FindValue(valueName) : nullptr;
    if (value == nullptr) {
        return Failure(ERROR_FILE_NOT_FOUND, path);
    }
    const auto size = static_cast<DWORD>(value->data.size());
    if (type != nullptr) {
        *type = value->type;
    }
    if (data == nullptr) {
        if (cbData != nullptr) {
            *cbData = size;
        }
        return ERROR_SUCCESS;
    }
    const DWORD capacity = *cbData;
    *cbData = size;
    if (capacity < size) {
        return Failure(ERROR_MORE_DATA, path);
    }
    std::copy(value->data.begin(), value->data.end(), data);
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY hKey, const std::string& valueName, DWORD type, const std::uint8_t* data,
                   DWORD cbData) {
    State& state = GetState();
    std::unique_lock lock(state.mutex);
    OpenKey key;
    if (LONG s = Resolve(state, hKey, key); s != ERROR_SUCCESS) {
        return s;
    }
    const std::string path = HivePath();
    if ((key.access & KEY_SET_VALUE) == 0) {
        return Failure(ERROR_ACCESS_DENIED, path);
    }
    if (!IsValidValueName(valueName) || cbData > kMaxValueDataSize ||
        (data == nullptr && cbData > 0)) {
        return Failure(ERROR_INVALID_PARAMETER, path);
    }
    HiveValue value{valueName, type, std::vector<std::uint8_t>(data, data + cbData)};
    if (LONG s = Refresh(state, path); s != ERROR_SUCCESS) {
        return s;
    }
    // Nothing to write when the disk already holds this value.
    bool exists = false;
    if (const HiveKey* found = FindKey(state.cache->hive, key.path, exists)) {
        const HiveValue* old = found->FindValue(valueName);
        if (old != nullptr && old->type == type && old->data == value.data) {
            return ERROR_SUCCESS;
        }
    }
    return Mutate(state, lock, path, [&](Hive& hive, bool& changed) {
        bool keyExists = false;
        FindKey(hive, key.path, keyExists);
        if (!keyExists) {
            return Failure(ERROR_KEY_DELETED, path);
        }
        HiveKey& target = hive.CreateKey(key.path);  // the root may still be implicit
        const HiveValue* old = target.FindValue(valueName);
        changed = old == nullptr || old->type != type || old->data != value.data;
        if (changed) {
            target.SetValue(std::move(value));
        }
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) {
        return ERROR_SUCCESS;
    }
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    if (state.handles.erase(static_cast<std::uint32_t>(hKey)) == 0) {
        return Failure(ERROR_INVALID_HANDLE, HivePath());
    }
    return ERROR_SUCCESS;
}

RegFailure RegLastFailure() {
    return t_lastFailure;
}

std::string StatusText(LONG status) {
    switch (status) {
        case ERROR_SUCCESS:
            return "The operation completed successfully.";
        case ERROR_FILE_NOT_FOUND:
            return "The system cannot find the file specified.";
        case ERROR_PATH_NOT_FOUND:
            return "The system cannot find the path specified.";
        case ERROR_ACCESS_DENIED:
            return "Access is denied.";
        case ERROR_INVALID_HANDLE:
            return "The handle is invalid.";
        case ERROR_WRITE_FAULT:
            return "The system cannot write to the specified device.";
        case ERROR_READ_FAULT:
            return "The system cannot read from the specified device.";
        case ERROR_LOCK_VIOLATION:
            return "The process cannot access the file because another process has locked a "
                   "portion of the file.";
        case ERROR_INVALID_PARAMETER:
            return "The parameter is incorrect.";
        case ERROR_DISK_FULL:
            return "There is not enough space on the disk.";
        case ERROR_BAD_PATHNAME:
            return "The specified path is invalid.";
        case ERROR_MORE_DATA:
            return "More data is available.";
        case ERROR_KEY_DELETED:
            return "Illegal operation attempted on a registry key that has been marked for "
                   "deletion.";
        default:
            return "Registry error " + std::to_string(status) + ".";
    }
}

KeyHandle& KeyHandle::operator=(KeyHandle&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.key_;
        open_ = std::exchange(other.open_, false);
    }
    return *this;
}

void KeyHandle::Close() noexcept {
    if (open_) {
        RegCloseKey(key_);
        open_ = false;
    }
}

namespace testing {
void SetWriteFault(int err) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.writeFault = err;
}
}  // namespace testing

}  // namespace tv::reg
