#include "shell/cmdline.h"

#include "platform/strings.h"

namespace tv {

std::vector<std::string> SplitCommandLine(std::string_view line, int lMax) {
    std::vector<std::string> result(1);
    const bool quoteMode = line.find('"') != std::string_view::npos;
    bool inArgument = false;
    for (char c : line) {
        const bool ends = quoteMode ? c == '"' : (c == ' ' || c == '\t');
        if (ends) {
            inArgument = false;
            continue;
        }
        if (!inArgument) {
            if (static_cast<int>(result.size()) - 1 >= lMax) {
                break;
            }
            result.emplace_back();
            inArgument = true;
        }
        result.back() += c;
    }
    return result;
}

namespace {
std::vector<std::string>& ProcessArguments() {
    static std::vector<std::string> args;
    return args;
}
}  // namespace

void SetProcessArguments(std::vector<std::string> args) {
    ProcessArguments() = std::move(args);
}

std::vector<std::string> GetCmdLine(int lMax) {
    std::vector<std::string> result(1);
    for (const auto& arg : ProcessArguments()) {
        if (static_cast<int>(result.size()) - 1 >= lMax) {
            break;
        }
        result.push_back(arg);
    }
    return result;
}

ArgumentKind ClassifyArgument(const std::string& argument) {
    const std::string ext = ToLower(ExtensionAfterLastDot(argument));
    if (ext == "xml") {
        return ArgumentKind::XmlFile;
    }
    if (ext == "zip") {
        return ArgumentKind::Package;
    }
    return ArgumentKind::Ignored;
}

}  // namespace tv
