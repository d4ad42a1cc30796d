#include "platform/wildcard.h"

#include <cctype>

namespace tv {
namespace {

char Fold(char c, bool ignoreCase) {
    return ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

// Matches one character against the set starting at pattern[p] == '['. On success
// returns true and sets setEnd to the index after ']'. A set without ']' is not a set.
bool MatchSet(std::string_view pattern, std::size_t p, char c, bool ignoreCase, bool& isSet,
              std::size_t& setEnd) {
    std::size_t i = p + 1;
    bool negate = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negate = true;
        ++i;
    }
    std::size_t close = i;
    if (close < pattern.size() && pattern[close] == ']') {
        ++close;  // "]" right after "[" is a member
    }
    while (close < pattern.size() && pattern[close] != ']') {
        ++close;
    }
    if (close >= pattern.size()) {
        isSet = false;
        return false;
    }
    isSet = true;
    setEnd = close + 1;
    bool found = false;
    const char fc = Fold(c, ignoreCase);
    for (std::size_t k = i; k < close; ++k) {
        char lo = Fold(pattern[k], ignoreCase);
        if (k + 2 < close && pattern[k + 1] == '-') {
            char hi = Fold(pattern[k + 2], ignoreCase);
            if (fc >= lo && fc <= hi) {
                found = true;
            }
            k += 2;
        } else if (fc == lo) {
            found = true;
        }
    }
    return found != negate;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text,
                   const WildcardOptions& options) {
    if (options.starDotStarMatchesAll && pattern == "*.*") {
        return true;
    }
    // Iterative matcher with one backtrack point for the last "*": linear in practice
    // and never recursive, so hostile patterns cannot exhaust the stack.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            const char pc = pattern[p];
            if (pc == '*') {
                starP = p++;
                starT = t;
                continue;
            }
            if (pc == '?') {
                ++p;
                ++t;
                continue;
            }
            if (pc == '[' && options.characterSets) {
                bool isSet = false;
                std::size_t setEnd = 0;
                bool ok = MatchSet(pattern, p, text[t], options.ignoreCase, isSet, setEnd);
                if (isSet) {
                    if (ok) {
                        p = setEnd;
                        ++t;
                        continue;
                    }
                } else if (text[t] == '[') {
                    ++p;
                    ++t;
                    continue;
                }
            } else if (Fold(pc, options.ignoreCase) == Fold(text[t], options.ignoreCase)) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP == std::string_view::npos) {
            return false;
        }
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool HasWildcards(std::string_view pattern, const WildcardOptions& options) {
    for (char c : pattern) {
        if (c == '*' || c == '?' || (c == '[' && options.characterSets)) {
            return true;
        }
    }
    return false;
}

}  // namespace tv
