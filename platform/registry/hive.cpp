#include "platform/registry/hive.h"

#include <array>
#include <cstdio>

#include "platform/strings.h"

namespace tv::reg {

namespace {

constexpr std::array<std::string_view, 5> kRootNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                        "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                                        "HKEY_CURRENT_CONFIG"};

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

// Keys created implicitly (the parents of a deep key) may not make the parsed hive
// much larger than its text: 512 levels of 255-byte names would otherwise let one
// line of text hold tens of megabytes of key paths.
constexpr std::size_t kKeyPathBudgetFactor = 8;
constexpr std::size_t kKeyPathBudgetBase = 1 << 20;

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

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Unpaired surrogates and an odd last byte become U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* p, std::size_t n) {
    std::string out;
    out.reserve(n / 2);
    std::size_t i = 0;
    auto unit = [&](std::size_t at) -> char16_t {
        return static_cast<char16_t>(p[at] | (p[at + 1] << 8));
    };
    while (i + 1 < n) {
        char16_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            char16_t low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 2;
                AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(u));
    }
    if (i < n) {
        AppendUtf8(out, 0xFFFD);
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        return {};
    }
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// 1 to 8 hex digits.
bool ParseHexNumber(std::string_view s, DWORD& out) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    out = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0) {
            return false;
        }
        out = (out << 4) | static_cast<DWORD>(d);
    }
    return true;
}

// Comma-separated hex pairs; one trailing comma is allowed.
bool ParseHexBytes(std::string_view s, std::vector<std::uint8_t>& out) {
    s = Trim(s);
    while (!s.empty()) {
        std::size_t comma = s.find(',');
        std::string_view token = Trim(s.substr(0, comma));
        if (token.empty() || token.size() > 2) {
            return false;
        }
        int hi = token.size() == 2 ? HexDigit(token[0]) : 0;
        int lo = HexDigit(token.back());
        if (hi < 0 || lo < 0) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        if (comma == std::string_view::npos) {
            break;
        }
        s = Trim(s.substr(comma + 1));
    }
    return true;
}

// A quoted text starting at s[pos]; on success pos is just past the closing quote.
bool ParseQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"') {
        return false;
    }
    ++pos;
    while (pos < s.size()) {
        char c = s[pos];
        if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
            out += s[pos + 1];
            pos += 2;
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            out += c;
            ++pos;
        }
    }
    return false;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

bool IsQuotableText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') {
            return false;
        }
    }
    return true;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<Hive> Run(std::string* error);

  private:
    bool NextLine(std::string_view& line);
    bool Fail(const std::string& why);
    bool KeyLine(std::string_view line);
    bool ValueLine(std::string_view line);
    bool Data(std::string_view data, HiveValue& value, bool& remove);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lineNo_ = 0;
    bool v5_ = false;
    Hive hive_;
    HiveKey* current_ = nullptr;
    bool skipping_ = false;  // after a key removal line
    std::string error_;
};

bool Parser::NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) {
        return false;
    }
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) {
        end = text_.size();
    }
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    pos_ = end + 1;
    ++lineNo_;
    return true;
}

bool Parser::Fail(const std::string& why) {
    error_ = "line " + std::to_string(lineNo_) + ": " + why;
    return false;
}

std::optional<Hive> Parser::Run(std::string* error) {
    std::string_view line;
    bool header = false;
    bool ok = true;
    while (ok && NextLine(line)) {
        line = Trim(line);
        if (line.empty()) {
            continue;
        }
        if (!header) {
            header = true;
            v5_ = line == kHeader5;
            ok = v5_ || line == kHeader4 || Fail("not a registry file header");
        } else if (line[0] == ';') {
            continue;
        } else if (line[0] == '[') {
            ok = KeyLine(line);
        } else {
            ok = ValueLine(line);
        }
    }
    if (!ok) {
        if (error != nullptr) {
            *error = error_;
        }
        return std::nullopt;
    }
    return std::move(hive_);
}

bool Parser::KeyLine(std::string_view line) {
    if (line.size() < 2 || line.back() != ']') {
        return Fail("key line without closing ]");
    }
    std::string_view path = line.substr(1, line.size() - 2);
    bool remove = !path.empty() && path[0] == '-';
    if (remove) {
        path.remove_prefix(1);
    }
    if (!IsValidKeyPath(path)) {
        return Fail("bad key path");
    }
    if (remove) {
        hive_.DeleteKey(path);
        current_ = nullptr;
        skipping_ = true;
    } else {
        current_ = &hive_.CreateKey(path);
        skipping_ = false;
        if (hive_.KeyPathBytes() > kKeyPathBudgetFactor * text_.size() + kKeyPathBudgetBase) {
            return Fail("key paths far larger than the text");
        }
    }
    return true;
}

bool Parser::ValueLine(std::string_view line) {
    if (current_ == nullptr && !skipping_) {
        return Fail("value outside a key");
    }
    HiveValue value;
    std::size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else if (!ParseQuoted(line, pos, value.name)) {
        return Fail("bad value name");
    }
    if (!IsValidValueName(value.name)) {
        return Fail("bad value name");
    }
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') {
        return Fail("missing =");
    }
    bool remove = false;
    if (!Data(Trim(rest.substr(1)), value, remove)) {
        return false;
    }
    if (skipping_) {
        return true;
    }
    if (remove) {
        current_->DeleteValue(value.name);
    } else {
        current_->SetValue(std::move(value));
    }
    return true;
}

bool Parser::Data(std::string_view data, HiveValue& value, bool& remove) {
    if (data == "-") {
        remove = true;
        return true;
    }
    if (!data.empty() && data[0] == '"') {
        std::string text;
        std::size_t pos = 0;
        if (!ParseQuoted(data, pos, text) || !Trim(data.substr(pos)).empty()) {
            return Fail("bad quoted text");
        }
        value.type = REG_SZ;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    if (IStartsWith(data, "dword:")) {
        DWORD n = 0;
        if (!ParseHexNumber(data.substr(6), n)) {
            return Fail("bad dword");
        }
        value.type = REG_DWORD;
        value.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                      static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
        return true;
    }
    if (!IStartsWith(data, "hex")) {
        return Fail("unknown data form");
    }
    std::size_t pos = 3;
    value.type = REG_BINARY;
    if (pos < data.size() && data[pos] == '(') {
        std::size_t close = data.find(')', pos);
        if (close == std::string_view::npos ||
            !ParseHexNumber(data.substr(pos + 1, close - pos - 1), value.type)) {
            return Fail("bad hex type");
        }
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != ':') {
        return Fail("missing : after hex");
    }
    std::string list(data.substr(pos + 1));
    while (!list.empty() && list.back() == '\\') {
        list.pop_back();
        std::string_view next;
        if (!NextLine(next)) {
            return Fail("continuation at end of file");
        }
        list += Trim(next);
    }
    if (!ParseHexBytes(list, value.data)) {
        return Fail("bad hex bytes");
    }
    bool utf16Text =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (v5_ && utf16Text && value.data.size() % 2 == 0) {
        std::string text = Utf16LeToUtf8(value.data.data(), value.data.size());
        value.data.assign(text.begin(), text.end());
    }
    return true;
}

void AppendHexList(std::string& out, std::size_t column, const std::vector<std::uint8_t>& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0 && column + 3 > 78) {
            out += "\\\n  ";
            column = 2;
        }
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            ++column;
        }
    }
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

std::optional<Hive> ParseHive(std::string_view text, std::string* error) {
    std::string decoded;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    } else if (text.size() >= 2 && text.substr(0, 2) == "\xFF\xFE") {
        decoded =
            Utf16LeToUtf8(reinterpret_cast<const std::uint8_t*>(text.data()) + 2, text.size() - 2);
        text = decoded;
    }
    return Parser(text).Run(error);
}

std::string SerializeHive(const Hive& hive) {
    std::string out(kHeader4);
    out += '\n';
    for (const auto& [sortKey, key] : hive.Keys()) {
        out += "\n[" + key.path + "]\n";
        for (const auto& [lower, value] : key.values) {
            std::size_t lineStart = out.size();
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            out += '=';
            if (value.type == REG_SZ && IsQuotableText(value.data)) {
                out += Quote(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                              value.data.size() - 1));
            } else if (value.type == REG_DWORD && value.data.size() == 4) {
                char buf[16];
                DWORD n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                          (DWORD(value.data[3]) << 24);
                std::snprintf(buf, sizeof buf, "dword:%08x", n);
                out += buf;
            } else {
                if (value.type == REG_BINARY) {
                    out += "hex:";
                } else {
                    char buf[20];
                    std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
                    out += buf;
                }
                AppendHexList(out, out.size() - lineStart, value.data);
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace tv::reg
