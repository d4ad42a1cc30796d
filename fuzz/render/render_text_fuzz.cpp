// The document number and the tool command-line split on arbitrary text. Checks their
// promises, not only that they survive: a number never spans lines or leaves the
// head, and arguments quoted by the usual rules split back to themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process/command_line.h"
#include "render/doc_number.h"

namespace {

void Check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

std::string Quote(const std::string& arg) {
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string number = tv::render::DocNumberFromText(text);
    Check(number.size() < 1000 && number.find('\n') == std::string::npos);
    Check(number.empty() || text.substr(0, 1000).find(number) != std::string_view::npos);

    const tv::SplitCommand cmd = tv::SplitToolCommandLine(text);
    Check(cmd.program.find('"') == std::string::npos || text.find('"') != std::string_view::npos);
    Check(text.find(cmd.program) != std::string_view::npos);
    std::string line = "/bin/x";
    for (const std::string& arg : cmd.arguments) {
        line += " " + Quote(arg);
    }
    const tv::SplitCommand again = tv::SplitToolCommandLine(line);
    Check(again.program == "/bin/x" && again.arguments == cmd.arguments);
    return 0;
}
