#pragma once
// The page the opener shows instead of a document it could not prepare: the browser is
// always handed something readable, never left silent.
#include <string>

namespace tv::opener {

// What went wrong, where. stage is the failing step as the user sees it ("Error loading
// the XML", "Error loading the Transform", "Error executing the Transform", ...).
struct OpenError {
    std::string stage;
    std::string file;
    int line = 0;    // 0 when unknown
    int column = 0;  // 0 when unknown
    std::string reason;
    std::string sourceText;  // the failing line of the file, when known
    std::string rule;        // the safety rule that refused the input, "" for broken input
};

// A complete UTF-8 HTML page naming the stage, the rule broken (first, when there is one),
// the file, line, column and reason; every
// text is escaped, so a hostile file name or message cannot inject markup.
std::string ErrorPageHtml(const OpenError& error);

// Escapes &, <, >, " and ' for HTML text and attribute values.
std::string EscapeHtml(const std::string& text);

}  // namespace tv::opener
