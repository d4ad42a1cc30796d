#include "dialogs/dialog_rules.h"

#include <filesystem>

#include "platform/environment.h"
#include "platform/strings.h"

namespace tv {

OpenDialogSetup DecideOpenSetup(std::int32_t flags, std::int32_t filterIndex,
                                std::int64_t hInstance, bool hookDialog) {
    OpenDialogSetup setup;
    if ((flags & OFN_ENABLETEMPLATE) != 0 && hInstance < 1) {
        flags &= ~OFN_ENABLETEMPLATE;
    }
    constexpr std::int32_t kSwitches =
        OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_READONLY | OFN_HIDEREADONLY;
    setup.flags = flags & kSwitches;
    setup.multiSelect = (flags & OFN_ALLOWMULTISELECT) != 0;
    setup.fileMustExist = (flags & OFN_FILEMUSTEXIST) != 0;
    setup.useTemplate = (flags & OFN_ENABLETEMPLATE) != 0 && hInstance > 0;
    if (setup.useTemplate) {
        setup.flags |= OFN_ENABLETEMPLATE;
    }
    if (setup.multiSelect) {
        setup.flags |= OFN_EXPLORER;
    }
    setup.hooked = hookDialog;
    if (hookDialog) {
        setup.flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    }
    setup.filterIndex = filterIndex == 0 ? 1 : filterIndex;
    return setup;
}

std::string ConvertFilter(std::string_view filter) {
    std::string out(filter);
    for (char& c : out) {
        if (c == '|' || c == ':') {
            c = '\0';
        }
    }
    out.append(2, '\0');
    return out;
}

std::vector<FilterPair> FilterPairs(std::string_view convertedFilter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < convertedFilter.size()) {
        const std::size_t end = convertedFilter.find('\0', start);
        const std::size_t stop = end == std::string_view::npos ? convertedFilter.size() : end;
        if (stop == start) {
            break;  // an empty part ends the list
        }
        parts.emplace_back(convertedFilter.substr(start, stop - start));
        start = stop + 1;
    }
    std::vector<FilterPair> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        pairs.push_back({parts[i], parts[i + 1]});
    }
    return pairs;
}

std::string DialogNamePatterns(std::string_view pattern) {
    std::string out;
    std::size_t start = 0;
    while (start <= pattern.size()) {
        std::size_t end = pattern.find(';', start);
        if (end == pattern.npos) {
            end = pattern.size();
        }
        std::string one = TrimSpaces(pattern.substr(start, end - start));
        if (one == "*.*") {
            one = "*";
        }
        if (!one.empty()) {
            out += (out.empty() ? "" : " ") + one;
        }
        start = end + 1;
    }
    return out;
}

std::string MultiSelectAnswer(const std::vector<std::string>& fullPaths) {
    if (fullPaths.empty()) {
        return {};
    }
    const std::string terminator(2, '\0');
    if (fullPaths.size() == 1) {
        return fullPaths.front() + terminator;
    }
    namespace fs = std::filesystem;
    std::string answer = fs::path(fullPaths.front()).parent_path().string();
    for (const std::string& p : fullPaths) {
        answer += '\0';
        answer += fs::path(p).filename().string();
    }
    return answer + terminator;
}

void ParseMultiFileName(std::string_view fileName, std::string& folder,
                        std::vector<std::string>& names, std::int32_t& count) {
    std::string_view s = fileName;
    if (const std::size_t pair = s.find(std::string_view("\0\0", 2)); pair != s.npos) {
        s = s.substr(0, pair);
    }
    if (s.find('\0') == s.npos) {
        const std::size_t sep = s.rfind(kPathSeparator);
        if (sep == s.npos) {
            folder.clear();
            names.assign(1, std::string(s));
        } else {
            folder = std::string(s.substr(0, sep));
            names.assign(1, std::string(s.substr(sep + 1)));
        }
        count = 1;
        return;
    }
    bool first = true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = s.find('\0', start);
        const std::string_view part = s.substr(start, end == s.npos ? s.npos : end - start);
        if (first) {
            if (folder.empty()) {
                folder = std::string(part);
            }
            first = false;
        } else {
            names.emplace_back(part);
        }
        if (end == s.npos) {
            break;
        }
        start = end + 1;
    }
    count = static_cast<std::int32_t>(names.size());
}

bool RaisesOnResult(std::int32_t apiReturn) {
    return apiReturn != 0 && apiReturn != 1;
}

long CommonDialogErrorNumber(std::int32_t extendedError) {
    return static_cast<long>(extendedError) | kErrCommonDialogBase;
}

bool IsRefusedHelpCommand(std::int32_t command) {
    return command == HELP_MULTIKEY || command == HELP_SETWINPOS;
}

Rgb RgbFromColorRef(std::int32_t colorRef) {
    const auto v = static_cast<std::uint32_t>(colorRef);
    return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>((v >> 16) & 0xFF)};
}

std::int32_t ColorRefFromRgb(Rgb rgb) {
    return static_cast<std::int32_t>((rgb.red & 0xFF) | ((rgb.green & 0xFF) << 8) |
                                     ((rgb.blue & 0xFF) << 16));
}

}  // namespace tv
