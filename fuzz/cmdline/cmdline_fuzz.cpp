// Command-line splitting: the first byte picks the maximum (-2..13), the rest is the
// line. Checks the splitter's promises, not only that it survives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "shell/cmdline.h"

using tv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int lMax = static_cast<int>(data[0] % 16) - 2;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto args = tv::SplitCommandLine(line, lMax);

    Check(!args.empty() && args[0].empty());
    Check(static_cast<int>(args.size()) - 1 <= (lMax > 0 ? lMax : 0));
    const bool quoteMode = line.find('"') != std::string_view::npos;
    std::string joined;
    for (std::size_t i = 1; i < args.size(); ++i) {
        Check(!args[i].empty());
        Check(args[i].find('"') == std::string::npos);
        if (!quoteMode) {
            Check(args[i].find_first_of(" \t") == std::string::npos);
        }
        joined += args[i];
        (void)tv::ClassifyArgument(args[i]);
    }
    // In quote mode nothing but the quotes is dropped: the arguments are, in order, a
    // prefix of the line without its quotes.
    if (quoteMode) {
        std::string unquoted(line);
        std::erase(unquoted, '"');
        Check(unquoted.compare(0, joined.size(), joined) == 0);
        if (static_cast<int>(args.size()) - 1 < lMax) {
            Check(joined == unquoted);
        }
    }
    return 0;
}
