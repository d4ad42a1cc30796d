#pragma once
// SGML to XML: parses an SGML document with OpenSP through a catalog (omitted tags
// inferred, entities expanded) and writes the same element tree as well-formed XML:
// element and attribute names as the parser reports them (upper case; MathML inside a
// "math" element in its own lower-case names and namespace), SDATA entities as the
// characters their ISO names stand for, entity attributes (NDATA files) as the file
// names of their system identifiers. The parser reads bytes as ISO 8859-1, SGML's usual
// document character set for these documents; other characters come as entities.
//
// What the parser may read, whatever the document asks for: regular files inside the
// document's folder or the catalog's folder (the installation's DTD folder), found
// through their real paths, so a link leading out is refused. Never the network (no
// URL storage, no "<URL>" or other storage-manager prefixes), standard input, devices,
// FIFOs or sockets; no catalog of the document's own folder; no environment variable
// changes any of this. Limits: the bytes read from all files together, the XML written
// (an entity that expands without end stops there), and the first error ends the parse
// (an over-long interpreted literal is one). A caller's cancel flag, set from a signal
// handler, stops the parse between two parser events.
#include <csignal>
#include <cstdint>
#include <string>

#include "platform/error.h"

namespace tv::prep {

struct LiftLimits {
    std::uint64_t maxBytesRead = 64u << 20;  // every file the parser opens, together
    std::uint64_t maxXmlBytes = 24u << 20;   // the XML written
    volatile std::sig_atomic_t* cancel =
        nullptr;  // nullable; non-zero stops the parse (set here too)
};

struct Lifted {
    std::string xml;       // body only: the root element and its content
    std::string rootName;  // the document element's name
    std::string warnings;  // reported but not fatal (dangling IDREFs), one per line
};

// The XML, or a failure (kErrInvalidFormat) whose description is the first refusal or
// parser error.
Result<Lifted> LiftSgml(const std::string& sgmlPath, const std::string& catalogPath,
                        const LiftLimits& limits = {64u << 20, 24u << 20, nullptr});

}  // namespace tv::prep
