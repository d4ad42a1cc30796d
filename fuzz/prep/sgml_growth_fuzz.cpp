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
    for (const std::string_view part : {text.substr(0, cut), text.substr(cut)}) {
        const tv::Status grown = growth.Add(part);
        if (!grown.Ok() && grown.Description().empty()) {
            std::abort();
        }
    }
    return 0;
}
