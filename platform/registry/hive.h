#pragma once
// The registry hive as data (keys and typed values) and the registry-editor text
// format it is kept in on disk. Pure code: no file access; platform/registry/hive_store.h
// loads and stores it.
//
// Key paths are full paths with their root ("HKEY_CURRENT_USER\SOFTWARE\x"). Key paths
// and value names compare without regard to ASCII case and keep the case they were
// created with. Creating a key creates its missing ancestors; every key has its parent.
//
// Text read (anything else makes the whole text unparseable):
//  - an optional UTF-8 byte-order mark, or a UTF-16LE one (the text is then decoded);
//  - the first non-blank line is "REGEDIT4" or "Windows Registry Editor Version 5.00";
//    a text that is empty or blank is an empty hive;
//  - blank lines and lines starting with ";" are ignored; lines end in LF or CR LF;
//  - "[ROOT\path]" starts a key (ROOT one of the five predefined root names, any case);
//    "[-ROOT\path]" removes that key with its subkeys (values after it are ignored);
//  - "name"=data or @=data sets a value of the current key ("" is the same as @);
//    "name"=- removes it. Names take the escapes \\ and \";
//  - data is "text" (escapes \\ and \"; a backslash before any other character stays
//    as written), dword:X (1 to 8 hex digits), hex:bytes (REG_BINARY) or hex(T):bytes
//    (T the type in hex). Bytes are comma-separated hex pairs; a line ending in "\"
//    continues on the next line. In a version 5 file the bytes of hex(1), hex(2) and
//    hex(7) are UTF-16LE text and are stored as UTF-8.
//  - limits (as the Windows registry has them): a key name is 1 to 255 bytes without
//    control characters, a key is at most 512 levels deep; value names have no CR, LF
//    or NUL and are at most 16383 bytes. Parents created for deep keys may not make
//    the key paths more than eight times the text's size (plus 1 MiB).
//
// Memory: parsing needs about ten times the text's size (the key paths, the maps and
// their nodes); the hive file's 64 MiB cap (platform/registry/registry.h) bounds it.
//
// Text written: "REGEDIT4", then every key in order of its path (parents first), its
// values ordered by name. Text that fits the quoted form is written as "text", a
// 4-byte REG_DWORD as dword:, everything else as hex lists wrapped at 80 columns.
// Parsing what SerializeHive wrote gives an equal hive.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace tv::reg {

using DWORD = std::uint32_t;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_LINK = 6;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueNameLength = 16383;

struct HiveValue {
    std::string name;  // "" is the key's unnamed default value
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;

    bool operator==(const HiveValue&) const = default;
};

struct HiveKey {
    std::string path;                         // full path, as created
    std::map<std::string, HiveValue> values;  // by lower-case name

    const HiveValue* FindValue(std::string_view name) const;
    void SetValue(HiveValue value);  // replaces a value of the same name (keeps its case)
    void DeleteValue(std::string_view name);

    bool operator==(const HiveKey&) const = default;
};

class Hive {
  public:
    const HiveKey* FindKey(std::string_view path) const;
    HiveKey* FindKey(std::string_view path);

    // The key, created with its missing ancestors when needed. The path must be valid
    // (IsValidKeyPath). created tells whether the key itself was new.
    HiveKey& CreateKey(std::string_view path, bool* created = nullptr);

    // Removes the key and all its subkeys.
    void DeleteKey(std::string_view path);

    // Keys ordered parents first.
    const std::map<std::string, HiveKey>& Keys() const { return keys_; }

    // The total length of all key paths (what a deep key's parents cost).
    std::size_t KeyPathBytes() const { return pathBytes_; }

    bool operator==(const Hive& other) const { return keys_ == other.keys_; }

  private:
    std::map<std::string, HiveKey> keys_;  // by SortKey(path)
    std::size_t pathBytes_ = 0;
};

// One of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_CURRENT_CONFIG (any case).
bool IsRootName(std::string_view name);

// A root name followed by zero or more valid key names, separated by single "\".
bool IsValidKeyPath(std::string_view path);

// A key name valid below a root (1 to 255 bytes, no control characters, no "\").
bool IsValidKeyName(std::string_view name);

// A value name that the text format can hold (no CR, LF or NUL; at most 16383 bytes).
bool IsValidValueName(std::string_view name);

// Parses a hive text. Fails (kErrInvalidFormat) when it is not valid; the description
// says which line and why.
Result<Hive> ParseHive(std::string_view text);

std::string SerializeHive(const Hive& hive);

}  // namespace tv::reg
