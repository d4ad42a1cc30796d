#include "render/doc_number.h"

#include <algorithm>
#include <fstream>

#include "platform/strings.h"

namespace tv::render {
namespace {

constexpr std::size_t kHeadBytes = 1000;
constexpr std::string_view kTag = "<doc-number>";

}  // namespace

std::string DocNumberFromText(std::string_view text) {
    text = text.substr(0, kHeadBytes);
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!IStartsWith(line, kTag)) {
            continue;
        }
        const auto slash = line.find('/');
        // A "/" inside the tag or none at all leaves no number.
        if (slash == std::string_view::npos || slash < kTag.size() + 1) {
            return {};
        }
        return std::string(line.substr(kTag.size(), slash - 1 - kTag.size()));
    }
    return {};
}

std::string GetDocNumber(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(in ? head.size()
                   : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return DocNumberFromText(head);
}

}  // namespace tv::render
