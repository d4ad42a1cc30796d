#pragma once
// How far the entities of SGML text can expand, judged from the text before the parser
// reads it. The parser builds an attribute value or a parameter literal whole before it
// reports anything, so entities within entities (ten references to ten references ...)
// must be caught here: every entity declaration's expanded size is bounded through the
// declarations seen so far, and so is the sum over every reference outside them.
// Overestimates are fine (references inside comments count too); a name the text does
// not declare counts as a short one (the character sets of our DTDs).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace tv::prep {

class EntityGrowth {
  public:
    EntityGrowth(std::uint64_t maxEntity, std::uint64_t maxTotal)
        : maxEntity_(maxEntity), maxTotal_(maxTotal) {}

    // Takes in one file's text (the document, or an entity it reads). Fails
    // (kErrInvalidFormat) when an entity or all references together would grow past the
    // limits, or an entity's name is itself built from a parameter entity.
    Status Add(std::string_view text);

  private:
    struct Decl {
        std::uint64_t chars = 0;
        std::map<std::string, std::uint64_t> refs;  // "&name" or "%name" -> how often
    };
    std::uint64_t Size(const std::string& key, int depth);

    std::uint64_t maxEntity_, maxTotal_;
    std::map<std::string, Decl> decls_;
    std::map<std::string, std::uint64_t> topRefs_;  // outside declarations, every file
    std::map<std::string, std::uint64_t> sizes_;
};

}  // namespace tv::prep
