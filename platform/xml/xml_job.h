#pragma once
// The one way the program reads XML and runs XSLT on it: documents, their DTDs and entity
// sets, stylesheets and what stylesheets load are all untrusted and go through a Job.
//
// Policy of a Job (the README's "Security" section says the same to users):
// - What is read: regular files inside the job's readable folders only. The caller names
//   them: the document's own folder, the installation's DTD folder and the folders of the
//   stylesheets it runs. A path is judged after every link in it is resolved, on the file
//   actually opened, so a link leading out of those folders is refused like the file it
//   leads to.
// - What is never read: anything that needs the network (http:, ftp:, file://host/...);
//   devices, FIFOs, sockets and folders (also as file://localhost/dev/stdin); any other
//   local file. Every load goes through the job's own loader: the document, its external
//   DTD subset, external parameter entities, xsl:import, xsl:include and document().
//   External general entities in the text (<!ENTITY x SYSTEM "...">, then &x;) are never
//   read, wherever they point.
// - Limits: bytes read by the whole job; compressed input is refused (the bytes are
//   handed to the parser as they are, gzip or xz is never unpacked); element depth and
//   entity expansion within the parser's own bounds (its "huge" mode is never enabled);
//   XSLT template recursion depth and variables; the serialized page's size; one time
//   limit for the whole job, counted from the job's start. Parsing notices it at every
//   read, the XSLT engine between instructions and the XPath evaluator at every step (a
//   single long expression stops as soon as the time is up); other stages of a caller
//   (image conversion) ask Expired(). The result tree's size is bounded by that time.
// - The stylesheet never writes files, creates folders or reaches the network.
// - A refusal fails the step that asked for the load; Error::rule names the rule broken
//   (RuleText() gives the words the error page and message boxes show). A parse error
//   the parser recovers from (an entity a missing DTD would have defined) fails nothing.
// - The loaders are the process's from the first job on: outside a job, libxml2 and
//   libxslt read nothing at all.
//
// A Job runs on one thread; several jobs may run on several threads. Handles it returns
// (documents, stylesheets) may outlive it.
#include <libxml/tree.h>
#include <libxslt/xsltInternals.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/fd.h"

namespace tv::xml {

enum class Rule {
    None,             // not a refusal: the input is broken or a library failed
    Network,          // the address needs the network
    OutsideFolders,   // a file outside the readable folders (links resolved)
    NotRegularFile,   // a device, FIFO, socket or folder
    ExternalEntity,   // an external general entity in the text
    Compressed,       // gzip- or xz-compressed input
    InputSize,        // more bytes than Limits::maxInputBytes
    Depth,            // element nesting or template recursion too deep
    EntityExpansion,  // entities expand beyond the parser's bounds
    OutputSize,       // a page larger than Limits::maxOutputBytes
    TimeLimit,        // the job ran longer than Limits::timeLimit
    Write,            // the stylesheet tried to write a file or create a folder
};

// The rule in words, e.g. "time limit: the job may run 60 s".
std::string RuleText(Rule rule);

struct Limits {
    std::uint64_t maxInputBytes = 512ull << 20;   // all files one job reads together
    std::uint64_t maxOutputBytes = 512ull << 20;  // one serialized page
    int maxTemplateDepth = 3000;                  // XSLT template and function recursion
    int maxTemplateVars = 15000;                  // XSLT variables alive at once
    std::chrono::milliseconds timeLimit = std::chrono::seconds(60);
};

// What went wrong, with the location in the file it concerns when known.
struct Error {
    Rule rule = Rule::None;
    std::string file;
    int line = 0;
    int column = 0;
    std::string reason;      // the library's message, or the rule's words and what was refused
    std::string sourceText;  // the line of file at line, when known
};

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct StyleFree {
    void operator()(xsltStylesheet* s) const { xsltFreeStylesheet(s); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;
using StylePtr = std::unique_ptr<xsltStylesheet, StyleFree>;

class Job {
  public:
    explicit Job(const Limits& limits = {});
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Adds a readable folder (resolved now; a missing folder adds nothing).
    void AllowFolder(const std::string& folder);
    // Adds the folder that holds path.
    void AllowFolderOf(const std::string& path);

    // Parses a document (entities substituted, DTD attributes defaulted, CDATA as text).
    // Null on failure or refusal; error() says why.
    DocPtr Parse(const std::string& path);

    // Parses and compiles a stylesheet; null with error() on failure.
    StylePtr LoadStylesheet(const std::string& path);

    // Runs style on doc with string parameters (name, value: passed as strings, never
    // evaluated). Null with error() on failure, refusal or time-out.
    DocPtr Transform(xsltStylesheet* style, xmlDoc* doc,
                     const std::vector<std::pair<std::string, std::string>>& params = {});

    // The result as style's output method and encoding say; nullopt with error() when
    // it exceeds the output limit or the time is up.
    std::optional<std::string> Serialize(xmlDoc* result, xsltStylesheet* style);

    // Opens path under the same rules for a reader of the caller's own (an SGML
    // parser's storage manager, say): a descriptor, or an invalid one with error() set
    // (Rule::None for a file that is merely missing). The file's size counts against
    // maxInputBytes at once.
    UniqueFd OpenFile(const std::string& path);

    // True once the time limit has passed.
    bool Expired() const;

    // Records a time-out for a caller's own stage; false when there is time left.
    bool FailIfExpired(const std::string& stage);

    const Error& error() const;
    const Limits& limits() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

// The page as a reader may see it: no script, no event handler, no address that leaves
// the computer (see CleanPage). counted so callers can say what was taken out.
struct Cleaning {
    int elements = 0;    // elements removed (script, iframe, object, ...)
    int attributes = 0;  // attributes removed (on*, remote or script addresses, ...)
};

// Removes from a result page every script, frame, object, embed, applet, base and
// refresh element, SVG animation element and xml-stylesheet instruction; every on*
// attribute; every address attribute (href, src, action, ...) that is not a plain
// relative reference or fragment (IsLocalReference); style text that could load
// anything. What the stylesheet copied from the document can therefore never send a
// reader's data away or run code, whatever the stylesheet does.
Cleaning CleanPage(xmlDoc* page);

// True for "", "#frag", "dir/file.png", "../a.htm": references resolved against the
// page's own location. False for any scheme (http:, javascript:, data:, file:, ...)
// and for network paths ("//host", "\\host"); tabs and line breaks that browsers drop
// inside addresses are dropped first.
bool IsLocalReference(std::string_view value);

// The local file a URL or path names: a plain path as it is (percent escapes decoded
// when the text itself names no file), a file: URL without host or with "localhost" as
// its decoded path; nullopt for everything that needs the network.
std::optional<std::string> LocalFilePath(const std::string& url);

// Writes bytes to path without ever following a link: into a new file created
// exclusively beside it, then renamed over it. A failure's description is readable
// ("cannot write <path>: <reason>").
Status WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace tv::xml
