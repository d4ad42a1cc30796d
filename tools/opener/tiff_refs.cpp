#include "tools/opener/tiff_refs.h"

#include <algorithm>
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

constexpr size_t kMaxProblemLines = 100;

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
    struct Reference {
        xmlNodePtr element;
        xmlAttrPtr attribute;
        bool isImg;
        std::string value;
        size_t item;  // index into items; npos: over the limit
    };
    constexpr size_t kNone = std::string::npos;
    std::vector<Reference> references;
    std::vector<TiffItem> items;
    std::map<std::string, size_t> itemOf;  // by relative path: each TIFF once
    for (xmlNodePtr node = xmlDocGetRootElement(page); node != nullptr;
         node = NextInDocumentOrder(node)) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        const bool isImg = xmlStrcasecmp(node->name, BAD_CAST "img") == 0;
        const bool isLink = xmlStrcasecmp(node->name, BAD_CAST "a") == 0;
        xmlAttrPtr attribute =
            isImg || isLink ? FindAttribute(node, isImg ? "src" : "href") : nullptr;
        if (attribute == nullptr) {
            continue;
        }
        std::string value = AttributeValue(attribute);
        const std::optional<std::string> relative = LocalTiffPath(value);
        if (!relative) {
            continue;
        }
        size_t item = kNone;
        if (references.size() < static_cast<size_t>(std::max(limits.maxReferences, 0))) {
            auto [it, added] = itemOf.emplace(*relative, items.size());
            if (added) {
                const size_t slash = relative->rfind('/') + 1;
                items.push_back(
                    TiffItem{*relative, relative->substr(slash, relative->rfind('.') - slash)});
            }
            item = it->second;
        }
        references.push_back(Reference{node, attribute, isImg, std::move(value), item});
    }

    RewriteReport report;
    size_t failed = 0;
    const std::vector<PngConversion> conversions = ConvertTiffsToPng(pageFolder, items, limits);
    for (size_t i = 0; i < items.size(); ++i) {
        if (conversions[i].Ok()) {
            ++report.converted;
        } else if (++failed <= kMaxProblemLines) {
            report.problems.push_back(items[i].tiff + ": " + conversions[i].status().Description());
        }
    }
    int copiesLeft = limits.maxImageCopies;
    for (const Reference& r : references) {
        const xmlChar* note = BAD_CAST(r.isImg ? "alt" : "title");
        const std::string drawing = r.item == kNone ? r.value : items[r.item].tiff;
        if (r.item == kNone) {
            SetAttribute(r.element, note,
                         "Drawing " + drawing + " is not shown: the page names more than " +
                             std::to_string(limits.maxReferences) + " drawings");
            continue;
        }
        const PngConversion& conversion = conversions[r.item];
        if (!conversion.Ok()) {
            SetAttribute(
                r.element, note,
                "Drawing " + drawing + " cannot be shown: " + conversion.status().Description());
            continue;
        }
        const xmlChar* name = r.attribute->name;
        SetAttribute(r.element, name, PngReference(r.value, 1));
        const size_t pages = r.isImg ? conversion->size() : 1;
        if (pages > 1 && static_cast<size_t>(std::max(copiesLeft, 0)) < pages - 1) {
            SetAttribute(r.element, BAD_CAST "title",
                         "Only the first page of drawing " + drawing +
                             " is shown here: the page has too many images");
            continue;
        }
        xmlNodePtr last = r.element;
        for (size_t p = 2; p <= pages; ++p) {
            xmlNodePtr copy = xmlCopyNode(r.element, 1);
            if (copy == nullptr) {
                break;
            }
            SetAttribute(copy, name, PngReference(r.value, static_cast<int>(p)));
            last = xmlAddNextSibling(last, copy);
            --copiesLeft;
        }
    }
    if (failed > kMaxProblemLines) {
        report.problems.push_back("and " + std::to_string(failed - kMaxProblemLines) +
                                  " further drawings");
    }
    return report;
}

}  // namespace tv::opener
