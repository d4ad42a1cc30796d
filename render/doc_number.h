#pragma once
// Reading a document's number out of its first lines, for the search box.
//
// GetDocNumber reads the first 1000 bytes of the file (all of a shorter one; the
// header lines are ASCII), cuts them into lines at each CRLF or lone LF, and takes the
// first line that begins with "<doc-number>" (any case, no indentation). The result is
// the text between the tag and the character before the line's first "/": for
// "<doc-number>0123456</doc-number>" that is "0123456", leading zero kept.
// It never fails: an unreadable file, no such line, or a line without a "/" after the
// number give "".
#include <string>
#include <string_view>

namespace tv::render {

std::string GetDocNumber(const std::string& path);

// The same rule on text already read (at most the first 1000 bytes are looked at).
std::string DocNumberFromText(std::string_view text);

}  // namespace tv::render
