#pragma once
// SGML to XML: parses an SGML document with OpenSP through a catalog (omitted tags
// inferred, entities expanded) and writes the same element tree as well-formed XML:
// element and attribute names as the parser reports them (upper case), SDATA entities
// as the characters their ISO names stand for, entity attributes (NDATA files) as the
// files' system identifiers. The parser reads bytes as ISO 8859-1, SGML's usual
// document character set for these documents; other characters come as entities.
#include <optional>
#include <string>

namespace tv::prep {

struct LiftResult {
    bool ok = false;
    std::string xml;       // body only: the root element and its content
    std::string rootName;  // the document element's name
    std::string error;     // the parser's first error when !ok
    std::string warnings;  // reported but not fatal (dangling IDREFs), one per line
};

LiftResult LiftSgml(const std::string& sgmlPath, const std::string& catalogPath);

}  // namespace tv::prep
