#include "render/transform.h"

#include <filesystem>
#include <optional>

#include "platform/message_box.h"
#include "platform/strings.h"
#include "platform/xml/xml_job.h"

namespace tv::render {
namespace {

ParseErrorInfo InfoOf(const xml::Error& e) {
    return {e.reason, e.line, e.column, e.sourceText};
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

// Runs the table stylesheet; the page in UTF-8, or nullopt with the job's error.
std::optional<std::string> TablePage(xml::Job& job, xmlDoc* doc, xsltStylesheet* style) {
    xml::DocPtr result = job.Transform(style, doc);
    if (!result) {
        return std::nullopt;
    }
    xml::CleanPage(result.get());
    // The page is written as UTF-16 whatever the stylesheet declares; serialize as
    // UTF-8 first (this also makes an HTML page's meta element agree).
    xmlFree(style->encoding);
    style->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    return job.Serialize(result.get(), style);
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
    xml::Limits limits;
    limits.timeLimit = context.timeLimit;
    xml::Job job(limits);
    job.AllowFolderOf(xmlPath);
    xml::DocPtr doc = job.Parse(xmlPath);
    if (!doc) {
        ShowLoadError(context, "", InfoOf(job.error()), kTitleLoadXml);
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
    // Written by replacing, so a link planted at the page's name is never followed.
    if (!xml::WriteFileReplacing(output, {}).Ok()) {
        ShowLoadError(context, "The page could not be written: " + output, {},
                      kTitleExecuteTransform);
        return;
    }
    job.AllowFolderOf(stylesheetPath);
    xml::StylePtr style = job.LoadStylesheet(stylesheetPath);
    if (!style) {
        ShowLoadError(context, "", InfoOf(job.error()), kTitleLoadTransform);
        ShowLoadError(context, "There is no stylesheet to transform with.", {},
                      kTitleExecuteTransform);
    } else if (std::optional<std::string> page = TablePage(job, doc.get(), style.get()); !page) {
        ShowLoadError(context, "", InfoOf(job.error()), kTitleExecuteTransform);
    } else if (!xml::WriteFileReplacing(output, ToUtf16LeWithBom(*page)).Ok()) {
        ShowLoadError(context, "The page could not be written: " + output, {},
                      kTitleExecuteTransform);
        return;
    }
    context.launcher->Launch(context.ie11Path, output, "\"" + outputFolder + "\"");
}

}  // namespace tv::render
