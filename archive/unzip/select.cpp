#include "archive/unzip/unzip_internal.h"

#include <unordered_map>

#include "archive/unzip/entry_names.h"
#include "platform/strings.h"

namespace tv::unzip {

void Session::PreparePatterns() {
    matchOptions_.ignoreCase = options_.ignoreCase;
    includeMatched_.assign(includes_.size(), false);
    pickMatched_.assign(picks_.size(), false);
    for (std::size_t i = 0; i < picks_.size(); ++i) {
        pickAt_.emplace(picks_[i].index, i);
    }
    // Every pattern is looked up as a plain name (the usual case, a selection of listed
    // entries, stays linear however long, and a name holding "[" or "?" can be named
    // literally); patterns with wildcards are matched as such as well.
    for (std::size_t i = 0; i < includes_.size(); ++i) {
        includePlain_.emplace(Key(includes_[i]), i);
        if (HasWildcards(includes_[i], matchOptions_)) {
            includeWild_.push_back(i);
        }
    }
    for (const std::string& pattern : request_.excludes) {
        excludePlain_.insert(Key(pattern));
        if (HasWildcards(pattern, matchOptions_)) {
            excludeWild_.push_back(pattern);
        }
    }
}

std::string Session::Key(const std::string& name) const {
    return matchOptions_.ignoreCase ? ToLower(name) : name;
}

void Session::ResolvePicks(zip_t* za) {
    const zip_int64_t entries = zip_get_num_entries(za, 0);
    const auto count = static_cast<std::uint64_t>(entries > 0 ? entries : 0);
    auto nameAt = [za](std::uint64_t index) {
        const char* raw = zip_get_name(za, index, ZIP_FL_ENC_RAW);
        zip_error_clear(za);
        return raw != nullptr ? NormalizeSeparators(DecodeEntryName(raw)) : std::string();
    };
    std::unordered_map<std::string, std::uint64_t> firstWithName;  // made when first needed
    pickAt_.clear();
    for (std::size_t i = 0; i < picks_.size(); ++i) {
        const EntryPick& pick = picks_[i];
        if (pick.index < count && nameAt(pick.index) == pick.name) {
            pickAt_.emplace(pick.index, i);
            continue;
        }
        if (firstWithName.empty()) {
            for (std::uint64_t at = count; at-- > 0;) {
                firstWithName[nameAt(at)] = at;
            }
        }
        if (const auto found = firstWithName.find(pick.name); found != firstWithName.end()) {
            pickAt_.emplace(found->second, i);
        }
    }
}

bool Session::Selected(std::uint64_t index, const std::string& name) {
    bool included = includes_.empty() && picks_.empty();
    // A pick names one entry by its place and name: a package that changed since it was
    // listed must not hand out another entry in its stead.
    auto [pick, lastPick] = pickAt_.equal_range(index);
    for (; pick != lastPick; ++pick) {
        if (picks_[pick->second].name == name) {
            pickMatched_[pick->second] = true;
            included = true;
        }
    }
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
