#pragma once
// The one wildcard matcher of the program.
//
// "*" matches any run of characters (also "/"), "?" exactly one character. Two
// dialects build on it:
//  - file names (Windows rules): "*.*" matches every name, also one without a dot;
//  - archive entry names (classic unzip rules): "[abc]", "[a-z]" and "[!x]" / "[^x]"
//    match one character of a set; a "[" without its "]" is an ordinary character.
// Case is ignored only when the caller asks for it (ASCII letters).
#include <string_view>

namespace tv {

struct WildcardOptions {
    bool ignoreCase = false;
    bool starDotStarMatchesAll = false;  // Windows: "*.*" also matches "README"
    bool characterSets = false;          // unzip: "[...]" sets
};

inline constexpr WildcardOptions kFileNameWildcards{false, true, false};
inline constexpr WildcardOptions kEntryNameWildcards{false, false, true};

bool WildcardMatch(std::string_view pattern, std::string_view text,
                   const WildcardOptions& options = kFileNameWildcards);

// True when the text holds "*" or "?" (or "[" with character sets on).
bool HasWildcards(std::string_view pattern, const WildcardOptions& options = kFileNameWildcards);

}  // namespace tv
