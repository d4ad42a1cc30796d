#include "archive/unzip/entry_names.h"

#include <cctype>
#include <vector>

#include "platform/strings.h"

namespace tv::unzip {
namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Strict UTF-8 without control characters.
bool IsCleanUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if (IsControl(b)) {
                return false;
            }
            ++i;
            continue;
        }
        std::size_t n = 0;
        char32_t c = 0, min = 0;
        if ((b & 0xE0) == 0xC0) {
            n = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            n = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            n = 3, c = b & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i <= n) {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            const auto cont = static_cast<unsigned char>(s[i + k]);
            if ((cont & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (cont & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || (c >= 0x80 && c < 0xA0)) {
            return false;  // overlong, too large, a surrogate or a C1 control
        }
        i += n + 1;
    }
    return true;
}

}  // namespace

std::string DecodeEntryName(std::string_view raw) {
    if (IsCleanUtf8(raw)) {
        return std::string(raw);
    }
    std::string out;
    out.reserve(raw.size() + raw.size() / 2);
    for (char ch : raw) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80) {
            AppendUtf8(out, kCp437High[b - 0x80]);
        } else {
            out += IsControl(b) ? '_' : ch;
        }
    }
    return out;
}

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
