#pragma once
// The characters behind the ISO 8879 entity names our SGML entity sets define as
// SDATA ("[mdash ]"). One table serves SgmlLift24, which writes the characters, and the
// entity set files in the data folder, which are written from the same names.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/strings.h"

namespace tv::prep {

struct EntityChar {
    const char* name;
    const char* set;  // the ISO entity set the name belongs to, e.g. "ISOnum"
    char32_t code;
};

// Every entry, sorted by name.
std::span<const EntityChar> EntityChars();

// The code point for an entity name (case matters: "Agrave" is not "agrave").
std::optional<char32_t> EntityCharByName(std::string_view name);

// The code point for an SDATA text in ISO form: "[mdash ]" (name inside brackets,
// padded with spaces). nullopt for any other text.
std::optional<char32_t> EntityCharBySdataText(std::string_view text);

}  // namespace tv::prep
