#pragma once
// Showing a loose XML file: a CALS table file (root element "table", any case) is
// turned into an HTML page with a stylesheet first; any other file is opened as it is.
//
// TransformXmlFile(xmlPath, stylesheetPath, outputFolder, context):
//  1. Parses xmlPath through one tv::xml::Job (platform/xml/xml_job.h: what may be read,
//     limits, the time limit) that may read the file's folder and the stylesheet's
//     folder. On failure or refusal: the load error message
//     titled "Error loading the XML", the file goes into the recent-files list, and
//     the operation ends (the document is unusable).
//  2. Adds xmlPath to the recent-files list (context.addRecentFile).
//  3. Root "table": creates outputFolder when missing, creates or empties
//     outputFolder + "/" + N + ".htm" (N: the file name up to its last "."), loads
//     the stylesheet ("Error loading the Transform" on failure), transforms
//     ("Error executing the Transform" on failure, with the failing instruction's line,
//     column and text, also when there is no stylesheet), cleans the page
//     (tv::xml::CleanPage), writes it as UTF-16LE with a byte-order mark by replacing
//     the file (a link at its name is replaced, never written through), and launches
//     context.ie11Path on the page with the output folder in double quotes as working
//     directory. A page that could not be written is reported under the last title
//     and not launched.
//     Other roots: launches context.ie11Path on xmlPath with working directory "\"\"".
//  Transformations never write files or reach the network; the EXSLT extension
//  functions are available to the stylesheet.
//
// The load error message: critical icon (16); text = description + "\r\n" + reason +
// " line: " + line + " col: " + column + " text: " + the failing line's source text.
#include <chrono>
#include <functional>
#include <string>

#include "render/ports.h"

namespace tv::render {

inline constexpr const char* kTitleLoadXml = "Error loading the XML";
inline constexpr const char* kTitleLoadTransform = "Error loading the Transform";
inline constexpr const char* kTitleExecuteTransform = "Error executing the Transform";

struct TransformContext {
    std::string ie11Path;
    Launcher* launcher = nullptr;                                    // required
    MessageSink* messages = nullptr;                                 // required
    std::function<void(const std::string& path)> addRecentFile;      // may be empty
    std::chrono::milliseconds timeLimit = std::chrono::seconds(60);  // the whole step
};

// What a parser reports about a failed load (all empty/0 when it did not fail).
struct ParseErrorInfo {
    std::string reason;
    long line = 0;
    long column = 0;
    std::string sourceText;
};

// The text of the load error message.
std::string LoadErrorText(const std::string& description, const ParseErrorInfo& error);

// The page a table file becomes: outputFolder + "/" + N + ".htm".
std::string TransformOutputPath(const std::string& xmlPath, const std::string& outputFolder);

void TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                      const std::string& outputFolder, const TransformContext& context);

// UTF-8 text as UTF-16LE bytes with a byte-order mark (bad sequences become U+FFFD).
std::string ToUtf16LeWithBom(const std::string& utf8);

}  // namespace tv::render
