#include "tools/prep/catalog.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/strings.h"
#include "tools/prep/prep_file.h"

namespace tv::prep {
namespace sfs = std::filesystem;

namespace {

struct Token {
    std::string text;
    bool literal = false;
};

std::vector<Token> Tokenize(const std::string& s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (s.compare(i, 2, "--") == 0) {
            const std::size_t end = s.find("--", i + 2);
            i = end == std::string::npos ? s.size() : end + 2;
        } else if (c == '"' || c == '\'') {
            std::size_t end = s.find(c, i + 1);
            if (end == std::string::npos) {
                end = s.size();
            }
            tokens.push_back({s.substr(i + 1, end - i - 1), true});
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < s.size() && !std::isspace(static_cast<unsigned char>(s[end]))) {
                ++end;
            }
            tokens.push_back({s.substr(i, end - i), false});
            i = end;
        }
    }
    return tokens;
}

// Number of parameters of each keyword; -1 when the token is no keyword.
int ParameterCount(const Token& t) {
    if (t.literal) {
        return -1;
    }
    static const std::pair<const char*, int> kKeywords[] = {
        {"PUBLIC", 2},   {"SYSTEM", 2},   {"DOCTYPE", 2}, {"ENTITY", 2},     {"NOTATION", 2},
        {"LINKTYPE", 2}, {"DELEGATE", 2}, {"DTDDECL", 2}, {"STYLESHEET", 2}, {"SGMLDECL", 1},
        {"DOCUMENT", 1}, {"BASE", 1},     {"CATALOG", 1}, {"OVERRIDE", 1},
    };
    for (const auto& [name, count] : kKeywords) {
        if (IEquals(t.text, name)) {
            return count;
        }
    }
    return -1;
}

}  // namespace

std::string NormalizePublicId(const std::string& id) {
    std::string out;
    bool space = false;
    for (char c : id) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = !out.empty();
        } else {
            if (space) {
                out += ' ';
            }
            space = false;
            out += c;
        }
    }
    return out;
}

Result<Catalog> Catalog::Load(const std::string& path) {
    const Result<std::string> text = ReadBytes(path);
    if (!text) {
        return PrepFailure(text.status().Number(), "cannot read the catalog " + path,
                           text.status().OsError());
    }
    return Parse(*text, sfs::path(AbsolutePath(path)).parent_path().string());
}

Catalog Catalog::Parse(const std::string& text, const std::string& folder) {
    Catalog cat;
    cat.folder_ = folder;
    const std::vector<Token> tokens = Tokenize(text);
    std::size_t i = 0;
    while (i < tokens.size()) {
        const int count = ParameterCount(tokens[i]);
        if (count < 0 || i + count >= tokens.size()) {
            ++i;  // unknown keyword or a stray parameter: read past, as SGML parsers do
            continue;
        }
        const std::string keyword = ToUpper(tokens[i].text);
        const std::string& a = tokens[i + 1].text;
        const std::string& b = count > 1 ? tokens[i + 2].text : a;
        // Entries keep catalog order, so the first usable one for a key wins.
        if (keyword == "PUBLIC") {
            cat.public_.emplace(NormalizePublicId(a), cat.Absolute(b));
        } else if (keyword == "SYSTEM") {
            cat.system_.emplace(a, cat.Absolute(b));
        } else if (keyword == "DOCTYPE") {
            cat.doctype_.emplace(ToUpper(a), cat.Absolute(b));
        } else if (keyword == "STYLESHEET") {
            cat.stylesheet_.emplace(ToUpper(a), cat.Absolute(b));  // the first one wins
        }
        i += count + 1;
    }
    return cat;
}

std::string Catalog::Absolute(const std::string& relative) const {
    const sfs::path p(relative);
    return (p.is_absolute() ? p : sfs::path(folder_) / p).lexically_normal().string();
}

std::optional<std::string> Catalog::ResolveDtd(const std::string& publicId,
                                               const std::string& systemId,
                                               const std::string& doctypeName) const {
    std::vector<std::string> candidates;
    auto add = [&](const std::multimap<std::string, std::string>& m, const std::string& key) {
        const auto [from, to] = m.equal_range(key);
        for (auto it = from; !key.empty() && it != to; ++it) {
            candidates.push_back(it->second);
        }
    };
    add(public_, NormalizePublicId(publicId));
    add(system_, systemId);
    add(doctype_, ToUpper(doctypeName));
    // The system identifier may be a URL or a Windows path: its last component counts.
    const std::size_t cut = systemId.find_last_of("/\\");
    const std::string fileName = systemId.substr(cut == std::string::npos ? 0 : cut + 1);
    if (!fileName.empty()) {
        candidates.push_back(Absolute(fileName));
    }
    for (const std::string& c : candidates) {
        std::error_code ec;
        if (sfs::is_regular_file(c, ec) && !IsSgmlDtd(c)) {
            return c;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Catalog::Stylesheet(const std::string& doctypeName) const {
    if (auto it = stylesheet_.find(ToUpper(doctypeName)); it != stylesheet_.end()) {
        return it->second;
    }
    if (auto it = stylesheet_.find("#DEFAULT"); !doctypeName.empty() && it != stylesheet_.end()) {
        return it->second;
    }
    return std::nullopt;
}

bool IsSgmlDtd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(64 << 10, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    // "<!ELEMENT name - O (...)" or "<!ELEMENT (a | b) ...": neither is XML.
    const auto space = [&](std::size_t i) {
        return i < head.size() && std::isspace(static_cast<unsigned char>(head[i]));
    };
    const auto flag = [&](std::size_t i) {
        return i < head.size() && (head[i] == '-' || head[i] == 'O' || head[i] == 'o') &&
               space(i + 1);
    };
    for (std::size_t at = head.find("<!ELEMENT"); at != std::string::npos;
         at = head.find("<!ELEMENT", at + 1)) {
        std::size_t i = at + 9;
        while (space(i)) {
            ++i;
        }
        if (i < head.size() && head[i] == '(') {
            return true;
        }
        while (i < head.size() && !space(i) && head[i] != '>') {
            ++i;
        }
        while (space(i)) {
            ++i;
        }
        std::size_t j = i + 1;
        while (space(j)) {
            ++j;
        }
        if (flag(i) && flag(j)) {
            return true;
        }
    }
    return false;
}

}  // namespace tv::prep
