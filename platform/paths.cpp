#include "platform/paths.h"

#include <algorithm>

namespace tv {

std::pair<std::string, std::string> SplitAtLastSeparator(std::string_view path) {
    const std::size_t cut = path.rfind(kPathSeparator);
    if (cut == std::string_view::npos) {
        return {"", std::string(path)};
    }
    return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) {
        return std::string(name);
    }
    return WithTrailingSeparator(std::string(folder)) + std::string(name);
}

std::string WithTrailingSeparator(std::string path) {
    if (path.empty() || path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    return path;
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == kPathSeparator) {
        path.pop_back();
    }
    return path;
}

std::string BackslashesToSeparators(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', kPathSeparator);
    return out;
}

}  // namespace tv
