// The safety net under every stylesheet: whatever a stylesheet copied from a document,
// the page a reader opens runs no code and fetches nothing from elsewhere.
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "platform/strings.h"
#include "platform/xml/xml_job.h"

namespace tv::xml {
namespace {

struct XmlFree {
    void operator()(void* p) const { xmlFree(p); }
};

// Elements that run code, embed other documents or re-point the page's addresses, in any
// namespace (HTML, SVG or MathML copied through).
constexpr std::array kDroppedElements = {"script",           "iframe",  "frame",   "frameset",
                                         "object",           "embed",   "applet",  "base",
                                         "portal",           "set",     "animate", "animatemotion",
                                         "animatetransform", "handler", "listener"};

// Attributes whose value is an address the browser follows or fetches.
constexpr std::array kAddressAttributes = {
    "href",     "src",     "action",   "formaction", "poster", "background", "data",
    "codebase", "cite",    "longdesc", "usemap",     "lowsrc", "dynsrc",     "ping",
    "manifest", "profile", "classid",  "archive",    "code",   "srcset",     "imagesrcset"};

std::string Lower(const xmlChar* name) {
    return name != nullptr ? ToLower(reinterpret_cast<const char*>(name)) : "";
}

template <typename List>
bool In(const List& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// CSS that could load something (url(), @import, image-set(), escapes hiding either).
bool StyleCanLoad(const std::string& css) {
    const std::string lower = ToLower(css);
    for (const char* bad :
         {"url(", "@import", "image(", "image-set(", "expression(", "\\", "behavior", "binding"}) {
        if (lower.find(bad) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// "a.png 1x, b.png 2x": every candidate must be local.
bool SrcsetIsLocal(const std::string& value) {
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        comma = comma == std::string::npos ? value.size() : comma;
        std::string candidate = TrimSpaces(value.substr(start, comma - start));
        candidate = candidate.substr(0, candidate.find_first_of(" \t\r\n"));
        if (!IsLocalReference(candidate)) {
            return false;
        }
        start = comma + 1;
    }
    return true;
}

bool AttributeIsSafe(const std::string& element, xmlAttrPtr attr) {
    const std::string name = Lower(attr->name);
    if (name.rfind("on", 0) == 0) {
        return false;
    }
    std::unique_ptr<xmlChar, XmlFree> raw(xmlNodeListGetString(attr->doc, attr->children, 1));
    const std::string value = raw ? reinterpret_cast<const char*>(raw.get()) : "";
    if (name == "style") {
        return !StyleCanLoad(value);
    }
    if (name == "srcset" || name == "imagesrcset") {
        return SrcsetIsLocal(value);
    }
    if (In(kAddressAttributes, name)) {
        return IsLocalReference(value);
    }
    if (element == "meta" && (name == "http-equiv" || name == "content")) {
        // A refresh or a policy set by the page itself.
        return ToLower(value).find("refresh") == std::string::npos &&
               ToLower(value).find("url") == std::string::npos;
    }
    return true;
}

bool ElementIsDropped(xmlNodePtr node) {
    if (node->type == XML_PI_NODE) {
        return xmlStrcasecmp(node->name, BAD_CAST "xml-stylesheet") == 0;
    }
    if (node->type != XML_ELEMENT_NODE) {
        return false;
    }
    const std::string name = Lower(node->name);
    if (In(kDroppedElements, name)) {
        return true;
    }
    if (name == "style") {
        std::unique_ptr<xmlChar, XmlFree> text(xmlNodeGetContent(node));
        return text && StyleCanLoad(reinterpret_cast<const char*>(text.get()));
    }
    return false;
}

}  // namespace

bool IsLocalReference(std::string_view value) {
    std::string v;
    for (char c : value) {
        if (c != '\t' && c != '\n' && c != '\r') {
            v += c == '\\' ? '/' : c;
        }
    }
    const auto notSpace = [](unsigned char c) { return c > ' '; };
    const auto first = std::find_if(v.begin(), v.end(), notSpace);
    v.erase(v.begin(), first);
    if (v.empty() || v[0] == '#') {
        return true;
    }
    if (v.rfind("//", 0) == 0) {
        return false;
    }
    const std::size_t colon = v.find(':');
    return colon == std::string::npos || colon > v.find_first_of("/?#");
}

Cleaning CleanPage(xmlDoc* page) {
    Cleaning done;
    if (page == nullptr) {
        return done;
    }
    // Iterative walk: a page may nest deeper than the stack allows.
    xmlNodePtr node = page->children;
    while (node != nullptr) {
        if (ElementIsDropped(node)) {
            xmlNodePtr next = node->next;
            xmlNodePtr parent = node->parent;
            xmlUnlinkNode(node);
            xmlFreeNode(node);
            ++done.elements;
            // Continue with the next sibling, or climb until there is one.
            while (next == nullptr && parent != nullptr &&
                   parent != reinterpret_cast<xmlNodePtr>(page)) {
                next = parent->next;
                parent = parent->parent;
            }
            node = next;
            continue;
        }
        if (node->type == XML_ELEMENT_NODE) {
            const std::string element = Lower(node->name);
            for (xmlAttrPtr attr = node->properties; attr != nullptr;) {
                xmlAttrPtr next = attr->next;
                if (!AttributeIsSafe(element, attr)) {
                    xmlRemoveProp(attr);
                    ++done.attributes;
                }
                attr = next;
            }
        }
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node == reinterpret_cast<xmlNodePtr>(page)) {
                node = nullptr;
            }
        }
        if (node != nullptr) {
            node = node->next;
        }
    }
    return done;
}

}  // namespace tv::xml
