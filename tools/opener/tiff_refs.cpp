#include "tools/opener/tiff_refs.h"

#include <map>
#include <memory>

#include "platform/environment.h"
#include "platform/strings.h"

namespace tv::opener {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> PercentDecode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    if (out.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return out;
}

bool HasTiffEnding(std::string_view s) {
    return IEndsWith(s, ".tif") || IEndsWith(s, ".tiff");
}

struct XmlFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
};

xmlAttrPtr FindAttribute(xmlNodePtr element, const char* name) {
    for (xmlAttrPtr a = element->properties; a != nullptr; a = a->next) {
        if (xmlStrcasecmp(a->name, reinterpret_cast<const xmlChar*>(name)) == 0) {
            return a;
        }
    }
    return nullptr;
}

std::string AttributeValue(xmlAttrPtr attribute) {
    std::unique_ptr<xmlChar, XmlFree> v(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute)));
    return v ? reinterpret_cast<const char*>(v.get()) : "";
}

void SetAttribute(xmlNodePtr element, const xmlChar* name, const std::string& value) {
    xmlSetProp(element, name, reinterpret_cast<const xmlChar*>(value.c_str()));
}

xmlNodePtr NextInDocumentOrder(xmlNodePtr node) {
    if (node->children != nullptr && node->type == XML_ELEMENT_NODE) {
        return node->children;
    }
    while (node != nullptr && node->next == nullptr) {
        node = node->parent;
    }
    return node != nullptr ? node->next : nullptr;
}

}  // namespace

std::optional<std::string> LocalTiffPath(std::string_view reference) {
    const std::string ref = TrimSpaces(reference);
    if (!HasTiffEnding(ref)) {
        return std::nullopt;
    }
    std::optional<std::string> decoded = PercentDecode(ref);
    if (!decoded) {
        return std::nullopt;
    }
    std::string path = ReplaceAll(*decoded, "\\", "/");
    // A ":" before the first "/" is a scheme (http:, file:) or a drive letter.
    if (path.empty() || path[0] == '/' ||
        path.substr(0, path.find('/')).find(':') != std::string::npos) {
        return std::nullopt;
    }
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            return std::nullopt;
        }
        if (!part.empty() && part != ".") {
            result += (result.empty() ? "" : "/") + part;
        }
        start = end + 1;
    }
    if (!HasTiffEnding(result)) {
        return std::nullopt;
    }
    return result;
}

std::string PngReference(std::string_view reference, int page) {
    const std::string ref = TrimSpaces(reference);
    const std::string stem = ref.substr(0, ref.rfind('.'));
    return page <= 1 ? stem + ".png" : stem + "-" + std::to_string(page) + ".png";
}

RewriteReport RewriteTiffReferences(xmlDocPtr page, const std::string& pageFolder,
                                    const TiffLimits& limits) {
    RewriteReport report;
    std::map<std::string, PngConversion> done;  // by relative path: each TIFF once
    const std::string folder = WithTrailingSeparator(pageFolder);
    for (xmlNodePtr node = xmlDocGetRootElement(page); node != nullptr;
         node = NextInDocumentOrder(node)) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        const bool isImg = xmlStrcasecmp(node->name, BAD_CAST "img") == 0;
        const bool isLink = xmlStrcasecmp(node->name, BAD_CAST "a") == 0;
        if (!isImg && !isLink) {
            continue;
        }
        xmlAttrPtr attribute = FindAttribute(node, isImg ? "src" : "href");
        if (attribute == nullptr) {
            continue;
        }
        const std::string reference = AttributeValue(attribute);
        const std::optional<std::string> relative = LocalTiffPath(reference);
        if (!relative) {
            continue;
        }
        auto it = done.find(*relative);
        if (it == done.end()) {
            const std::string tiff = folder + *relative;
            PngConversion conversion =
                ConvertTiffToPng(tiff, tiff.substr(0, tiff.rfind('.')), limits);
            if (conversion.error.empty()) {
                ++report.converted;
            } else {
                report.problems.push_back(*relative + ": " + conversion.error);
            }
            it = done.emplace(*relative, std::move(conversion)).first;
        }
        const PngConversion& conversion = it->second;
        if (!conversion.error.empty()) {
            SetAttribute(node, BAD_CAST(isImg ? "alt" : "title"),
                         "Drawing " + *relative + " cannot be shown: " + conversion.error);
            continue;
        }
        const xmlChar* name = attribute->name;
        SetAttribute(node, name, PngReference(reference, 1));
        xmlNodePtr last = node;
        for (size_t p = 2; isImg && p <= conversion.pngPaths.size(); ++p) {
            xmlNodePtr copy = xmlCopyNode(node, 1);
            if (copy == nullptr) {
                break;
            }
            SetAttribute(copy, name, PngReference(reference, static_cast<int>(p)));
            last = xmlAddNextSibling(last, copy);
        }
        node = last;
    }
    return report;
}

}  // namespace tv::opener
