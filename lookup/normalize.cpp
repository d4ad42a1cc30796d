#include "lookup/normalize.h"

#include <ctime>

#include "platform/strings.h"

namespace tv {
namespace {

constexpr std::string_view kNineZeros = "000000000";
constexpr std::string_view kSevenZeros = "0000000";
constexpr std::string_view kSixZeros = "000000";

// Plain numbers at or above this are no grants.
constexpr std::int64_t kGrantLimit = 13'000'000;
// Publication serials at or above this are refused.
constexpr std::int64_t kSerialLimit = 400'000;
constexpr int kFirstPublicationYear = 2001;

std::string CleanTypedNumber(std::string_view text) {
    std::string s = ToUpper(text);
    // Order matters: "U S" loses its space before "US" is looked for.
    for (std::string_view junk : {",", " ", "US", "/"}) {
        s = ReplaceAll(s, junk, "");
    }
    return s;
}

bool Contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

// Digit strings here hold at most eleven digits, so the value always fits.
std::int64_t ValueOf(std::string_view digits) {
    std::int64_t v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
    }
    return v;
}

NormalizedPatentNumber PlainNumber(const std::string& n, int currentYear) {
    const std::size_t len = n.size();
    const std::int64_t year = ValueOf(std::string_view(n).substr(0, 4));
    NormalizedPatentNumber grant{PatentNumberKind::Grant, PadWithZeroes(n, kNineZeros)};

    if (len >= 12) {
        return {};
    }
    if (n.starts_with("20") && len <= 4) {
        return grant;
    }
    if (year < kFirstPublicationYear || (year > currentYear && len >= 5 && len <= 8)) {
        return ValueOf(n) < kGrantLimit ? grant : NormalizedPatentNumber{};
    }
    if (year <= currentYear && len >= 5) {
        const std::string_view serial = std::string_view(n).substr(4);
        if (ValueOf(serial) < kSerialLimit) {
            return {PatentNumberKind::Publication,
                    n.substr(0, 4) + PadWithZeroes(serial, kSevenZeros)};
        }
    }
    return {};
}

}  // namespace

std::optional<std::int64_t> Str_To_Lng(std::string_view text) {
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > kMaxPatentDigits) {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
    }
    return value;
}

std::string PadWithZeroes(std::string_view number, std::string_view pattern) {
    std::string joined = std::string(pattern) + std::string(number);
    return joined.substr(joined.size() - pattern.size());
}

std::string RemoveLeadingZeroes(std::string_view value) {
    const std::size_t first = value.find_first_not_of('0');
    return first == std::string_view::npos ? std::string() : std::string(value.substr(first));
}

NormalizedPatentNumber ClassifyPatentNumber(std::string_view text, int currentYear) {
    const std::string s = CleanTypedNumber(text);
    const std::optional<std::int64_t> value = Str_To_Lng(s);
    if (!value) {
        return {};
    }
    const std::string n = std::to_string(*value);

    // The letter may stand anywhere; the first test that holds wins.
    if (Contains(s, "H")) {
        return {PatentNumberKind::Sir, "H" + PadWithZeroes(n, kSevenZeros)};
    }
    if (Contains(s, "P")) {
        return {PatentNumberKind::Plant, "PP" + PadWithZeroes(n, kSixZeros)};
    }
    if (Contains(s, "R")) {
        return {PatentNumberKind::Reissue, "RE" + PadWithZeroes(n, kSixZeros)};
    }
    if (Contains(s, "D")) {
        return {PatentNumberKind::Design, "D" + PadWithZeroes(n, kSevenZeros)};
    }
    if (Contains(s, "T20")) {
        return {PatentNumberKind::ForcedGrant, PadWithZeroes(n, kNineZeros)};
    }
    return PlainNumber(n, currentYear);
}

std::string NormalizePatentNumber(std::string_view text, int currentYear) {
    return ClassifyPatentNumber(text, currentYear).text;
}

std::string NormalizePatentNumber(std::string_view text) {
    return NormalizePatentNumber(text, CurrentLocalYear());
}

int CurrentLocalYear() {
    // Called on the user-interface thread only, so localtime's shared buffer is safe.
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? local->tm_year + 1900 : 1970;
}

}  // namespace tv
