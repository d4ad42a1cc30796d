#include "render/transform.h"

#include <libexslt/exslt.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxml/xmlerror.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>

#include "platform/message_box.h"
#include "platform/strings.h"

namespace tv::render {
namespace {

// The failing line's text is shown, not the rest of a huge one-line file.
constexpr std::size_t kMaxSourceText = 1024;
// A local DTD is read for its entity definitions; entities are substituted (the
// external general ones are refused before anything is read, see below).
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_DTDLOAD | XML_PARSE_NOENT;

struct XmlFree {
    void operator()(void* p) const { xmlFree(p); }
};
struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct CtxtFree {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};
struct StyleFree {
    void operator()(xsltStylesheet* s) const { xsltFreeStylesheet(s); }
};
struct TransformCtxtFree {
    void operator()(xsltTransformContext* c) const { xsltFreeTransformContext(c); }
};
struct SecurityFree {
    void operator()(xsltSecurityPrefs* s) const { xsltFreeSecurityPrefs(s); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

std::string TrimTrailingNewlines(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) {
        s.pop_back();
    }
    return s;
}

std::string SourceLine(const std::string& path, long line) {
    if (line <= 0) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (long i = 1; i <= line && std::getline(in, text); ++i) {
    }
    if (!in && !in.eof()) {
        return {};
    }
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    return text.substr(0, kMaxSourceText);
}

// What the parse of one document left behind.
struct ParseState {
    bool failed = false;
    ParseErrorInfo error;
};

// The parse in progress on this thread (libxml2 hands callbacks only the context).
thread_local ParseState* t_parse = nullptr;

void RecordError(void*, xmlError* e) {
    ParseState* state = t_parse;
    if (state == nullptr || e == nullptr || e->level < XML_ERR_ERROR || state->failed) {
        return;  // warnings pass; the first error is the one reported
    }
    state->failed = true;
    state->error.reason = TrimTrailingNewlines(e->message ? e->message : "");
    state->error.line = e->line;
    state->error.column = e->int2;
}

// External general entities would pull a file into the page: refused outright, before
// the default lookup (which would already read the file when substituting).
xmlEntityPtr GetEntityRefusingExternal(void* ctx, const xmlChar* name) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    const xmlEntity* declared = ctxt->myDoc ? xmlGetDocEntity(ctxt->myDoc, name) : nullptr;
    if (declared != nullptr && declared->etype == XML_EXTERNAL_GENERAL_PARSED_ENTITY) {
        ParseState* state = t_parse;
        if (state != nullptr && !state->failed) {
            state->failed = true;
            state->error.reason = std::string("External entity '") +
                                  reinterpret_cast<const char*>(name) + "' refused";
            state->error.line = ctxt->input ? ctxt->input->line : 0;
            state->error.column = ctxt->input ? ctxt->input->col : 0;
        }
        xmlStopParser(ctxt);
        return nullptr;
    }
    return xmlSAX2GetEntity(ctx, name);
}

// DTDs and other external resources: never a device, FIFO or folder, so a name such
// as /dev/stdin can not make the parse hang (the network is already off). Anything else
// goes to the library's own loader, which reports a missing file itself.
xmlExternalEntityLoader g_defaultLoader = nullptr;

xmlParserInputPtr LocalFilesOnly(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    std::string path = url ? url : "";
    if (path.rfind("file://", 0) == 0) {
        std::unique_ptr<char, XmlFree> plain(xmlURIUnescapeString(path.c_str() + 7, 0, nullptr));
        path = plain ? plain.get() : "";
    }
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (!path.empty() && type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular && type != std::filesystem::file_type::none) {
        if (ParseState* state = t_parse; state != nullptr && !state->failed) {
            state->failed = true;
            state->error.reason = "Not a regular file: " + path;
        }
        return nullptr;
    }
    return g_defaultLoader(url, id, ctxt);
}

// Installs LocalFilesOnly for one parse (the loader is process-wide; all parsing runs
// on the one user-interface thread).
class ScopedEntityLoader {
  public:
    ScopedEntityLoader() : previous_(xmlGetExternalEntityLoader()) {
        g_defaultLoader = previous_;
        xmlSetExternalEntityLoader(LocalFilesOnly);
    }
    ~ScopedEntityLoader() { xmlSetExternalEntityLoader(previous_); }
    ScopedEntityLoader(const ScopedEntityLoader&) = delete;
    ScopedEntityLoader& operator=(const ScopedEntityLoader&) = delete;

  private:
    xmlExternalEntityLoader previous_;
};

DocPtr Load(const std::string& path, ParseErrorInfo& error) {
    ParseState state;
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        error.reason = "Out of memory";
        return nullptr;
    }
    ctxt->sax->getEntity = GetEntityRefusingExternal;
    ctxt->sax->serror = RecordError;
    t_parse = &state;
    const ScopedEntityLoader loader;
    DocPtr doc(xmlCtxtReadFile(ctxt.get(), path.c_str(), nullptr, kParseOptions));
    t_parse = nullptr;
    if (doc && !state.failed && ctxt->wellFormed) {
        return doc;
    }
    if (!state.failed) {
        const xmlError* last = xmlCtxtGetLastError(ctxt.get());
        state.error.reason = TrimTrailingNewlines(last && last->message ? last->message : "");
        state.error.line = last ? last->line : 0;
        state.error.column = last ? last->int2 : 0;
    }
    error = state.error;
    error.sourceText = SourceLine(path, error.line);
    return nullptr;
}

// Collects the XSLT layer's messages for one transformation.
struct XsltMessages {
    std::string text;
    static void Append(void* ctx, const char* msg, ...) {
        auto* self = static_cast<XsltMessages*>(ctx);
        char buffer[1024];
        va_list args;
        va_start(args, msg);
        std::vsnprintf(buffer, sizeof buffer, msg, args);
        va_end(args);
        if (self->text.size() < 4096) {
            self->text += buffer;
        }
    }
};

// Routes libxslt's generic messages to a collector for one scope.
class ScopedXsltMessages {
  public:
    explicit ScopedXsltMessages(XsltMessages& m) {
        xsltSetGenericErrorFunc(&m, XsltMessages::Append);
    }
    ~ScopedXsltMessages() { xsltSetGenericErrorFunc(nullptr, nullptr); }
    ScopedXsltMessages(const ScopedXsltMessages&) = delete;
    ScopedXsltMessages& operator=(const ScopedXsltMessages&) = delete;
};

std::unique_ptr<xsltSecurityPrefs, SecurityFree> NoWritesNoNetwork() {
    std::unique_ptr<xsltSecurityPrefs, SecurityFree> sec(xsltNewSecurityPrefs());
    if (sec) {
        for (xsltSecurityOption o : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                     XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK}) {
            xsltSetSecurityPrefs(sec.get(), o, xsltSecurityForbid);
        }
    }
    return sec;
}

// Installs prefs as the defaults (they also guard stylesheet imports) for one scope.
class ScopedDefaultSecurity {
  public:
    explicit ScopedDefaultSecurity(xsltSecurityPrefs* prefs)
        : previous_(xsltGetDefaultSecurityPrefs()) {
        xsltSetDefaultSecurityPrefs(prefs);
    }
    ~ScopedDefaultSecurity() { xsltSetDefaultSecurityPrefs(previous_); }
    ScopedDefaultSecurity(const ScopedDefaultSecurity&) = delete;
    ScopedDefaultSecurity& operator=(const ScopedDefaultSecurity&) = delete;

  private:
    xsltSecurityPrefs* previous_;
};

// The stylesheets use EXSLT (exsl:node-set and friends); the library registers the
// functions process-wide, once.
void RegisterExslt() {
    static std::once_flag once;
    std::call_once(once, [] { exsltRegisterAll(); });
}

// Runs the transformation; the serialized page in UTF-8, or false with a description.
bool Transform(xmlDoc* doc, DocPtr styleDoc, std::string& page, std::string& description) {
    RegisterExslt();
    XsltMessages messages;
    ScopedXsltMessages route(messages);
    auto sec = NoWritesNoNetwork();
    if (!sec) {
        description = "Out of memory";
        return false;
    }
    ScopedDefaultSecurity guard(sec.get());
    std::unique_ptr<xsltStylesheet, StyleFree> style(xsltParseStylesheetDoc(styleDoc.get()));
    if (!style) {
        description =
            TrimTrailingNewlines("The stylesheet is not a valid transformation. " + messages.text);
        return false;
    }
    (void)styleDoc.release();  // the stylesheet owns it now
    std::unique_ptr<xsltTransformContext, TransformCtxtFree> ctxt(
        xsltNewTransformContext(style.get(), doc));
    if (!ctxt || xsltSetCtxtSecurityPrefs(sec.get(), ctxt.get()) != 0) {
        description = "Out of memory";
        return false;
    }
    xsltSetTransformErrorFunc(ctxt.get(), &messages, XsltMessages::Append);
    DocPtr result(xsltApplyStylesheetUser(style.get(), doc, nullptr, nullptr, nullptr, ctxt.get()));
    if (!result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED) {
        description = TrimTrailingNewlines(messages.text.empty() ? "The transformation failed."
                                                                 : messages.text);
        return false;
    }
    // The page is written as UTF-16 whatever the stylesheet declares; serialize as
    // UTF-8 first (this also makes an HTML page's meta element agree).
    xmlFree(style->encoding);
    style->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    xmlChar* bytes = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&bytes, &length, result.get(), style.get()) != 0) {
        description = "The transformation result could not be serialized.";
        return false;
    }
    page.assign(bytes ? reinterpret_cast<const char*>(bytes) : "", bytes ? length : 0);
    xmlFree(bytes);
    return true;
}

std::string RootName(const xmlDoc* doc) {
    const xmlNode* root = xmlDocGetRootElement(doc);
    if (root == nullptr) {
        return {};
    }
    std::string name = reinterpret_cast<const char*>(root->name);
    if (root->ns && root->ns->prefix) {
        name = reinterpret_cast<const char*>(root->ns->prefix) + (":" + name);
    }
    return name;
}

void ShowLoadError(const TransformContext& c, const std::string& description,
                   const ParseErrorInfo& error, const char* title) {
    c.messages->Show(LoadErrorText(description, error), kCritical, title);
}

bool WritePage(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::string LoadErrorText(const std::string& description, const ParseErrorInfo& error) {
    return description + "\r\n" + error.reason + " line: " + std::to_string(error.line) +
           " col: " + std::to_string(error.column) + " text: " + error.sourceText;
}

std::string TransformOutputPath(const std::string& xmlPath, const std::string& outputFolder) {
    const auto slash = xmlPath.rfind('/');
    std::string name = slash == std::string::npos ? xmlPath : xmlPath.substr(slash + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    return outputFolder + "/" + name + ".htm";
}

std::string ToUtf16LeWithBom(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    out.reserve(2 + utf8.size() * 2);
    auto put = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t u = extra == 0   ? c
                     : extra == 1 ? (c & 0x1F)
                     : extra == 2 ? (c & 0x0F)
                                  : (c & 0x07);
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < n;
        for (int k = 1; ok && k <= extra; ++k) {
            ok = (s[i + k] & 0xC0) == 0x80;
            u = (u << 6) | (s[i + k] & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || u < kMin[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
            put(0xFFFD);
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (u >= 0x10000) {
            u -= 0x10000;
            put(0xD800 + (u >> 10));
            put(0xDC00 + (u & 0x3FF));
        } else {
            put(u);
        }
    }
    return out;
}

void TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                      const std::string& outputFolder, const TransformContext& context) {
    auto addRecent = [&] {
        if (context.addRecentFile) {
            context.addRecentFile(xmlPath);
        }
    };
    ParseErrorInfo docError;
    DocPtr doc = Load(xmlPath, docError);
    if (!doc) {
        ShowLoadError(context, "", docError, kTitleLoadXml);
        addRecent();
        return;  // nothing usable to look at
    }
    addRecent();
    if (ToLower(RootName(doc.get())) != "table") {
        context.launcher->Launch(context.ie11Path, xmlPath, "\"\"");
        return;
    }

    // A table file given before any package was rendered has no working folder yet.
    std::error_code ec;
    std::filesystem::create_directories(outputFolder, ec);
    const std::string output = TransformOutputPath(xmlPath, outputFolder);
    if (!WritePage(output, {})) {
        ShowLoadError(context, "The page could not be written: " + output, docError,
                      kTitleExecuteTransform);
        return;
    }
    ParseErrorInfo styleError;
    DocPtr styleDoc = Load(stylesheetPath, styleError);
    if (!styleDoc) {
        ShowLoadError(context, "", styleError, kTitleLoadTransform);
    }
    std::string page;
    std::string description = "There is no stylesheet to transform with.";
    if (!styleDoc || !Transform(doc.get(), std::move(styleDoc), page, description)) {
        ShowLoadError(context, description, docError, kTitleExecuteTransform);
    } else if (!WritePage(output, ToUtf16LeWithBom(page))) {
        ShowLoadError(context, "The page could not be written: " + output, docError,
                      kTitleExecuteTransform);
        return;
    }
    context.launcher->Launch(context.ie11Path, output, "\"" + outputFolder + "\"");
}

}  // namespace tv::render
