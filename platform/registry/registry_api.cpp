// The Win32-style registry functions: open key handles and the calls over the store.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/strings.h"

namespace tv::reg {

namespace {

constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";

struct OpenKey {
    std::string path;
    REGSAM access = 0;
};

struct State {
    std::mutex mutex;
    HiveStore store;
    std::map<std::uint32_t, OpenKey> handles;
    std::uint32_t nextHandle = 1;
};

State& GetState() {
    static State state;
    return state;
}

thread_local RegFailure t_lastFailure;

// Records a failed call for RegLastFailure and gives its status.
LONG Report(const Status& status, const std::string& path) {
    if (!status.Ok()) {
        t_lastFailure = {static_cast<LONG>(status.Number()), path, status.Description()};
    }
    return static_cast<LONG>(status.Number());
}

LONG Fail(LONG status, const std::string& path) {
    return Report(StoreFailure(status, 0), path);
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
        return Fail(ERROR_INVALID_HANDLE, HivePath());
    }
    out = it->second;
    return ERROR_SUCCESS;
}

// base followed by the "\"-separated subKey (one trailing "\" ignored).
LONG JoinSubKey(const std::string& base, std::string subKey, std::string& full) {
    if (!subKey.empty() && subKey.back() == '\\') {
        subKey.pop_back();
        if (subKey.empty()) {
            return Fail(ERROR_BAD_PATHNAME, HivePath());
        }
    }
    full = base;
    if (subKey.empty()) {
        return ERROR_SUCCESS;
    }
    if (subKey.front() == '\\' || subKey.find("\\\\") != std::string::npos) {
        return Fail(ERROR_BAD_PATHNAME, HivePath());
    }
    full += '\\';
    full += subKey;
    return IsValidKeyPath(full) ? ERROR_SUCCESS : Fail(ERROR_INVALID_PARAMETER, HivePath());
}

// The full path of subKey below an open key or root.
LONG ResolveSubKey(State& state, HKEY key, const std::string& subKey, std::string& full) {
    OpenKey base;
    if (LONG s = Resolve(state, key, base); s != ERROR_SUCCESS) {
        return s;
    }
    return JoinSubKey(base.path, subKey, full);
}

// The root key exists even when the hive does not name it.
bool KeyExists(const Hive& hive, const std::string& path) {
    return hive.FindKey(path) != nullptr || IEquals(path, kCurrentUser);
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

}  // namespace

LONG RegOpenKeyEx(HKEY hKey, const std::string& subKey, DWORD /*options*/, REGSAM samDesired,
                  HKEY* result) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    std::string full;
    if (LONG s = ResolveSubKey(state, hKey, subKey, full); s != ERROR_SUCCESS) {
        return s;
    }
    const std::string path = HivePath();
    if (result == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, path);
    }
    if (Status loaded = state.store.Load(path); !loaded) {
        return Report(loaded, path);
    }
    if (!KeyExists(state.store.Current(), full)) {
        return Fail(ERROR_FILE_NOT_FOUND, path);
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
    const std::string path = HivePath();
    if (result == nullptr || (options & REG_OPTION_VOLATILE) != 0) {
        return Fail(ERROR_INVALID_PARAMETER, path);
    }
    if (Status loaded = state.store.Load(path); !loaded) {
        return Report(loaded, path);
    }
    bool created = false;
    if (!KeyExists(state.store.Current(), full)) {
        Status written = state.store.Write(lock, path, [&](Hive& hive, bool& changed) {
            hive.CreateKey(full, &changed);
            created = changed;
            return Status();
        });
        if (!written) {
            return Report(written, path);
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
        return Fail(ERROR_ACCESS_DENIED, path);
    }
    if (data != nullptr && cbData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, path);
    }
    if (Status loaded = state.store.Load(path); !loaded) {
        return Report(loaded, path);
    }
    const Hive& hive = state.store.Current();
    if (!KeyExists(hive, key.path)) {
        return Fail(ERROR_KEY_DELETED, path);
    }
    const HiveKey* found = hive.FindKey(key.path);
    const HiveValue* value = found != nullptr ? found->FindValue(valueName) : nullptr;
    if (value == nullptr) {
        return Fail(ERROR_FILE_NOT_FOUND, path);
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
        return Fail(ERROR_MORE_DATA, path);
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
        return Fail(ERROR_ACCESS_DENIED, path);
    }
    if (!IsValidValueName(valueName) || cbData > kMaxValueDataSize ||
        (data == nullptr && cbData > 0)) {
        return Fail(ERROR_INVALID_PARAMETER, path);
    }
    HiveValue value{valueName, type, std::vector<std::uint8_t>(data, data + cbData)};
    if (Status loaded = state.store.Load(path); !loaded) {
        return Report(loaded, path);
    }
    // Nothing to write when the disk already holds this value.
    if (const HiveKey* found = state.store.Current().FindKey(key.path)) {
        const HiveValue* old = found->FindValue(valueName);
        if (old != nullptr && old->type == type && old->data == value.data) {
            return ERROR_SUCCESS;
        }
    }
    Status written = state.store.Write(lock, path, [&](Hive& hive, bool& changed) {
        if (!KeyExists(hive, key.path)) {
            return StoreFailure(ERROR_KEY_DELETED, 0);
        }
        HiveKey& target = hive.CreateKey(key.path);  // the root may still be implicit
        const HiveValue* old = target.FindValue(valueName);
        changed = old == nullptr || old->type != type || old->data != value.data;
        if (changed) {
            target.SetValue(std::move(value));
        }
        return Status();
    });
    return Report(written, path);
}

LONG RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) {
        return ERROR_SUCCESS;
    }
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    if (state.handles.erase(static_cast<std::uint32_t>(hKey)) == 0) {
        return Fail(ERROR_INVALID_HANDLE, HivePath());
    }
    return ERROR_SUCCESS;
}

RegFailure RegLastFailure() {
    return t_lastFailure;
}

namespace testing {
void SetWriteFault(int err) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.store.SetWriteFault(err);
}
}  // namespace testing

}  // namespace tv::reg
