// Every read a job makes: the one entity loader, the one document loader and the checks
// they share.
#include <fcntl.h>
#include <libexslt/exslt.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxslt/documents.h>
#include <libxslt/security.h>
#include <libxslt/xsltutils.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/strings.h"
#include "platform/xml/xml_internal.h"

namespace tv::xml {
namespace {

thread_local Job::State* t_state = nullptr;

constexpr std::size_t kMaxMessageBytes = 8192;
constexpr std::size_t kMaxSourceText = 1024;

struct XmlFree {
    void operator()(void* p) const { xmlFree(p); }
};
struct UriFree {
    void operator()(xmlURIPtr u) const { xmlFreeURI(u); }
};
struct CtxtFree {
    void operator()(xmlParserCtxtPtr c) const { xmlFreeParserCtxt(c); }
};

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

std::string PercentDecoded(const std::string& s) {
    std::unique_ptr<char, XmlFree> buf(xmlURIUnescapeString(s.c_str(), 0, nullptr));
    return buf ? std::string(buf.get()) : s;
}

bool HasScheme(const std::string& url) {
    const std::size_t colon = url.find(':');
    const std::size_t slash = url.find('/');
    return colon != std::string::npos && colon > 1 && (slash == std::string::npos || colon < slash);
}

// The descriptor's file as the kernel knows it, "" when that cannot be told.
std::string OpenedPath(int fd) {
    char buf[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n > 0 && static_cast<std::size_t>(n) < sizeof buf ? std::string(buf, n) : "";
}

bool IsCompressed(int fd) {
    unsigned char head[6] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    return (n >= 2 && head[0] == 0x1f && head[1] == 0x8b) || (n >= 6 && std::memcmp(head,
                                                                                    "\xFD"
                                                                                    "7zXZ\0",
                                                                                    6) == 0);
}

// One opened file feeding a parser: counts bytes against the job's limit and ends the
// read once the time is up, so no parse outlives the job.
struct FileReader {
    UniqueFd fd;
    Job::State* state;

    static int Read(void* context, char* buffer, int length) {
        auto* self = static_cast<FileReader*>(context);
        Job::State& s = *self->state;
        if (s.Expired()) {
            s.Refuse(Rule::TimeLimit, "while reading");
            return -1;
        }
        ssize_t n;
        do {
            n = ::read(self->fd.Get(), buffer, static_cast<std::size_t>(length));
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return -1;
        }
        s.bytesRead += static_cast<std::uint64_t>(n);
        if (s.bytesRead > s.limits.maxInputBytes) {
            s.Refuse(Rule::InputSize,
                     "more than " + std::to_string(s.limits.maxInputBytes) + " bytes in all");
            return -1;
        }
        return static_cast<int>(n);
    }
    static int Close(void* context) {
        delete static_cast<FileReader*>(context);
        return 0;
    }
};

bool IsOurs(const Job::State& s, xmlParserCtxtPtr ctxt) {
    return ctxt != nullptr &&
           std::find(s.parsers.begin(), s.parsers.end(), ctxt) != s.parsers.end();
}

xmlParserInputPtr EntityLoader(const char* url, const char*, xmlParserCtxtPtr ctxt) {
    Job::State* s = t_state;
    if (s == nullptr || url == nullptr) {
        return nullptr;  // outside a job nothing is read
    }
    if (!IsOurs(*s, ctxt)) {
        // libxml2 reads an external general entity with a parser of its own making.
        const xmlParserCtxtPtr at = s->parsers.empty() ? nullptr : s->parsers.back();
        const xmlParserInputPtr in = at != nullptr ? at->input : nullptr;
        s->Fail(Rule::ExternalEntity, RuleText(Rule::ExternalEntity) + ": " + url,
                in && in->filename ? in->filename : "", in ? in->line : 0, in ? in->col : 0);
        return nullptr;
    }
    const std::optional<std::string> path = LocalFilePath(url);
    if (!path) {
        s->Refuse(Rule::Network, url);
        return nullptr;
    }
    UniqueFd fd = OpenAllowed(*s, *path);
    if (!fd.Valid()) {
        return nullptr;
    }
    auto* reader = new FileReader{std::move(fd), s};
    xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateIO(
        FileReader::Read, FileReader::Close, reader, XML_CHAR_ENCODING_NONE);
    if (buffer == nullptr) {
        delete reader;
        return nullptr;
    }
    xmlParserInputPtr input = xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE);
    if (input == nullptr) {
        xmlFreeParserInputBuffer(buffer);
        return nullptr;
    }
    input->filename = reinterpret_cast<const char*>(xmlStrdup(BAD_CAST path->c_str()));
    return input;
}

xmlDocPtr DocumentLoader(const xmlChar* uri, xmlDictPtr dict, int options, void*, xsltLoadType) {
    Job::State* s = t_state;
    if (s == nullptr || uri == nullptr) {
        return nullptr;
    }
    const std::optional<std::string> path = LocalFilePath(reinterpret_cast<const char*>(uri));
    if (!path) {
        s->Refuse(Rule::Network, reinterpret_cast<const char*>(uri));
        return nullptr;
    }
    return ParseOwned(*s, *path, dict, options);
}

// The stylesheet's own checks come first, so document('/etc/passwd') fails with the
// rule's name before anything is opened.
int CheckRead(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    Job::State* s = t_state;
    const std::string url = value != nullptr ? value : "";
    if (s == nullptr) {
        return 0;
    }
    const std::optional<std::string> path = LocalFilePath(url);
    if (!path) {
        s->Refuse(Rule::Network, url);
        return 0;
    }
    std::string canonical = Canonical(*path);
    if (canonical.empty()) {
        // Not there: judge by its folder, so a missing file fails as missing.
        const std::size_t slash = path->rfind('/');
        const std::string folder =
            Canonical(slash == std::string::npos ? "." : path->substr(0, slash + 1));
        canonical = folder.empty() ? "" : folder + "/" + path->substr(slash + 1);
    }
    if (canonical.empty() || !s->Inside(canonical)) {
        s->Refuse(Rule::OutsideFolders, url);
        return 0;
    }
    return 1;
}

int DenyWrite(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    if (Job::State* s = t_state) {
        s->Refuse(Rule::Write, value != nullptr ? value : "");
    }
    return 0;
}

int DenyNetwork(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char* value) {
    if (Job::State* s = t_state) {
        s->Refuse(Rule::Network, value != nullptr ? value : "");
    }
    return 0;
}

void OnXsltText(void*, const char* format, ...) {
    Job::State* s = t_state;
    if (s == nullptr || s->messages.size() >= kMaxMessageBytes) {
        return;
    }
    char buf[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    s->messages += buf;
}

Rule RuleOfLibraryError(const xmlError& e) {
    const std::string message = e.message != nullptr ? e.message : "";
    if (e.code == XML_ERR_ENTITY_LOOP || message.find("amplification") != std::string::npos) {
        return Rule::EntityExpansion;
    }
    if (message.find("Excessive depth") != std::string::npos) {
        return Rule::Depth;
    }
    return Rule::None;
}

void OnXmlError(void*, xmlErrorPtr e) {
    Job::State* s = t_state;
    if (s == nullptr || e == nullptr || e->level < XML_ERR_ERROR) {
        return;
    }
    if (e->domain == XML_FROM_XPATH) {
        // The XSLT layer reports where; keep the expression and its failing position.
        if (s->messages.size() < kMaxMessageBytes) {
            s->messages += Trimmed(e->message ? e->message : "") + "\n";
            if (e->str1 != nullptr) {
                s->messages += std::string(e->str1) + "\n" + std::string(e->int1, ' ') + "^\n";
            }
        }
        return;
    }
    const std::string message = Trimmed(e->message != nullptr ? e->message : "");
    const std::string file = e->file != nullptr ? e->file : "";
    if (e->level == XML_ERR_FATAL) {
        s->Fail(RuleOfLibraryError(*e), message, file, e->line, e->int2);
    } else if (!s->recovered) {
        s->recovered = Error{RuleOfLibraryError(*e), file, e->line, e->int2, message, ""};
    }
}

xsltSecurityPrefsPtr g_prefs = nullptr;

}  // namespace

void Job::State::Fail(Rule rule, const std::string& reason, const std::string& file, int line,
                      int column) {
    if (failed && !(rule != Rule::None && error.rule == Rule::None)) {
        return;
    }
    failed = true;
    error.rule = rule;
    error.reason = reason;
    if (!file.empty() || line > 0) {
        error.file = file;
        error.line = line;
        error.column = column;
    }
}

void Job::State::Refuse(Rule rule, const std::string& what) {
    Fail(rule, RuleText(rule) + (what.empty() ? "" : ": " + what));
}

bool Job::State::Inside(const std::string& canonical) const {
    return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
        return canonical.compare(0, root.size(), root) == 0;
    });
}

Job::State* ActiveState() {
    return t_state;
}

ActiveJob::ActiveJob(Job::State* state) : previous_(t_state) {
    InstallLoadersOnce();
    t_state = state;
    // Both are this thread's own in libxml2.
    xmlSetStructuredErrorFunc(nullptr, OnXmlError);
    xmlSetGenericErrorFunc(nullptr, OnXsltText);
}

ActiveJob::~ActiveJob() {
    t_state = previous_;
    if (previous_ == nullptr) {
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xmlSetStructuredErrorFunc(nullptr, nullptr);
    }
}

std::optional<std::string> LocalFilePath(const std::string& url) {
    if (!HasScheme(url)) {
        // libxml2 and libxslt resolve references as URIs, so a folder with a space may
        // arrive as "%20": decode unless the text names a file as it is.
        struct stat st {};
        return url.find('%') == std::string::npos || ::stat(url.c_str(), &st) == 0
                   ? url
                   : PercentDecoded(url);
    }
    if (!IStartsWith(url, "file:")) {
        return std::nullopt;
    }
    std::unique_ptr<xmlURI, UriFree> uri(xmlParseURI(url.c_str()));
    if (!uri || uri->path == nullptr ||
        (uri->server != nullptr && uri->server[0] != 0 && !IEquals(uri->server, "localhost"))) {
        return std::nullopt;
    }
    return std::string(uri->path);
}

std::string Canonical(const std::string& path) {
    std::unique_ptr<char, decltype(&::free)> resolved(::realpath(path.c_str(), nullptr), &::free);
    return resolved ? std::string(resolved.get()) : "";
}

UniqueFd OpenAllowed(Job::State& s, const std::string& path) {
    const std::string canonical = Canonical(path);
    if (canonical.empty()) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            s.Refuse(Rule::NotRegularFile, path);
        }
        return {};  // missing: the parser reports it
    }
    if (!s.Inside(canonical)) {
        s.Refuse(Rule::OutsideFolders, path);
        return {};
    }
    // Non-blocking, so that opening a FIFO cannot wait for a writer.
    UniqueFd fd(
        ::open(canonical.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        s.Refuse(Rule::NotRegularFile, path);
        return {};
    }
    // A folder on the way may have been swapped for a link since it was resolved: the
    // file actually opened is what counts.
    if (const std::string opened = OpenedPath(fd.Get()); !opened.empty() && !s.Inside(opened)) {
        s.Refuse(Rule::OutsideFolders, path);
        return {};
    }
    if (IsCompressed(fd.Get())) {
        s.Refuse(Rule::Compressed, path);
        return {};
    }
    if (s.bytesRead + static_cast<std::uint64_t>(st.st_size) > s.limits.maxInputBytes) {
        s.Refuse(Rule::InputSize, path);
        return {};
    }
    ::fcntl(fd.Get(), F_SETFL, 0);
    return fd;
}

void InstallLoadersOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        exsltRegisterAll();
        xmlSetExternalEntityLoader(EntityLoader);
        xsltSetLoaderFunc(DocumentLoader);
        xsltSetGenericErrorFunc(nullptr, OnXsltText);
        g_prefs = xsltNewSecurityPrefs();
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_READ_FILE, CheckRead);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_WRITE_FILE, DenyWrite);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_CREATE_DIRECTORY, DenyWrite);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_READ_NETWORK, DenyNetwork);
        xsltSetSecurityPrefs(g_prefs, XSLT_SECPREF_WRITE_NETWORK, DenyNetwork);
        // Imports are checked against the default preferences, document() and output
        // against the transformation's; both are these.
        xsltSetDefaultSecurityPrefs(g_prefs);
    });
}

xsltSecurityPrefsPtr JobSecurityPrefs() {
    InstallLoadersOnce();
    return g_prefs;
}

xmlDocPtr ParseOwned(Job::State& s, const std::string& path, xmlDictPtr dict, int options) {
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        s.Fail(Rule::None, "out of memory", path);
        return nullptr;
    }
    if (dict != nullptr) {
        xmlDictFree(ctxt->dict);
        ctxt->dict = dict;
        xmlDictReference(dict);
    }
    s.parsers.push_back(ctxt.get());
    DocPtr doc(xmlCtxtReadFile(ctxt.get(), path.c_str(), nullptr,
                               (options | XML_PARSE_NONET) & ~XML_PARSE_HUGE));
    s.parsers.pop_back();
    if (doc && (!ctxt->wellFormed || s.failed)) {
        doc.reset();
    }
    if (!doc && !s.failed && s.recovered) {
        s.Fail(s.recovered->rule, s.recovered->reason, s.recovered->file, s.recovered->line,
               s.recovered->column);
    }
    if (!doc && !s.failed) {
        // The loader says nothing about a file that is not there.
        struct stat st {};
        const int error = ::stat(path.c_str(), &st) == 0 ? EIO : errno;
        s.Fail(Rule::None, std::string(std::strerror(error)) + ": \"" + path + "\"", path);
    }
    return doc.release();
}

std::string SourceLine(Job::State& s, const std::string& path, int line) {
    if (line <= 0) {
        return "";
    }
    const Error kept = s.error;
    const bool keptFailed = s.failed;
    UniqueFd fd = OpenAllowed(s, path);
    s.error = kept;  // a refusal here is not the job's failure
    s.failed = keptFailed;
    if (!fd.Valid()) {
        return "";
    }
    std::string text;
    int current = 1;
    char buf[65536];
    for (ssize_t n; current <= line && (n = ::read(fd.Get(), buf, sizeof buf)) > 0;) {
        for (ssize_t i = 0; i < n && current <= line; ++i) {
            if (buf[i] == '\n') {
                ++current;
            } else if (current == line && text.size() < kMaxSourceText) {
                text += buf[i];
            }
        }
    }
    return Trimmed(text);
}

}  // namespace tv::xml
