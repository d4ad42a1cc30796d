#include "platform/unzip/unzip_internal.h"

#include "platform/strings.h"
#include "platform/unzip/entry_names.h"

namespace tv::unzip {

std::vector<std::string> Patterns(int count, char** table) {
    std::vector<std::string> out;
    for (int i = 0; table != nullptr && i < count && table[i] != nullptr && table[i][0] != 0; ++i) {
        out.push_back(NormalizeSeparators(table[i]));
    }
    return out;
}

void Session::PreparePatterns() {
    matchOptions_.ignoreCase = dcl_.C_flag != 0;
    includeMatched_.assign(includes_.size(), false);
    // Every pattern is looked up as a plain name (the usual case, a selection of listed
    // entries, stays linear however long, and a name holding "[" or "?" can be named
    // literally); patterns with wildcards are matched as such as well.
    for (std::size_t i = 0; i < includes_.size(); ++i) {
        includePlain_.emplace(Key(includes_[i]), i);
        if (HasWildcards(includes_[i], matchOptions_)) {
            includeWild_.push_back(i);
        }
    }
    for (const std::string& pattern : excludes_) {
        excludePlain_.insert(Key(pattern));
        if (HasWildcards(pattern, matchOptions_)) {
            excludeWild_.push_back(pattern);
        }
    }
}

std::string Session::Key(const std::string& name) const {
    return matchOptions_.ignoreCase ? ToLower(name) : name;
}

bool Session::Selected(const std::string& name) {
    bool included = includes_.empty();
    if (!includePlain_.empty()) {
        auto [first, last] = includePlain_.equal_range(Key(name));
        for (auto it = first; it != last; ++it) {
            includeMatched_[it->second] = true;
            included = true;
        }
    }
    for (std::size_t i : includeWild_) {
        if (WildcardMatch(includes_[i], name, matchOptions_)) {
            includeMatched_[i] = true;
            included = true;
        }
    }
    if (!included) {
        return false;
    }
    if (!excludePlain_.empty() && excludePlain_.count(Key(name)) != 0) {
        return false;
    }
    for (const std::string& pattern : excludeWild_) {
        if (WildcardMatch(pattern, name, matchOptions_)) {
            return false;
        }
    }
    return true;
}

}  // namespace tv::unzip
