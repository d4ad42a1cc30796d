#include <libxml/xpath.h>
#include <libxslt/imports.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xsltutils.h>

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/xml/xml_internal.h"

namespace tv::xml {
namespace {

constexpr int kParseOptions =
    XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_NONET | XML_PARSE_NOCDATA;

struct TransformFree {
    void operator()(xsltTransformContextPtr t) const { xsltFreeTransformContext(t); }
};

// Stops a transformation when the job's time is up. libxslt checks its state between
// instructions; the XPath evaluator checks its operation limit at every step, so
// lowering that limit to one ends a single long expression too. These two word-sized
// stores are all this thread does to the context, and it is joined before the context
// is freed.
class Watchdog {
  public:
    Watchdog(xsltTransformContextPtr context, std::chrono::steady_clock::time_point deadline)
        : thread_([this, context, deadline] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!wake_.wait_until(lock, deadline, [this] { return done_; })) {
                  fired_ = true;
                  std::atomic_ref<xsltTransformState>(context->state)
                      .store(XSLT_STATE_STOPPED, std::memory_order_relaxed);
                  if (context->xpathCtxt != nullptr) {
                      std::atomic_ref<unsigned long>(context->xpathCtxt->opLimit)
                          .store(1, std::memory_order_relaxed);
                  }
              }
          }) {}
    ~Watchdog() { Finish(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Ends the watch; true when the time ran out.
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

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

// libxslt's messages locate a failure as "...: file F line N element E"; the rest of
// the text is the reason. The column is where that element starts on its line.
void LocateXsltFailure(Job::State& s, const std::string& fallbackFile) {
    std::string reason;
    std::string file;
    std::string element;
    int line = 0;
    std::size_t start = 0;
    const std::string& text = s.messages;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string row = text.substr(start, end - start);
        start = end + 1;
        const std::size_t f = row.find(": file ");
        const std::size_t l = row.find(" line ", f == std::string::npos ? 0 : f);
        const std::size_t e = row.find(" element ", l == std::string::npos ? 0 : l);
        if (line == 0 && f != std::string::npos && l != std::string::npos &&
            e != std::string::npos) {
            file = row.substr(f + 7, l - f - 7);
            line = std::atoi(row.c_str() + l + 6);
            element = row.substr(e + 9);
        } else if (!row.empty()) {
            reason += (reason.empty() ? "" : "\n") + row;
        }
    }
    if (s.failed && s.error.rule != Rule::None) {
        return;  // a refusal says it better
    }
    s.failed = true;
    s.error.rule = Rule::None;
    s.error.reason = reason.empty() ? "the transformation failed" : reason;
    s.error.file = file.empty() ? fallbackFile : file;
    s.error.line = line;
    s.error.column = 0;
    s.error.sourceText = SourceLine(s, s.error.file, line);
    if (!element.empty()) {
        const std::size_t at = s.error.sourceText.find(":" + element);
        const std::size_t open =
            at == std::string::npos ? std::string::npos : s.error.sourceText.rfind('<', at);
        s.error.column = open == std::string::npos ? 0 : static_cast<int>(open) + 1;
    }
}

// The serialized page, counted against the output limit as it is written.
struct Sink {
    std::string bytes;
    Job::State* state;
    static int Write(void* context, const char* buffer, int length) {
        auto* self = static_cast<Sink*>(context);
        if (self->bytes.size() + static_cast<std::size_t>(length) >
                self->state->limits.maxOutputBytes ||
            self->state->Expired()) {
            return -1;
        }
        self->bytes.append(buffer, static_cast<std::size_t>(length));
        return length;
    }
};

}  // namespace

std::string RuleText(Rule rule) {
    switch (rule) {
        case Rule::None:
            return "";
        case Rule::Network:
            return "no network: documents, DTDs, entities and stylesheets are read from this "
                   "computer only";
        case Rule::OutsideFolders:
            return "only files in the document's folder, the DTD folder and the stylesheet "
                   "folders are read";
        case Rule::NotRegularFile:
            return "only regular files are read, no devices, FIFOs or folders";
        case Rule::ExternalEntity:
            return "external entities in the text are not read";
        case Rule::Compressed:
            return "compressed input is not read";
        case Rule::InputSize:
            return "input size limit";
        case Rule::Depth:
            return "nesting depth limit";
        case Rule::EntityExpansion:
            return "entity expansion limit";
        case Rule::OutputSize:
            return "page size limit";
        case Rule::TimeLimit:
            return "time limit";
        case Rule::Write:
            return "stylesheets may not write files or create folders";
    }
    return "";
}

Job::Job(const Limits& limits) : state_(std::make_unique<State>()) {
    state_->limits = limits;
    state_->deadline = std::chrono::steady_clock::now() + limits.timeLimit;
}

Job::~Job() = default;

void Job::AllowFolder(const std::string& folder) {
    const std::string canonical = Canonical(folder.empty() ? "." : folder);
    if (!canonical.empty()) {
        state_->roots.push_back(canonical == "/" ? canonical : canonical + "/");
    }
}

void Job::AllowFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    AllowFolder(slash == std::string::npos ? "." : path.substr(0, slash + 1));
}

UniqueFd Job::OpenFile(const std::string& path) {
    State& s = *state_;
    s.failed = false;
    s.error = {};
    UniqueFd fd = OpenAllowed(s, path);
    if (!fd.Valid() && !s.failed) {
        s.Fail(Rule::None, std::string(std::strerror(errno)) + ": \"" + path + "\"", path);
    }
    struct stat st {};
    if (fd.Valid() && ::fstat(fd.Get(), &st) == 0) {
        s.bytesRead += static_cast<std::uint64_t>(st.st_size);
    }
    return fd;
}

bool Job::Expired() const {
    return state_->Expired();
}

bool Job::FailIfExpired(const std::string& stage) {
    if (!Expired()) {
        return false;
    }
    state_->failed = false;
    state_->Refuse(Rule::TimeLimit, "the job may run " +
                                        std::to_string(state_->limits.timeLimit.count()) +
                                        " ms; stopped " + stage);
    return true;
}

const Error& Job::error() const {
    return state_->error;
}
const Limits& Job::limits() const {
    return state_->limits;
}

DocPtr Job::Parse(const std::string& path) {
    ActiveJob active(state_.get());
    State& s = *state_;
    s.failed = false;
    s.error = {};
    s.recovered.reset();
    if (FailIfExpired("before reading " + path)) {
        return nullptr;
    }
    DocPtr doc(ParseOwned(s, path, nullptr, kParseOptions));
    if (!doc) {
        if (s.error.file.empty()) {
            s.error.file = path;
        }
        s.error.sourceText = SourceLine(s, s.error.file, s.error.line);
        if (s.error.rule == Rule::TimeLimit) {
            FailIfExpired("while reading " + path);
        }
    }
    return doc;
}

StylePtr Job::LoadStylesheet(const std::string& path) {
    DocPtr doc = Parse(path);
    if (!doc) {
        return nullptr;
    }
    ActiveJob active(state_.get());
    State& s = *state_;
    s.messages.clear();
    StylePtr style(xsltParseStylesheetDoc(doc.get()));
    if (style) {
        (void)doc.release();  // the stylesheet owns it now
    }
    if (!style || style->errors > 0 || s.failed) {
        LocateXsltFailure(s, path);
        return nullptr;
    }
    return style;
}

DocPtr Job::Transform(xsltStylesheet* style, xmlDoc* doc,
                      const std::vector<std::pair<std::string, std::string>>& params) {
    ActiveJob active(state_.get());
    State& s = *state_;
    s.failed = false;
    s.error = {};
    s.messages.clear();
    const std::string styleFile = style && style->doc && style->doc->URL
                                      ? reinterpret_cast<const char*>(style->doc->URL)
                                      : "";
    if (FailIfExpired("before the transformation")) {
        return nullptr;
    }
    std::unique_ptr<xsltTransformContext, TransformFree> context(
        xsltNewTransformContext(style, doc));
    if (!context || xsltSetCtxtSecurityPrefs(JobSecurityPrefs(), context.get()) != 0) {
        s.Fail(Rule::None, "out of memory", styleFile);
        return nullptr;
    }
    context->maxTemplateDepth = s.limits.maxTemplateDepth;
    context->maxTemplateVars = s.limits.maxTemplateVars;
    std::vector<const char*> flat;
    for (const auto& [name, value] : params) {
        flat.push_back(name.c_str());
        flat.push_back(value.c_str());
    }
    flat.push_back(nullptr);
    if (xsltQuoteUserParams(context.get(), flat.data()) != 0) {
        LocateXsltFailure(s, styleFile);
        return nullptr;
    }
    Watchdog watchdog(context.get(), s.deadline);
    DocPtr result(xsltApplyStylesheetUser(style, doc, nullptr, nullptr, nullptr, context.get()));
    if (watchdog.Finish()) {
        FailIfExpired("in the transformation");
        return nullptr;
    }
    if (!result || context->state != XSLT_STATE_OK || s.failed) {
        if (s.error.rule == Rule::None &&
            s.messages.find("infinite template recursion") != std::string::npos) {
            s.Fail(Rule::Depth, RuleText(Rule::Depth) + ": " + Trimmed(s.messages));
        }
        LocateXsltFailure(s, styleFile);
        return nullptr;
    }
    return result;
}

std::optional<std::string> Job::Serialize(xmlDoc* result, xsltStylesheet* style) {
    ActiveJob active(state_.get());
    State& s = *state_;
    s.failed = false;
    s.error = {};
    const xmlChar* encoding = nullptr;
    XSLT_GET_IMPORT_PTR(encoding, style, encoding)
    xmlCharEncodingHandlerPtr encoder = nullptr;
    if (encoding != nullptr) {
        encoder = xmlFindCharEncodingHandler(reinterpret_cast<const char*>(encoding));
        if (encoder != nullptr && xmlStrEqual(BAD_CAST encoder->name, BAD_CAST "UTF-8")) {
            encoder = nullptr;
        }
    }
    Sink sink{{}, &s};
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(Sink::Write, nullptr, &sink, encoder);
    if (out == nullptr) {
        s.Fail(Rule::None, "out of memory");
        return std::nullopt;
    }
    const int written = xsltSaveResultTo(out, result, style);
    const int closed = xmlOutputBufferClose(out);
    if (written < 0 || closed < 0) {
        if (!FailIfExpired("while writing the page")) {
            s.Refuse(Rule::OutputSize,
                     "a page may hold " + std::to_string(s.limits.maxOutputBytes) + " bytes");
        }
        return std::nullopt;
    }
    return std::move(sink.bytes);
}

}  // namespace tv::xml
