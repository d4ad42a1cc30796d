// Typed numbers: any bytes give a result of one of the six forms (or empty), the same
// on a second call, and an address that holds the number unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lookup/commands.h"
#include "lookup/normalize.h"

namespace {

bool Digits(std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool WellFormed(const tv::NormalizedPatentNumber& r) {
    const std::string& t = r.text;
    using K = tv::PatentNumberKind;
    switch (r.kind) {
        case K::None:
            return t.empty();
        case K::Grant:
        case K::ForcedGrant:
            return t.size() == 9 && Digits(t);
        case K::Design:
            return t.size() == 8 && t[0] == 'D' && Digits(t.substr(1));
        case K::Sir:
            return t.size() == 8 && t[0] == 'H' && Digits(t.substr(1));
        case K::Plant:
            return t.size() == 8 && t.starts_with("PP") && Digits(t.substr(2));
        case K::Reissue:
            return t.size() == 8 && t.starts_with("RE") && Digits(t.substr(2));
        case K::Publication:
            return t.size() == 11 && Digits(t) && t[0] == '2';
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the year so that the window moves too.
    const int year = size > 0 ? 1990 + data[0] % 150 : 2026;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const tv::NormalizedPatentNumber r = tv::ClassifyPatentNumber(text, year);
    if (!WellFormed(r) || tv::NormalizePatentNumber(text, year) != r.text) {
        std::abort();
    }
    if (r.kind != tv::PatentNumberKind::None && r.kind != tv::PatentNumberKind::ForcedGrant &&
        tv::NormalizePatentNumber(r.text, year) != r.text) {
        std::abort();
    }
    const std::string address = tv::PageImageAddress(r.text);
    if (address.find("Docid=" + r.text) == std::string::npos &&
        address.find("Docid=0" + r.text) == std::string::npos) {
        std::abort();
    }
    return 0;
}
