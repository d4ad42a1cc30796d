#pragma once
// Turns whatever the user typed into the search box ("6,123,456", "US D512,345",
// "2012/0012345") into the fixed-width document identifier the online services take.
//
// The result is one of six forms or empty:
//   grant            nine digits                       006123456
//   design           "D"  + seven digits               D0512345
//   SIR              "H"  + seven digits               H0001234
//   plant            "PP" + six digits                 PP012345
//   reissue          "RE" + six digits                 RE045678
//   publication      year + seven-digit serial         20120012345
// Every text gives a result; nothing here fails, throws or shows a message. A text
// holding more than fifteen digits gives the empty result (the digit value is never
// allowed to overflow). The current year decides which years count as publication
// years, so it is a parameter; the one-argument form reads the local clock.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tv {

// Largest number of decimal digits a typed number may hold.
inline constexpr std::size_t kMaxPatentDigits = 15;

// Which rule produced a result. kForcedGrant is the grant read because the text holds
// "T20"; its digits may read as a publication when normalised again.
enum class PatentNumberKind { None, Grant, ForcedGrant, Design, Sir, Plant, Reissue, Publication };

struct NormalizedPatentNumber {
    PatentNumberKind kind = PatentNumberKind::None;
    std::string text;  // empty exactly when kind is None
};

NormalizedPatentNumber ClassifyPatentNumber(std::string_view text, int currentYear);

// ClassifyPatentNumber(text, currentYear).text
std::string NormalizePatentNumber(std::string_view text, int currentYear);
std::string NormalizePatentNumber(std::string_view text);

// The calendar year of the local clock.
int CurrentLocalYear();

// The value of the decimal digits ('0'-'9') of text read left to right, every other
// character skipped; 0 when there are none. Empty when the text holds more than
// kMaxPatentDigits digits (leading zeros count).
std::optional<std::int64_t> Str_To_Lng(std::string_view text);

// The rightmost len(pattern) characters of pattern + number: with a pattern of zeros,
// left-pads number to the pattern's width or keeps only its last characters.
std::string PadWithZeroes(std::string_view number, std::string_view pattern);

// value without its leading "0" characters; all zeros give "".
std::string RemoveLeadingZeroes(std::string_view value);

}  // namespace tv
