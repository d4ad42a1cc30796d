// The page check and the drawing references on arbitrary markup. Checks their promises:
// after CleanPage no element runs code and no address attribute leaves the page's
// folder; a drawing reference never names a file outside the page's folder.
#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/strings.h"
#include "platform/xml/xml_job.h"
#include "tools/opener/tiff_refs.h"

namespace {

using tv::fuzz::Check;

void CheckClean(xmlNodePtr node) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        const std::string name = tv::ToLower(reinterpret_cast<const char*>(node->name));
        Check(name != "script" && name != "iframe" && name != "object" && name != "embed" &&
              name != "base");
        for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) {
            const std::string attr = tv::ToLower(reinterpret_cast<const char*>(a->name));
            Check(attr.rfind("on", 0) != 0);
            if (attr == "href" || attr == "src" || attr == "action") {
                std::unique_ptr<xmlChar, decltype(xmlFree)> value(
                    xmlNodeListGetString(node->doc, a->children, 1), xmlFree);
                Check(tv::xml::IsLocalReference(value ? reinterpret_cast<char*>(value.get()) : ""));
            }
        }
        CheckClean(node->children);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto path = tv::opener::LocalTiffPath(text)) {
        Check(!path->empty() && (*path)[0] != '/');
        for (std::size_t start = 0; start <= path->size();) {
            const std::size_t end = std::min(path->find('/', start), path->size());
            Check(path->compare(start, end - start, "..") != 0);
            start = end + 1;
        }
    }
    if (tv::xml::IsLocalReference(text)) {
        std::string plain;
        for (char c : text) {
            if (c != '\t' && c != '\n' && c != '\r') {
                plain += c == '\\' ? '/' : c;
            }
        }
        const auto start = plain.find_first_not_of(
            std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x0b\x0c\x0e\x0f\x10\x11\x12\x13\x14\x15"
                        "\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f ",
                        29) +
            std::string(1, '\0'));
        plain = start == std::string::npos ? "" : plain.substr(start);
        Check(plain.rfind("//", 0) != 0);
    }

    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> page(
        htmlReadMemory(text.data(), static_cast<int>(text.size()), "page.html", nullptr,
                       HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING),
        xmlFreeDoc);
    if (page) {
        tv::xml::CleanPage(page.get());
        CheckClean(page->children);
    }
    return 0;
}
