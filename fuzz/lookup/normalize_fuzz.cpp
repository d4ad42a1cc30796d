// Typed numbers: any bytes give a result of one of the six forms (or empty), the same
// on a second call, and an address that holds the number unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "lookup/commands.h"
#include "lookup/normalize.h"

namespace {

// Each kind's form: its width and a fixed prefix, digits after the prefix.
bool WellFormed(const tv::NormalizedPatentNumber& r) {
    using K = tv::PatentNumberKind;
    static const std::map<K, std::pair<std::size_t, std::string_view>> forms = {
        {K::None, {0, ""}},      {K::Grant, {9, ""}},         {K::ForcedGrant, {9, ""}},
        {K::Design, {8, "D"}},   {K::Sir, {8, "H"}},          {K::Plant, {8, "PP"}},
        {K::Reissue, {8, "RE"}}, {K::Publication, {11, "2"}},
    };
    const auto& [width, prefix] = forms.at(r.kind);
    return r.text.size() == width && r.text.starts_with(prefix) &&
           r.text.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
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
