// Reading the registry-editor text format.
#include <charconv>

#include "platform/registry/hive.h"
#include "platform/registry/hive_text.h"
#include "platform/strings.h"

namespace tv::reg {

namespace {

// Keys created implicitly (the parents of a deep key) may not make the parsed hive
// much larger than its text: 512 levels of 255-byte names would otherwise let one
// line of text hold tens of megabytes of key paths.
constexpr std::size_t kKeyPathBudgetFactor = 8;
constexpr std::size_t kKeyPathBudgetBase = 1 << 20;

std::string_view Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        return {};
    }
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Hex digits only (no sign, no "0x"), all of s, at most maxDigits of them.
template <typename T>
bool ParseHex(std::string_view s, std::size_t maxDigits, T& out) {
    if (s.empty() || s.size() > maxDigits || s[0] == '-' || s[0] == '+') {
        return false;
    }
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return error == std::errc() && end == s.data() + s.size();
}

// 1 to 8 hex digits.
bool ParseHexNumber(std::string_view s, DWORD& out) {
    return ParseHex(s, 8, out);
}

// Comma-separated hex pairs; one trailing comma is allowed.
bool ParseHexBytes(std::string_view s, std::vector<std::uint8_t>& out) {
    s = Trim(s);
    while (!s.empty()) {
        std::size_t comma = s.find(',');
        std::uint8_t byte = 0;
        if (!ParseHex(Trim(s.substr(0, comma)), 2, byte)) {
            return false;
        }
        out.push_back(byte);
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

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Result<Hive> Run();

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

Result<Hive> Parser::Run() {
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
        return Status(kErrInvalidFormat, ErrorSource("Registry"), error_);
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
        std::string text =
            Utf16LeToUtf8({reinterpret_cast<const char*>(value.data.data()), value.data.size()});
        value.data.assign(text.begin(), text.end());
    }
    return true;
}

}  // namespace

Result<Hive> ParseHive(std::string_view text) {
    std::string decoded;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    } else if (text.size() >= 2 && text.substr(0, 2) == "\xFF\xFE") {
        decoded = Utf16LeToUtf8(text.substr(2));
        text = decoded;
    }
    return Parser(text).Run();
}

}  // namespace tv::reg
