#pragma once
// Registry functions in the manner of Win32's, over the hive file of HivePath()
// (platform/registry/hive.h describes its text format).
//
// Promises:
//  - Only HKEY_CURRENT_USER exists. It is always there (an absent hive is an empty
//    one); any other root, and any handle that is not open, gives ERROR_INVALID_HANDLE.
//  - Every call sees the file as it is on disk now. The parsed hive is cached while
//    the file's identity (device, inode, size, modification and change time) stays
//    the same; the cached file is held open, so its inode cannot be reused by a
//    newer hive.
//  - A write (RegCreateKeyEx creating a key, RegSetValueEx changing a value) is in the
//    hive when the call returns. It takes an exclusive flock() on "<hive>.lock", reads
//    the hive afresh inside the lock, writes the new text to "<hive>.tmp" in the same
//    folder and renames it over the hive. Two processes therefore never lose each
//    other's values, and a process killed at any moment leaves the old or the new
//    hive, never a mixture; the temporary file a killed writer leaves is replaced by
//    the next write. A write that changes nothing (same type and data) leaves the
//    file alone.
//  - The lock file is kept open between writes and reopened when it was replaced. A
//    process holding it is waited for at most 3 seconds (then ERROR_LOCK_VIOLATION),
//    polling, with the mutex below released meanwhile so other threads' calls go on.
//  - The hive's folder is created when missing (its missing parents with the usual
//    mode, the folder itself 0700). A symbolic link at the hive's place is replaced,
//    never written through; one at the lock file's place is replaced by a regular
//    file; the lock and temporary files are never followed.
//  - Durability: the new file is not fsync()ed (a save writes up to 30 values, and a
//    flush per value would cost more than the whole save may take). The rename makes
//    every write atomic for a crashing or killed process; a power loss may lose the
//    last writes, and on ext4 (whose default is to write out a file renamed over
//    another before the rename is committed) still leaves the old or the new hive.
//  - Calls are serialised by one mutex, so threads may share the functions.
//  - A hive that cannot be parsed (or is larger than 64 MiB) reads as empty. Before
//    the first write replaces it, it is kept as "<hive>.corrupt" (".corrupt.1",
//    ".corrupt.2", ... when that name is taken); if it cannot be kept, the write
//    fails. A hive that cannot be read (permissions) makes every call fail with
//    ERROR_ACCESS_DENIED and is never replaced.
//  - Reads take no lock: a reader sees the hive before or after a write.
//
// Status codes (the Win32 numbers):
//   ERROR_SUCCESS 0, ERROR_FILE_NOT_FOUND 2 (key or value missing),
//   ERROR_PATH_NOT_FOUND 3 (the hive's folder cannot be created), ERROR_ACCESS_DENIED 5
//   (hive or folder not readable/writable, read-only file system, or the handle lacks
//   the access right), ERROR_INVALID_HANDLE 6, ERROR_WRITE_FAULT 29, ERROR_READ_FAULT 30,
//   ERROR_LOCK_VIOLATION 33 (another process kept the hive locked for the whole wait),
//   ERROR_INVALID_PARAMETER 87 (bad name, volatile key, data above 1 MiB, missing size
//   argument), ERROR_DISK_FULL 112, ERROR_BAD_PATHNAME 161 (empty path component),
//   ERROR_MORE_DATA 234, ERROR_KEY_DELETED 1018 (the open key was removed meanwhile).
// A failing call also records RegLastFailure() for this thread: the status, the hive
// path and a reason text (the system's message for OS failures).
//
// Access rights are checked against the handle only (KEY_QUERY_VALUE to query,
// KEY_SET_VALUE to set); whether the file may be written shows at the write.
#include <cstdint>
#include <string>

#include "platform/registry/hive.h"

namespace tv::reg {

using LONG = std::int32_t;
using REGSAM = DWORD;

enum class HKEY : std::uint32_t {};

inline constexpr HKEY HKEY_CLASSES_ROOT = HKEY{0x80000000u};
inline constexpr HKEY HKEY_CURRENT_USER = HKEY{0x80000001u};
inline constexpr HKEY HKEY_LOCAL_MACHINE = HKEY{0x80000002u};
inline constexpr HKEY HKEY_USERS = HKEY{0x80000003u};
inline constexpr HKEY HKEY_CURRENT_CONFIG = HKEY{0x80000005u};

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_PATH_NOT_FOUND = 3;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_WRITE_FAULT = 29;
inline constexpr LONG ERROR_READ_FAULT = 30;
inline constexpr LONG ERROR_LOCK_VIOLATION = 33;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_DISK_FULL = 112;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_OPTION_VOLATILE = 1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

inline constexpr std::size_t kMaxValueDataSize = 1024 * 1024;

// The hive file: $TESSEL_REGISTRY_FILE when set, else
// $XDG_CONFIG_HOME/tessel-viewer/user.reg (XDG_CONFIG_HOME only when absolute), else
// ~/.config/tessel-viewer/user.reg. Always absolute; read from the environment at
// every call.
std::string HivePath();

// subKey is "\"-separated below hKey ("" opens hKey itself; one trailing "\" is
// ignored). Fails with ERROR_FILE_NOT_FOUND when the key does not exist.
LONG RegOpenKeyEx(HKEY hKey, const std::string& subKey, DWORD options, REGSAM samDesired,
                  HKEY* result);

// Opens the key, creating it and its missing parents (one write) when needed.
// disposition (may be null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyEx(HKEY hKey, const std::string& subKey, DWORD options, REGSAM samDesired,
                    HKEY* result, DWORD* disposition);

// As Win32: with data null, *cbData (when given) receives the size. With data, *cbData
// is the buffer size on entry and the value's size on return; a buffer too small gives
// ERROR_MORE_DATA (type and size are still filled in). type may be null.
LONG RegQueryValueEx(HKEY hKey, const std::string& valueName, DWORD* type, std::uint8_t* data,
                     DWORD* cbData);

// Stores the bytes as given (text values include their terminating NUL).
LONG RegSetValueEx(HKEY hKey, const std::string& valueName, DWORD type, const std::uint8_t* data,
                   DWORD cbData);

// Predefined roots may be closed (nothing happens); other handles once.
LONG RegCloseKey(HKEY hKey);

struct RegFailure {
    LONG status = ERROR_SUCCESS;
    std::string path;    // the hive file
    std::string reason;  // e.g. "Permission denied"
};

// The last failure of a registry call on this thread.
RegFailure RegLastFailure();

// The message text of a status ("Access is denied.").
std::string StatusText(LONG status);

// Owns an open key; closes it on destruction.
class KeyHandle {
  public:
    KeyHandle() = default;
    explicit KeyHandle(HKEY key) : key_(key), open_(true) {}
    KeyHandle(KeyHandle&& other) noexcept : key_(other.key_), open_(other.open_) {
        other.open_ = false;
    }
    KeyHandle& operator=(KeyHandle&& other) noexcept;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() { Close(); }

    HKEY Get() const { return key_; }
    void Close() noexcept;

  private:
    HKEY key_{};
    bool open_ = false;
};

namespace testing {
// Makes every following hive write fail before it touches the disk, as if the system
// reported err (0 restores normal writes). For tests of full disks and refused writes,
// which a root user cannot provoke through permissions.
void SetWriteFault(int err);
}  // namespace testing

}  // namespace tv::reg
