#include "platform/registry/hive.h"

#include <array>

#include "platform/strings.h"

namespace tv::reg {

namespace {

constexpr std::array<std::string_view, 5> kRootNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                        "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                                        "HKEY_CURRENT_CONFIG"};

// Lower case with "\" below every other byte, so that a key sorts directly before its
// subkeys ("a" < "a\b" < "a b").
std::string SortKey(std::string_view path) {
    std::string key = ToLower(path);
    for (char& c : key) {
        if (c == '\\') {
            c = '\x01';
        }
    }
    return key;
}

}  // namespace

const HiveValue* HiveKey::FindValue(std::string_view name) const {
    auto it = values.find(ToLower(name));
    return it == values.end() ? nullptr : &it->second;
}

void HiveKey::SetValue(HiveValue value) {
    auto [it, inserted] = values.try_emplace(ToLower(value.name));
    if (!inserted) {
        value.name = std::move(it->second.name);
    }
    it->second = std::move(value);
}

void HiveKey::DeleteValue(std::string_view name) {
    values.erase(ToLower(name));
}

const HiveKey* Hive::FindKey(std::string_view path) const {
    auto it = keys_.find(SortKey(path));
    return it == keys_.end() ? nullptr : &it->second;
}

HiveKey* Hive::FindKey(std::string_view path) {
    auto it = keys_.find(SortKey(path));
    return it == keys_.end() ? nullptr : &it->second;
}

HiveKey& Hive::CreateKey(std::string_view path, bool* created) {
    const std::string sortKey = SortKey(path);
    if (auto it = keys_.find(sortKey); it != keys_.end()) {
        if (created != nullptr) {
            *created = false;
        }
        return it->second;
    }
    // Walk up to the deepest existing ancestor, then create downwards. Sort keys have
    // the same length as their paths, so one cut serves both.
    std::vector<std::size_t> missing{path.size()};
    for (std::size_t cut = sortKey.rfind('\x01'); cut != std::string::npos;
         cut = cut == 0 ? std::string::npos : sortKey.rfind('\x01', cut - 1)) {
        if (keys_.count(sortKey.substr(0, cut)) != 0) {
            break;
        }
        missing.push_back(cut);
    }
    HiveKey* key = nullptr;
    for (auto end = missing.rbegin(); end != missing.rend(); ++end) {
        key = &keys_[sortKey.substr(0, *end)];
        key->path = std::string(path.substr(0, *end));
        pathBytes_ += *end;
    }
    if (created != nullptr) {
        *created = true;
    }
    return *key;
}

void Hive::DeleteKey(std::string_view path) {
    std::string key = SortKey(path);
    auto first = keys_.lower_bound(key);
    auto last = keys_.lower_bound(key + '\x02');
    for (auto it = first; it != last; ++it) {
        pathBytes_ -= it->second.path.size();
    }
    keys_.erase(first, last);
}

bool IsRootName(std::string_view name) {
    for (std::string_view root : kRootNames) {
        if (IEquals(root, name)) {
            return true;
        }
    }
    return false;
}

bool IsValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxKeyNameLength) {
        return false;
    }
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '\\') {
            return false;
        }
    }
    return true;
}

bool IsValidKeyPath(std::string_view path) {
    std::size_t sep = path.find('\\');
    if (!IsRootName(path.substr(0, sep))) {
        return false;
    }
    std::size_t depth = 0;
    while (sep != std::string_view::npos) {
        std::size_t next = path.find('\\', sep + 1);
        if (++depth > kMaxKeyDepth ||
            !IsValidKeyName(path.substr(sep + 1, next == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : next - sep - 1))) {
            return false;
        }
        sep = next;
    }
    return true;
}

bool IsValidValueName(std::string_view name) {
    return name.size() <= kMaxValueNameLength &&
           name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace tv::reg
