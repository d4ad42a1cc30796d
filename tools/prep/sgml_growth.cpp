#include "tools/prep/sgml_growth.h"

#include <algorithm>

#include "tools/prep/prep_file.h"

namespace tv::prep {

namespace {

constexpr std::uint64_t kUndeclared = 16;  // a character of our entity sets, or so

// total + size * count, saturating at cap: no overflow whatever the counts.
std::uint64_t Grow(std::uint64_t total, std::uint64_t size, std::uint64_t count,
                   std::uint64_t cap) {
    if (size != 0 && count > (cap - std::min(total, cap)) / size) {
        return cap;
    }
    return std::min(total + size * count, cap);
}

bool NameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool NameChar(char c) {
    return NameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

bool Space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool KeywordAt(std::string_view t, std::size_t i, std::string_view word) {
    if (t.size() - i < word.size()) {
        return false;
    }
    for (std::size_t k = 0; k < word.size(); ++k) {
        const char c = t[i + k];
        if ((c >= 'a' && c <= 'z' ? c - 32 : c) != word[k]) {
            return false;
        }
    }
    return true;
}

// A reference starting at i ("&name" or "%name"), its key, and the index past it.
std::size_t RefAt(std::string_view t, std::size_t i, std::string* key) {
    if (i + 1 >= t.size() || (t[i] != '&' && t[i] != '%') || !NameStart(t[i + 1])) {
        return 0;
    }
    std::size_t j = i + 1;
    while (j < t.size() && NameChar(t[j])) {
        ++j;
    }
    *key = std::string(1, t[i]) + std::string(t.substr(i + 1, j - i - 1));
    return j;
}

}  // namespace

std::uint64_t EntityGrowth::Size(const std::string& key, int depth) {
    if (auto it = sizes_.find(key); it != sizes_.end()) {
        return it->second;
    }
    if (depth > 64) {
        return maxTotal_ + 1;  // deeper than the parser would open entities anyway
    }
    const auto d = decls_.find(key);
    if (d == decls_.end()) {
        return kUndeclared;
    }
    sizes_[key] = 0;  // a reference back to itself adds nothing (the parser refuses it)
    std::uint64_t total = d->second.chars;
    for (const auto& [r, count] : d->second.refs) {
        total = Grow(total, Size(r, depth + 1), count, maxTotal_ + 1);
    }
    return sizes_[key] = total;
}

Status EntityGrowth::Add(std::string_view t) {
    std::string key;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (std::size_t end = RefAt(t, i, &key)) {
            ++topRefs_[key];
            i = end - 1;
            continue;
        }
        if (t[i] != '<' || !KeywordAt(t, i, "<!ENTITY")) {
            continue;
        }
        // A declaration: its name, then every literal character and reference up to its
        // ">". The scan then goes on inside it, for declarations within its literals.
        std::size_t j = i + 8;
        while (j < t.size() && Space(t[j])) {
            ++j;
        }
        char kind = '&';
        if (j + 1 < t.size() && t[j] == '%' && Space(t[j + 1])) {
            kind = '%';
            for (++j; j < t.size() && Space(t[j]);) {
                ++j;
            }
        } else if (j < t.size() && t[j] == '%') {
            return PrepFailure(kErrInvalidFormat,
                               "an entity name built from a parameter entity is not accepted");
        }
        const std::size_t nameStart = j;
        while (j < t.size() && !Space(t[j]) && t[j] != '"' && t[j] != '\'' && t[j] != '>') {
            ++j;
        }
        const std::string name = kind + std::string(t.substr(nameStart, j - nameStart));
        Decl decl;
        char quote = 0;
        for (; j < t.size() && (quote || t[j] != '>'); ++j) {
            if (quote) {
                if (t[j] == quote) {
                    quote = 0;
                } else if (std::size_t end = RefAt(t, j, &key)) {
                    ++decl.refs[key];
                    j = end - 1;
                } else {
                    ++decl.chars;
                }
            } else if (t[j] == '"' || t[j] == '\'') {
                quote = t[j];
            } else if (std::size_t end = RefAt(t, j, &key)) {
                ++decl.refs[key];  // a parameter given by an entity
                j = end - 1;
            }
        }
        decls_.emplace(name, std::move(decl));  // the first declaration counts, as in SGML
    }
    sizes_.clear();
    for (const auto& [name, d] : decls_) {
        if (Size(name, 0) > maxEntity_) {
            return PrepFailure(kErrInvalidFormat, "entity " + name.substr(1) +
                                                      " expands to more than " +
                                                      std::to_string(maxEntity_ >> 10) + " KB");
        }
    }
    std::uint64_t total = 0;
    for (const auto& [r, count] : topRefs_) {
        total = Grow(total, Size(r, 0), count, maxTotal_ + 1);
    }
    if (total > maxTotal_) {
        return PrepFailure(kErrInvalidFormat, "the entity references expand to more than " +
                                                  std::to_string(maxTotal_ >> 20) + " MB");
    }
    return Status();
}

}  // namespace tv::prep
