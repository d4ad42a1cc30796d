#pragma once
// The text changes behind PathMend and DtdStrip, on the bytes of a document: each
// touches only the prolog pieces it names and keeps every other byte.
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tools/prep/catalog.h"

namespace tv::prep {

struct Rewritten {
    std::string text;
    std::vector<std::string> warnings;  // one line each, for standard error
};

// Points the DOCTYPE's system identifier at the DTD the catalog resolves (absolute
// path; its file URL when the path holds spaces or other characters URIs escape) and attaches the
// stylesheet the catalog names for the document type (the root element's name without a DOCTYPE)
// as an xml-stylesheet PI right after the XML declaration (first when there is none).
// The document's own xml-stylesheet PIs go, except those whose href is a plain relative path to a
// file in documentFolder (then ours is not added): one pointing anywhere else would load
// nothing, or something from outside. Running it twice gives the same text as running it once.
// Fails as ScanProlog when the prolog is unreadable.
Result<Rewritten> MendPaths(const std::string& text, const Catalog& catalog,
                            const std::string& documentFolder = {});

// Removes the DOCTYPE declaration, internal subset included; a document without one
// comes back unchanged. Fails as ScanProlog.
Result<std::string> StripDoctype(const std::string& text);

// Whether text (a file's first bytes) holds the whole prolog: the tools edit only the
// prolog, so a file of any size needs no more than that in memory.
bool HoldsProlog(const std::string& text);

// The processing instruction that attaches a stylesheet file.
std::string StylesheetPi(const std::string& absolutePath);

}  // namespace tv::prep
