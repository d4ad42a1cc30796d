#include "tools/opener/transform.h"

#include <libexslt/exslt.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxslt/documents.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/environment.h"
#include "platform/strings.h"
#include "tools/opener/output_file.h"
#include "tools/opener/seq_listing.h"
#include "tools/opener/tiff_refs.h"

namespace tv::opener {
namespace {

// No XML_PARSE_HUGE: libxml2's default limits are what stop entity bombs.
constexpr int kParseOptions =
    XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_NONET | XML_PARSE_NOCDATA;
constexpr size_t kMaxMessageBytes = 8192;

struct DocFree {
    void operator()(xmlDocPtr d) const { xmlFreeDoc(d); }
};
struct CtxtFree {
    void operator()(xmlParserCtxtPtr c) const { xmlFreeParserCtxt(c); }
};
struct StyleFree {
    void operator()(xsltStylesheetPtr s) const { xsltFreeStylesheet(s); }
};
struct TransformFree {
    void operator()(xsltTransformContextPtr t) const { xsltFreeTransformContext(t); }
};
struct XmlCharFree {
    void operator()(void* p) const { xmlFree(p); }
};
struct UriFree {
    void operator()(xmlURIPtr u) const { xmlFreeURI(u); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// What one transformation has been told by the libraries' callbacks, which reach it
// through g_session (callbacks carry no user data of ours).
struct Session {
    std::vector<std::string> readableRoots;  // canonical folders ending with "/"
    std::vector<std::string> refusals;
    std::vector<xmlParserCtxtPtr> parsers;  // top-level parsers of ours now running
    bool haveXmlError = false;
    std::string errorFile;
    int errorLine = 0;
    int errorColumn = 0;
    std::string errorReason;
    std::string messages;  // libxslt's text messages

    void ClearErrors() {
        haveXmlError = false;
        errorFile.clear();
        errorLine = errorColumn = 0;
        errorReason.clear();
        messages.clear();
    }
};

std::mutex g_mutex;  // one transformation at a time: the callbacks share g_session
Session* g_session = nullptr;
xsltSecurityPrefsPtr g_prefs = nullptr;

void Refuse(const std::string& what) {
    if (g_session != nullptr) {
        g_session->refusals.push_back(what);
    }
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

void OnXmlError(void*, xmlErrorPtr e) {
    if (g_session == nullptr || e == nullptr || e->level < XML_ERR_ERROR ||
        g_session->haveXmlError) {
        return;
    }
    g_session->haveXmlError = true;
    g_session->errorFile = e->file != nullptr ? e->file : "";
    g_session->errorLine = e->line;
    g_session->errorColumn = e->int2;
    g_session->errorReason = Trimmed(e->message != nullptr ? e->message : "");
}

void OnTextMessage(void*, const char* format, ...) {
    if (g_session == nullptr || g_session->messages.size() >= kMaxMessageBytes) {
        return;
    }
    char buf[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    g_session->messages += buf;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// Only loads that a parser we started makes on its own behalf: the document itself, its
// DTD and the DTD's parameter entities. libxml2 parses an external general entity with a
// context of its own, which is not one of ours, so that load is refused.
xmlParserInputPtr SafeEntityLoader(const char* url, const char*, xmlParserCtxtPtr ctxt) {
    if (url == nullptr) {
        return nullptr;
    }
    const bool ours = g_session != nullptr && ctxt != nullptr &&
                      std::find(g_session->parsers.begin(), g_session->parsers.end(), ctxt) !=
                          g_session->parsers.end();
    if (!ours) {
        Refuse(std::string("the external entity ") + url + " is not read");
        return nullptr;
    }
    const std::optional<std::string> path = LocalFilePath(url);
    if (!path) {
        Refuse(std::string("network access to ") + url + " is not allowed");
        return nullptr;
    }
    if (!IsRegularFile(*path)) {
        return nullptr;  // the parser reports the file as not loadable
    }
    return xmlNewInputFromFile(ctxt, path->c_str());
}

bool InsideReadableRoots(const std::string& path) {
    if (g_session == nullptr) {
        return false;
    }
    std::string canonical = CanonicalPath(path);
    if (canonical.empty()) {
        // Not there (yet): judge by its folder, so a missing file fails as missing.
        const std::string folder = CanonicalPath(FolderOf(path));
        if (folder.empty()) {
            return false;
        }
        canonical = folder + "/" + path.substr(path.rfind('/') + 1);
    }
    for (const std::string& root : g_session->readableRoots) {
        if (canonical.compare(0, root.size(), root) == 0) {
            return true;
        }
    }
    return false;
}

int CheckRead(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    const std::optional<std::string> path = LocalFilePath(value != nullptr ? value : "");
    if (!path) {
        Refuse(std::string("the stylesheet may not use the network (") + value + ")");
        return 0;
    }
    if (!InsideReadableRoots(*path)) {
        Refuse(std::string("the stylesheet may not read ") + value);
        return 0;
    }
    return 1;
}

int DenyWrite(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    Refuse(std::string("the stylesheet may not write files (") + (value ? value : "") + ")");
    return 0;
}

int DenyDirectory(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    Refuse(std::string("the stylesheet may not create folders (") + (value ? value : "") + ")");
    return 0;
}

int DenyNetwork(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    Refuse(std::string("the stylesheet may not use the network (") + (value ? value : "") + ")");
    return 0;
}

xmlDocPtr SafeDocumentLoader(const xmlChar* uri, xmlDictPtr dict, int options, void*,
                             xsltLoadType type);

void InitLibrariesOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        exsltRegisterAll();
        xmlSetExternalEntityLoader(SafeEntityLoader);
        xsltSetLoaderFunc(SafeDocumentLoader);
        g_prefs = xsltNewSecurityPrefs();
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_READ_FILE, CheckRead);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_WRITE_FILE, DenyWrite);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_CREATE_DIRECTORY, DenyDirectory);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_READ_NETWORK, DenyNetwork);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_WRITE_NETWORK, DenyNetwork);
        // Imports are checked against the default preferences, document() against the
        // transformation's; both are ours.
        xsltSetDefaultSecurityPrefs(g_prefs);
    });
}

// Installs the session and the error sinks for one transformation.
class ScopedSession {
  public:
    explicit ScopedSession(Session* session) {
        g_session = session;
        xmlSetStructuredErrorFunc(nullptr, OnXmlError);
        xmlSetGenericErrorFunc(nullptr, OnTextMessage);
        xsltSetGenericErrorFunc(nullptr, OnTextMessage);
    }
    ~ScopedSession() {
        xsltSetGenericErrorFunc(nullptr, nullptr);
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        g_session = nullptr;
    }
    ScopedSession(const ScopedSession&) = delete;
    ScopedSession& operator=(const ScopedSession&) = delete;
};

// Parses one file as a document. dict is the dictionary libxslt wants shared (or null).
DocPtr ParseFile(const std::string& path, xmlDictPtr dict = nullptr, int options = kParseOptions) {
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt || g_session == nullptr) {
        return nullptr;
    }
    if (dict != nullptr) {
        xmlDictFree(ctxt->dict);
        ctxt->dict = dict;
        xmlDictReference(dict);
    }
    g_session->parsers.push_back(ctxt.get());
    DocPtr doc(xmlCtxtReadFile(ctxt.get(), path.c_str(), nullptr,
                               (options | XML_PARSE_NONET) & ~XML_PARSE_HUGE));
    g_session->parsers.pop_back();
    if (doc && !ctxt->wellFormed) {
        doc.reset();
    }
    return doc;
}

// libxslt's loader for xsl:import, xsl:include and document(): the same parser and
// rules as the document's. libxslt has checked the read permission already.
xmlDocPtr SafeDocumentLoader(const xmlChar* uri, xmlDictPtr dict, int options, void*,
                             xsltLoadType) {
    if (uri == nullptr) {
        return nullptr;
    }
    const std::optional<std::string> path = LocalFilePath(reinterpret_cast<const char*>(uri));
    return path ? ParseFile(*path, dict, options).release() : nullptr;
}

std::string SourceLine(const std::string& path, int line) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (int i = 0; i < line && std::getline(in, text); ++i) {
    }
    if (!in) {
        return "";
    }
    text = Trimmed(text);
    return text.size() > 300 ? text.substr(0, 300) + "..." : text;
}

// The first "line N" in a libxslt message.
int LineInMessage(const std::string& text) {
    const size_t at = text.find("line ");
    if (at == std::string::npos) {
        return 0;
    }
    int line = 0;
    for (size_t i = at + 5; i < text.size() && text[i] >= '0' && text[i] <= '9' && line < 100000000;
         ++i) {
        line = line * 10 + (text[i] - '0');
    }
    return line;
}

TransformOutcome Failure(const std::string& stage, const std::string& file, const Session& session,
                         bool showSource) {
    TransformOutcome out;
    out.kind = TransformOutcome::Kind::Failed;
    OpenError& e = out.error;
    e.stage = stage;
    e.file = file;
    std::string reason;
    for (const std::string& r : session.refusals) {
        reason += (reason.empty() ? "" : "\n") + r;
    }
    if (session.haveXmlError) {
        if (!session.errorFile.empty()) {
            e.file = session.errorFile;
        }
        e.line = session.errorLine;
        e.column = session.errorColumn;
        reason += (reason.empty() ? "" : "\n") + session.errorReason;
    }
    if (!session.messages.empty()) {
        reason += (reason.empty() ? "" : "\n") + Trimmed(session.messages);
        if (e.line == 0) {
            e.line = LineInMessage(session.messages);
        }
    }
    e.reason = reason.empty() ? "the libraries gave no reason" : reason;
    if (showSource && e.line > 0 && e.file == file) {
        e.sourceText = SourceLine(file, e.line);
    }
    return out;
}

TransformOutcome SimpleFailure(const std::string& stage, const std::string& file,
                               const std::string& reason) {
    TransformOutcome out;
    out.kind = TransformOutcome::Kind::Failed;
    out.error.stage = stage;
    out.error.file = file;
    out.error.reason = reason;
    return out;
}

// Stops a transformation that runs too long. libxslt offers no time limit, but its
// engine checks its state between instructions and ends the run once the state says
// stopped; that single store is all this thread does to the context.
class Watchdog {
  public:
    Watchdog(xsltTransformContextPtr context, std::chrono::milliseconds limit)
        : thread_([this, context, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!wake_.wait_for(lock, limit, [this] { return done_; })) {
                  fired_ = true;
                  context->state = XSLT_STATE_STOPPED;
              }
          }) {}
    ~Watchdog() { Finish(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Ends the watch; true when the limit was reached.
    bool Finish() {
        if (thread_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                done_ = true;
            }
            wake_.notify_one();
            thread_.join();
        }
        return fired_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;  // last: starts once the members it uses exist
};

std::string DecodeEntities(std::string s) {
    s = ReplaceAll(s, "&quot;", "\"");
    s = ReplaceAll(s, "&apos;", "'");
    s = ReplaceAll(s, "&lt;", "<");
    s = ReplaceAll(s, "&gt;", ">");
    return ReplaceAll(s, "&amp;", "&");
}

std::optional<std::string> StylesheetHref(xmlDocPtr doc) {
    for (xmlNodePtr n = doc->children; n != nullptr; n = n->next) {
        if (n->type == XML_PI_NODE && xmlStrEqual(n->name, BAD_CAST "xml-stylesheet") &&
            n->content != nullptr) {
            if (auto href = XsltHrefFromInstruction(reinterpret_cast<const char*>(n->content))) {
                return href;
            }
        }
    }
    return std::nullopt;
}

std::string PercentDecoded(const std::string& s) {
    std::unique_ptr<char, XmlCharFree> buf(
        reinterpret_cast<char*>(xmlURIUnescapeString(s.c_str(), 0, nullptr)));
    return buf ? std::string(buf.get()) : s;
}

std::optional<std::string> Serialized(xmlDocPtr result, xsltStylesheetPtr style) {
    xmlChar* raw = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&raw, &length, result, style) != 0) {
        return std::nullopt;
    }
    std::unique_ptr<xmlChar, XmlCharFree> bytes(raw);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes.get()),
                               static_cast<size_t>(length))
                 : std::string();
}

// A file URL of an absolute folder path (ending with "/").
std::string FolderUrl(const std::string& folder) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : folder) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') ||
                           std::string_view("/-._~").find(c) != std::string_view::npos;
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

// Puts <base href="file:///folder/"> first into the page's head (made when missing).
void AddBase(xmlDocPtr page, const std::string& folder) {
    xmlNodePtr root = xmlDocGetRootElement(page);
    if (root == nullptr) {
        return;
    }
    xmlNodePtr head = root->children;
    while (head != nullptr &&
           !(head->type == XML_ELEMENT_NODE && xmlStrcasecmp(head->name, BAD_CAST "head") == 0)) {
        head = head->next;
    }
    if (head == nullptr) {
        head = xmlNewDocNode(page, root->ns, BAD_CAST "head", nullptr);
        if (head == nullptr) {
            return;
        }
        head = root->children != nullptr ? xmlAddPrevSibling(root->children, head)
                                         : xmlAddChild(root, head);
    }
    xmlNodePtr base = xmlNewDocNode(page, root->ns, BAD_CAST "base", nullptr);
    if (base == nullptr) {
        return;
    }
    xmlSetProp(base, BAD_CAST "href", BAD_CAST FolderUrl(folder).c_str());
    if (head->children != nullptr) {
        xmlAddPrevSibling(head->children, base);
    } else {
        xmlAddChild(head, base);
    }
}

}  // namespace

std::optional<std::string> LocalFilePath(const std::string& url) {
    const size_t colon = url.find(':');
    const size_t slash = url.find('/');
    const bool hasScheme =
        colon != std::string::npos && colon > 1 && (slash == std::string::npos || colon < slash);
    if (!hasScheme) {
        // libxslt resolves xsl:import against the stylesheet's base as a URI reference, so
        // a folder with a space arrives as "%20": decode unless the text names a file.
        return url.find('%') == std::string::npos || IsRegularFile(url) ? url : PercentDecoded(url);
    }
    if (!IStartsWith(url, "file:")) {
        return std::nullopt;
    }
    std::unique_ptr<xmlURI, UriFree> uri(xmlParseURI(url.c_str()));
    if (!uri || uri->path == nullptr ||
        (uri->server != nullptr && !IEquals(uri->server, "localhost") && uri->server[0] != 0)) {
        return std::nullopt;
    }
    return std::string(uri->path);
}

std::optional<std::string> XsltHrefFromInstruction(std::string_view content) {
    std::map<std::string, std::string> pseudo;
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < content.size() && (content[i] == ' ' || content[i] == '\t' ||
                                      content[i] == '\r' || content[i] == '\n')) {
            ++i;
        }
    };
    while (true) {
        skipSpace();
        const size_t nameStart = i;
        while (i < content.size() && content[i] != '=' && content[i] != ' ' && content[i] != '\t' &&
               content[i] != '\r' && content[i] != '\n') {
            ++i;
        }
        const std::string name(content.substr(nameStart, i - nameStart));
        skipSpace();
        if (name.empty() || i >= content.size() || content[i] != '=') {
            break;
        }
        ++i;
        skipSpace();
        if (i >= content.size() || (content[i] != '"' && content[i] != '\'')) {
            break;
        }
        const size_t close = content.find(content[i], i + 1);
        if (close == std::string_view::npos) {
            break;
        }
        pseudo[name] = DecodeEntities(std::string(content.substr(i + 1, close - i - 1)));
        i = close + 1;
    }
    const std::string href = TrimSpaces(pseudo["href"]);
    const std::string type = ToLower(TrimSpaces(pseudo["type"]));
    if (href.empty() || IEquals(pseudo["alternate"], "yes")) {
        return std::nullopt;
    }
    if (type == "text/xsl" || type == "application/xslt+xml") {
        return href;
    }
    const bool xslName = IEndsWith(href, ".xsl") || IEndsWith(href, ".xslt");
    if (xslName && (type.empty() || type == "text/xml" || type == "application/xml")) {
        return href;
    }
    return std::nullopt;
}

TransformOutcome TransformToHtml(const std::string& xmlPath, const std::string& htmlPath,
                                 const TiffLimits& limits, std::chrono::milliseconds timeLimit) {
    InitLibrariesOnce();
    std::lock_guard<std::mutex> lock(g_mutex);
    Session session;
    ScopedSession scope(&session);

    DocPtr doc = ParseFile(xmlPath);
    if (!doc || !session.refusals.empty()) {
        return Failure("Error loading the XML", xmlPath, session, true);
    }
    const std::optional<std::string> href = StylesheetHref(doc.get());
    if (!href) {
        TransformOutcome out;
        out.kind = TransformOutcome::Kind::NoStylesheet;
        return out;
    }
    const std::string docFolder = FolderOf(xmlPath);
    if ((*href)[0] == '#') {
        return SimpleFailure(
            "Error loading the Transform", xmlPath,
            "stylesheets embedded in the document (" + *href + ") are not supported");
    }
    const std::optional<std::string> local = LocalFilePath(*href);
    if (!local) {
        return SimpleFailure(
            "Error loading the Transform", xmlPath,
            "the stylesheet " + *href + " is not on this computer; it is not fetched");
    }
    std::string stylePath = IStartsWith(*href, "file:") ? *local : PercentDecoded(*local);
    if (stylePath.empty() || stylePath[0] != '/') {
        stylePath = docFolder + stylePath;
    }
    if (!IsRegularFile(stylePath)) {
        return SimpleFailure("Error loading the Transform", stylePath,
                             "the stylesheet is missing or not a readable file");
    }
    for (const std::string& folder : {docFolder, FolderOf(stylePath)}) {
        const std::string canonical = CanonicalPath(folder);
        if (!canonical.empty()) {
            session.readableRoots.push_back(WithTrailingSeparator(canonical));
        }
    }

    session.ClearErrors();
    DocPtr styleDoc = ParseFile(stylePath);
    if (!styleDoc || !session.refusals.empty()) {
        return Failure("Error loading the Transform", stylePath, session, false);
    }
    std::unique_ptr<xsltStylesheet, StyleFree> style(xsltParseStylesheetDoc(styleDoc.get()));
    if (style) {
        styleDoc.release();  // owned by the stylesheet now
    }
    if (!style || style->errors > 0 || !session.refusals.empty()) {
        return Failure("Error loading the Transform", stylePath, session, false);
    }

    session.ClearErrors();
    std::unique_ptr<xsltTransformContext, TransformFree> context(
        xsltNewTransformContext(style.get(), doc.get()));
    if (!context) {
        return SimpleFailure("Error executing the Transform", stylePath, "out of memory");
    }
    xsltSetCtxtSecurityPrefs(g_prefs, context.get());
    // Lets the page link "SEQ ID NO: n" to the sequence listing's page beside it.
    if (const std::string seqPage = SequenceListingPage(xmlPath); !seqPage.empty()) {
        xsltQuoteOneUserParam(context.get(), BAD_CAST "tv-seq-page", BAD_CAST seqPage.c_str());
    }
    Watchdog watchdog(context.get(), timeLimit);
    DocPtr result(
        xsltApplyStylesheetUser(style.get(), doc.get(), nullptr, nullptr, nullptr, context.get()));
    if (watchdog.Finish()) {
        return SimpleFailure("Error executing the Transform", stylePath,
                             "the stylesheet ran longer than " + std::to_string(timeLimit.count()) +
                                 " ms and was stopped");
    }
    if (!result || context->state != XSLT_STATE_OK || !session.refusals.empty()) {
        return Failure("Error executing the Transform", stylePath, session, false);
    }

    TransformOutcome out;
    const RewriteReport drawings = RewriteTiffReferences(result.get(), docFolder, limits);
    out.drawingProblems = drawings.problems;

    std::optional<std::string> text = Serialized(result.get(), style.get());
    if (!text) {
        return SimpleFailure("Error executing the Transform", stylePath,
                             "the result cannot be written out");
    }
    std::string written = htmlPath;
    if (std::string reason = WriteFileReplacing(htmlPath, *text); !reason.empty()) {
        // The document's folder is not writable (a read-only medium, say): the page goes
        // to the temporary folder, and a base element keeps its relative references
        // pointing at the document's folder.
        AddBase(result.get(), docFolder);
        text = Serialized(result.get(), style.get());
        const std::string name = htmlPath.substr(htmlPath.rfind('/') + 1);
        written =
            text ? WriteNewFile(TempFolder(), name.substr(0, name.rfind('.')) + "-", ".html", *text)
                 : "";
        if (written.empty()) {
            return SimpleFailure("Error writing the page", htmlPath, reason);
        }
    }
    out.kind = TransformOutcome::Kind::Written;
    out.htmlPath = written;
    return out;
}

}  // namespace tv::opener
