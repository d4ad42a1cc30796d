#pragma once
// A byte-level reader of an XML document's prolog: the XML declaration, comments,
// processing instructions and the DOCTYPE declaration (external identifier and
// internal subset), up to the root element's start tag. It records where each piece
// lies so the tools can change one piece and keep every other byte as it was.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tv::prep {

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;  // one past the last byte
};

struct Doctype {
    Span whole;  // "<!DOCTYPE" up to and including its ">"
    std::string name;
    std::size_t afterName = 0;  // offset just past the name
    std::optional<std::string> publicId;
    std::optional<Span> publicLiteral;  // the literal with its quotes
    std::optional<std::string> systemId;
    std::optional<Span> systemLiteral;  // the literal with its quotes
};

struct Prolog {
    std::size_t start = 0;  // after a UTF-8 byte-order mark
    std::optional<Span> xmlDeclaration;
    std::optional<Doctype> doctype;
    std::vector<Span> stylesheetPis;  // every "<?xml-stylesheet ...?>" before the root
    std::string rootName;             // empty when no element follows
    bool complete = false;            // false when the text ends inside the prolog
};

// Reads the prolog of text. Fails (kErrInvalidFormat) when the text is not an XML
// document this reader understands (UTF-16, an unterminated comment, PI, literal or
// DOCTYPE).
Result<Prolog> ScanProlog(const std::string& text);

}  // namespace tv::prep
