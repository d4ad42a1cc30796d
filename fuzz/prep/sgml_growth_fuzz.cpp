// SGML text from anywhere through the entity growth check SgmlLift24 runs before its
// parser: no crash, no endless recursion (entities naming each other, chains as long as
// the input), no overflow, and every refusal says why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/prep/sgml_growth.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Split in two "files" at the first NUL, if any: declarations in one, uses in the other.
    const std::size_t cut = std::min(text.find('\0'), text.size());
    tv::prep::EntityGrowth growth(4096, 65536);
    std::string why;
    const bool first = growth.Add(text.substr(0, cut), &why);
    if (!first && why.empty()) {
        std::abort();
    }
    why.clear();
    if (!growth.Add(text.substr(cut), &why) && why.empty()) {
        std::abort();
    }
    return 0;
}
