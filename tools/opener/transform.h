#pragma once
// Running the XSLT stylesheet an XML file names in its xml-stylesheet processing
// instruction, as a browser would, and writing the result as an HTML page.
//
// Safety rules for the untrusted document and stylesheet:
// - nothing is fetched from the network; only regular local files are read (a FIFO or
//   device named as a DTD or stylesheet is refused, so nothing can hang on it);
// - a DTD and its parameter entities are read (entity sets), internal entities are
//   expanded, but a document or stylesheet that needs an external general entity
//   (<!ENTITY x SYSTEM "...">) in its content is refused;
// - entity expansion stays within libxml2's default limits, so entity bombs end fast;
// - a transformation that runs longer than its time limit is stopped and reported;
// - the stylesheet may not write files, create folders or use the network; it may read
//   (document(), xsl:import) only files inside the stylesheet's or the document's folder
//   (the policy is ours: what a stylesheet legitimately needs lives beside it, and the
//   document's folder holds the package); anything else it asks for fails the transform.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "tools/opener/error_page.h"
#include "tools/opener/tiff_png.h"

namespace tv::opener {

// The href of an xml-stylesheet instruction's content when it names an XSLT stylesheet:
// type "text/xsl" or "application/xslt+xml", or an href ending in .xsl/.xslt (unless
// the type says it is something else, e.g. text/css). Alternate stylesheets are skipped.
std::optional<std::string> XsltHrefFromInstruction(std::string_view content);

// The local file a path or URL names: a path is taken as it is, a file: URL (of no host
// or localhost) gives its decoded path; nullopt for anything that needs the network.
std::optional<std::string> LocalFilePath(const std::string& url);

struct TransformOutcome {
    enum class Kind { NoStylesheet, Written, Failed };
    Kind kind = Kind::Failed;
    std::string htmlPath;                      // Written: the page
    OpenError error;                           // Failed: what to tell the user
    std::vector<std::string> drawingProblems;  // Written: TIFFs that could not be converted
};

// Parses xmlPath; when it names an XSLT stylesheet, transforms it, converts the TIFF
// drawings the result references (tiff_refs.h) and writes htmlPath (replacing it). When
// htmlPath cannot be written, the page goes to a new file in the temporary folder with
// a base element pointing at the document's folder.
TransformOutcome TransformToHtml(const std::string& xmlPath, const std::string& htmlPath,
                                 const TiffLimits& limits = {},
                                 std::chrono::milliseconds timeLimit = std::chrono::seconds(60));

}  // namespace tv::opener
