// Documents and catalogs from anywhere: the prolog reader, PathMend's and DtdStrip's
// rewrites and the catalog reader take any bytes without crashing; a rewrite keeps
// everything outside the prolog, and PathMend applied twice gives the same text. A
// rewrite of a first part that holds the whole prolog, followed by the rest as it was,
// equals the rewrite of the whole text: that is how the tools treat big files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/prep/catalog.h"
#include "tools/prep/prolog.h"
#include "tools/prep/rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The first line doubles as a catalog, so its reader sees the same bytes.
    const auto catalog = tv::prep::Catalog::Parse(text.substr(0, text.find('\n')), "/nowhere");
    const auto fixed = tv::prep::Catalog::Parse(
        "STYLESHEET a \"s.xsl\" STYLESHEET patent-grant \"p.xsl\"", "/nowhere");
    const auto prolog = tv::prep::ScanProlog(text);
    const auto stripped = tv::prep::StripDoctype(text);
    if (prolog.Ok() != stripped.Ok()) {
        std::abort();
    }
    if (stripped && prolog->doctype &&
        stripped->size() + prolog->doctype->whole.end - prolog->doctype->whole.begin !=
            text.size()) {
        std::abort();
    }
    for (const auto* cat : {&catalog, &fixed}) {
        const auto once = tv::prep::MendPaths(text, *cat);
        if (once.Ok() != prolog.Ok()) {
            std::abort();
        }
        if (once) {
            const auto twice = tv::prep::MendPaths(once->text, *cat);
            if (!twice || twice->text != once->text) {
                std::abort();
            }
        }
    }
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    const std::string head = text.substr(0, cut), rest = text.substr(cut);
    // (The inserted line break follows the text's first one, so the cut must show it.)
    const bool breakSeen = text.find('\n') == std::string::npos || text.find('\n') < cut;
    if (prolog && breakSeen && tv::prep::HoldsProlog(head)) {
        const auto whole = tv::prep::MendPaths(text, fixed);
        const auto part = tv::prep::MendPaths(head, fixed);
        const auto strippedPart = tv::prep::StripDoctype(head);
        if (!whole || !part || part->text + rest != whole->text || !strippedPart ||
            *strippedPart + rest != *stripped) {
            std::abort();
        }
    }
    return 0;
}
