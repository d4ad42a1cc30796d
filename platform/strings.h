#pragma once
// Small text helpers shared by every layer (ASCII case rules, as the program's
// comparisons of names and extensions need).
#include <string>
#include <string_view>

namespace tv {

std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
bool IEquals(std::string_view a, std::string_view b);
bool IEndsWith(std::string_view s, std::string_view suffix);
bool IStartsWith(std::string_view s, std::string_view prefix);

// The text after the last "."; the whole text when it holds no ".".
std::string ExtensionAfterLastDot(std::string_view name);

// Replaces every occurrence of from (non-empty) by to.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Trims spaces (only ' ') from both ends.
std::string TrimSpaces(std::string_view s);

// UTF-16LE bytes as UTF-8; unpaired surrogates and an odd last byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// s with every byte but the unreserved ones of an address (letters, digits, "-._~") and
// those in alsoPlain written as %XX.
std::string PercentEncoded(std::string_view s, std::string_view alsoPlain = {});

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace tv
