#include "tools/prep/catalog.h"

#include <cctype>
#include <filesystem>
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

std::optional<Catalog> Catalog::Load(const std::string& path, std::string* error) {
    auto text = ReadBytes(path, error);
    if (!text) {
        *error = "cannot read the catalog " + path;
        return std::nullopt;
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
        // The first entry for a key wins, so emplace never overwrites.
        if (keyword == "PUBLIC") {
            cat.public_.emplace(NormalizePublicId(a), cat.Absolute(b));
        } else if (keyword == "SYSTEM") {
            cat.system_.emplace(a, cat.Absolute(b));
        } else if (keyword == "DOCTYPE") {
            cat.doctype_.emplace(ToUpper(a), cat.Absolute(b));
        } else if (keyword == "STYLESHEET") {
            cat.stylesheet_.emplace(ToUpper(a), cat.Absolute(b));
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
    auto add = [&](const std::map<std::string, std::string>& m, const std::string& key) {
        if (auto it = m.find(key); !key.empty() && it != m.end()) {
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
        if (sfs::is_regular_file(c, ec)) {
            return c;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Catalog::Stylesheet(const std::string& doctypeName) const {
    if (auto it = stylesheet_.find(ToUpper(doctypeName)); it != stylesheet_.end()) {
        return it->second;
    }
    return std::nullopt;
}

}  // namespace tv::prep
