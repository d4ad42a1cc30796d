#pragma once
// The document opener: what `tessel-open TARGET` does, as functions the tests call.
//
// - A web address (a scheme of two or more letters: http:, https:, ftp:, mailto: ...)
//   goes to the desktop's browser unchanged. A file: URL is taken as the local file.
// - An .xml file (any case) that names an XSLT stylesheet is transformed beside itself
//   into NAME.xml.html (transform.h; into the temporary folder when the file's folder
//   is not writable), and that page is opened. One that names none opens as it is.
// - Anything else opens as it is (a missing file too: the browser reports it).
// - When the XML or its stylesheet fails, an error page (error_page.h) is written
//   beside the file as NAME.xml.html, or into the temporary folder when the file's
//   folder is not writable, and that page is opened instead.
//
// Each transformation runs in a child process under the time limit (transform.h); when
// the child does not answer in time (it is killed) or ends without an answer (a crash in
// a library), the error page says so. Whatever the document does, the opener ends.
//
// The desktop's browser is $BROWSER when set and not empty (one program, given the
// target as its single argument, no shell), else xdg-open. It is started detached and
// not waited for.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "tools/opener/tiff_png.h"

namespace tv::opener {

// True for an address with a URL scheme other than file:. A single letter before ":"
// is a drive letter, not a scheme.
bool IsWebAddress(std::string_view target);

// The program that shows pages: $BROWSER, else "xdg-open".
std::string BrowserProgram();

// What the browser was given once it started; else the failure, whose description is
// the one line for standard error.
Result<std::string> OpenTarget(const std::string& target, const TiffLimits& limits = {},
                               std::chrono::milliseconds timeLimit = std::chrono::seconds(60));

struct ChildResult {
    std::optional<std::string> answer;  // what work returned, when the child finished
    bool timedOut = false;              // killed at the limit
};

// Runs work in a child process and returns what it produced. The child is killed and
// reaped at limit, and when the caller goes away.
ChildResult RunInChild(const std::function<std::string()>& work, std::chrono::milliseconds limit);

}  // namespace tv::opener
