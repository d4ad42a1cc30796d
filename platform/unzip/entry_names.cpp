#include "platform/unzip/entry_names.h"

#include <cctype>
#include <vector>

namespace tv::unzip {

std::string NormalizeSeparators(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

OutputName MakeOutputName(std::string_view name, bool keepFolders, bool spaceToUnderscore) {
    OutputName out;
    out.isFolder = !name.empty() && name.back() == '/';
    // "C:", also repeated ("C:D:x"), and anything that starts with "/".
    while (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) &&
           name[1] == ':') {
        name.remove_prefix(2);
        out.droppedRoot = true;
    }
    if (!name.empty() && name.front() == '/') {
        out.droppedRoot = true;
    }
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        const std::size_t slash = name.find('/');
        const std::string_view part = name.substr(0, slash);
        name.remove_prefix(slash == std::string_view::npos ? name.size() : slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            out.droppedParent = true;
            continue;
        }
        parts.push_back(part);
    }
    if (!keepFolders && parts.size() > 1) {
        parts.erase(parts.begin(), parts.end() - 1);
    }
    for (std::string_view part : parts) {
        if (!out.path.empty()) {
            out.path += '/';
        }
        out.path += part;
    }
    if (spaceToUnderscore) {
        for (char& c : out.path) {
            if (c == ' ') {
                c = '_';
            }
        }
    }
    return out;
}

}  // namespace tv::unzip
