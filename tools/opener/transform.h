#pragma once
// Running the XSLT stylesheet an XML file names in its xml-stylesheet processing
// instruction, as a browser would, and writing the result as an HTML page.
//
// The document and its stylesheet are untrusted: everything is read through one
// tv::xml::Job (platform/xml/xml_job.h states the rules) whose readable folders are the
// document's folder, the stylesheet's folder and the installation's DTD folder, under
// one time limit that also covers the drawings. The page is cleaned (tv::xml::CleanPage)
// before anything else looks at it, so no script or remote address reaches the reader.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/xml/xml_job.h"
#include "tools/opener/error_page.h"
#include "tools/opener/tiff_png.h"

namespace tv::opener {

// The href of an xml-stylesheet instruction's content when it names an XSLT stylesheet:
// type "text/xsl" or "application/xslt+xml", or an href ending in .xsl/.xslt (unless
// the type says it is something else, e.g. text/css). Alternate stylesheets are skipped.
std::optional<std::string> XsltHrefFromInstruction(std::string_view content);

using xml::LocalFilePath;

// The installation's DTD folder (DTDs, entity sets and document stylesheets), found from
// the running program's folder: <prefix>/lib/tessel-viewer/ -> <prefix>/share/tessel-viewer/DTDs/.
std::string InstalledDtdFolder();

struct TransformOutcome {
    enum class Kind { NoStylesheet, Written, Failed };
    Kind kind = Kind::Failed;
    std::string htmlPath;                      // Written: the page
    OpenError error;                           // Failed: what to tell the user
    std::vector<std::string> drawingProblems;  // Written: TIFFs that could not be converted
    xml::Cleaning cleaned;                     // Written: what the page check took out
};

// Parses xmlPath; when it names an XSLT stylesheet, transforms it (params: string
// parameters for the stylesheet), cleans the page, converts the TIFF drawings the result
// references (tiff_refs.h) and writes htmlPath (replacing it, never through a link). When
// htmlPath cannot be written, the page goes to a new file in the temporary folder with
// a base element pointing at the document's folder. timeLimit covers all of it.
TransformOutcome TransformToHtml(
    const std::string& xmlPath, const std::string& htmlPath, const TiffLimits& limits = {},
    std::chrono::milliseconds timeLimit = std::chrono::seconds(60),
    const std::vector<std::pair<std::string, std::string>>& params = {});

}  // namespace tv::opener
