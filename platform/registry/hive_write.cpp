// Writing the registry-editor text format.
#include <cstdio>

#include "platform/registry/hive.h"
#include "platform/registry/hive_text.h"

namespace tv::reg {

namespace {

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

bool IsQuotableText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') {
            return false;
        }
    }
    return true;
}

void AppendHexList(std::string& out, std::size_t column, const std::vector<std::uint8_t>& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0 && column + 3 > 78) {
            out += "\\\n  ";
            column = 2;
        }
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            ++column;
        }
    }
}

}  // namespace

std::string SerializeHive(const Hive& hive) {
    std::string out(kHeader4);
    out += '\n';
    for (const auto& [sortKey, key] : hive.Keys()) {
        out += "\n[" + key.path + "]\n";
        for (const auto& [lower, value] : key.values) {
            std::size_t lineStart = out.size();
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            out += '=';
            if (value.type == REG_SZ && IsQuotableText(value.data)) {
                out += Quote(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                              value.data.size() - 1));
            } else if (value.type == REG_DWORD && value.data.size() == 4) {
                char buf[16];
                DWORD n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                          (DWORD(value.data[3]) << 24);
                std::snprintf(buf, sizeof buf, "dword:%08x", n);
                out += buf;
            } else {
                if (value.type == REG_BINARY) {
                    out += "hex:";
                } else {
                    char buf[20];
                    std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
                    out += buf;
                }
                AppendHexList(out, out.size() - lineStart, value.data);
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace tv::reg
