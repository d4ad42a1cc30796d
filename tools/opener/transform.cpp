#include "tools/opener/transform.h"

#include <libxml/uri.h>

#include <algorithm>
#include <map>
#include <memory>

#include "platform/environment.h"
#include "platform/strings.h"
#include "tools/opener/output_file.h"
#include "tools/opener/seq_listing.h"
#include "tools/opener/tiff_refs.h"

namespace tv::opener {
namespace {

struct XmlCharFree {
    void operator()(void* p) const { xmlFree(p); }
};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string PercentDecoded(const std::string& s) {
    std::unique_ptr<char, XmlCharFree> buf(
        reinterpret_cast<char*>(xmlURIUnescapeString(s.c_str(), 0, nullptr)));
    return buf ? std::string(buf.get()) : s;
}

TransformOutcome Failure(const std::string& stage, const xml::Error& error) {
    TransformOutcome out;
    out.kind = TransformOutcome::Kind::Failed;
    out.error = {stage,
                 error.file,
                 error.line,
                 error.column,
                 error.reason.empty() ? "the libraries gave no reason" : error.reason,
                 error.sourceText,
                 xml::RuleText(error.rule)};
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

// A file URL of an absolute folder path (ending with "/").
std::string FolderUrl(const std::string& folder) {
    return "file://" + PercentEncoded(folder, "/");
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

std::string InstalledDtdFolder() {
    return ExecutableFolder() + "../../share/tessel-viewer/DTDs/";
}

TransformOutcome TransformToHtml(const std::string& xmlPath, const std::string& htmlPath,
                                 const TiffLimits& limits, std::chrono::milliseconds timeLimit,
                                 const std::vector<std::pair<std::string, std::string>>& params) {
    static constexpr const char* kLoadXml = "Error loading the XML";
    static constexpr const char* kLoadTransform = "Error loading the Transform";
    static constexpr const char* kExecute = "Error executing the Transform";
    xml::Limits xmlLimits;
    xmlLimits.timeLimit = timeLimit;
    xml::Job job(xmlLimits);
    // The drawings share the whole job's time: they stop where the job would be stopped.
    TiffLimits drawingLimits = limits;
    drawingLimits.deadline =
        std::min(limits.deadline, std::chrono::steady_clock::now() + timeLimit);
    const std::string docFolder = FolderOf(xmlPath);
    job.AllowFolder(docFolder);
    job.AllowFolder(InstalledDtdFolder());

    xml::DocPtr doc = job.Parse(xmlPath);
    if (!doc) {
        return Failure(kLoadXml, job.error());
    }
    const std::optional<std::string> href = StylesheetHref(doc.get());
    if (!href) {
        TransformOutcome out;
        out.kind = TransformOutcome::Kind::NoStylesheet;
        return out;
    }
    if ((*href)[0] == '#') {
        return SimpleFailure(
            kLoadTransform, xmlPath,
            "stylesheets embedded in the document (" + *href + ") are not supported");
    }
    const std::optional<std::string> local = LocalFilePath(*href);
    if (!local) {
        return SimpleFailure(
            kLoadTransform, xmlPath,
            "the stylesheet " + *href + " is not on this computer; it is not fetched");
    }
    std::string stylePath = IStartsWith(*href, "file:") ? *local : PercentDecoded(*local);
    if (stylePath.empty() || stylePath[0] != '/') {
        stylePath = docFolder + stylePath;
    }
    if (!IsRegularFile(stylePath)) {
        return SimpleFailure(kLoadTransform, stylePath,
                             "the stylesheet is missing or not a readable file");
    }
    job.AllowFolderOf(stylePath);
    xml::StylePtr style = job.LoadStylesheet(stylePath);
    if (!style) {
        return Failure(kLoadTransform, job.error());
    }
    // Lets the page link "SEQ ID NO: n" to the sequence listing's page beside it.
    std::vector<std::pair<std::string, std::string>> allParams = params;
    if (std::string seqPage = SequenceListingPage(xmlPath); !seqPage.empty()) {
        allParams.emplace_back("tv-seq-page", std::move(seqPage));
    }
    xml::DocPtr result = job.Transform(style.get(), doc.get(), allParams);
    if (!result) {
        return Failure(kExecute, job.error());
    }

    TransformOutcome out;
    out.cleaned = xml::CleanPage(result.get());
    const RewriteReport drawings = RewriteTiffReferences(result.get(), docFolder, drawingLimits);
    out.drawingProblems = drawings.problems;
    if (job.FailIfExpired("while converting the drawings")) {
        return Failure(kExecute, job.error());
    }
    std::optional<std::string> text = job.Serialize(result.get(), style.get());
    if (!text) {
        return Failure(kExecute, job.error());
    }
    std::string written = htmlPath;
    if (const Status replaced = WriteFileReplacing(htmlPath, *text); !replaced.Ok()) {
        // The document's folder is not writable (a read-only medium, say): the page goes
        // to the temporary folder, and a base element keeps its relative references
        // pointing at the document's folder.
        AddBase(result.get(), docFolder);
        text = job.Serialize(result.get(), style.get());
        const std::string name = htmlPath.substr(htmlPath.rfind('/') + 1);
        const Result<std::string> temp =
            text ? WriteNewFile(TempFolder(), name.substr(0, name.rfind('.')) + "-", ".html", *text)
                 : Result<std::string>(replaced);
        if (!temp.Ok()) {
            return SimpleFailure("Error writing the page", htmlPath, replaced.Description());
        }
        written = temp.value();
    }
    out.kind = TransformOutcome::Kind::Written;
    out.htmlPath = written;
    return out;
}

}  // namespace tv::opener
