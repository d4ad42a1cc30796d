#include "tools/opener/error_page.h"

namespace tv::opener {

std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ErrorPageHtml(const OpenError& error) {
    const std::string title = EscapeHtml(error.stage.empty() ? "Error" : error.stage);
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
        "</title>\n<style>body{font-family:sans-serif;margin:2em}"
        "th{text-align:left;padding-right:1em;vertical-align:top}"
        "pre{background:#f4f4f4;padding:.5em;white-space:pre-wrap}</style></head>\n<body>\n"
        "<h1>" +
        title + "</h1>\n" +
        (error.rule.empty()
             ? ""
             : "<p class=\"rule\">Refused by the rule: " + EscapeHtml(error.rule) + "</p>\n") +
        "<table>\n<tr><th>File</th><td>" + EscapeHtml(error.file) + "</td></tr>\n";
    if (error.line > 0) {
        page += "<tr><th>Line</th><td>" + std::to_string(error.line) + "</td></tr>\n";
    }
    if (error.column > 0) {
        page += "<tr><th>Column</th><td>" + std::to_string(error.column) + "</td></tr>\n";
    }
    page += "<tr><th>Reason</th><td><pre>" + EscapeHtml(error.reason) + "</pre></td></tr>\n";
    if (!error.sourceText.empty()) {
        page += "<tr><th>Text</th><td><pre>" + EscapeHtml(error.sourceText) + "</pre></td></tr>\n";
    }
    page += "</table>\n</body></html>\n";
    return page;
}

}  // namespace tv::opener
