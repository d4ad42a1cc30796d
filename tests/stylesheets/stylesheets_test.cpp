// Runs each fixture under tests/stylesheets/data through the stylesheets that its
// processing instructions name and checks the resulting page with XPath:
//   <?tv-xsl cals?>          the build's XslShelf/cals.xsl (any other name: data/DTDs/xsl/NAME)
//   <?tv-expect BOOLEAN-XPATH?>  must hold on the page, parsed back as HTML.
// A transformation must also run without a single XSLT message.
#include <gtest/gtest.h>
#include <libexslt/exslt.h>
#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

template <auto F>
struct Free {
    template <class T>
    void operator()(T* p) const {
        F(p);
    }
};
using Doc = std::unique_ptr<xmlDoc, Free<xmlFreeDoc>>;
using Sheet = std::unique_ptr<xsltStylesheet, Free<xsltFreeStylesheet>>;
using Ctxt = std::unique_ptr<xsltTransformContext, Free<xsltFreeTransformContext>>;
using Prefs = std::unique_ptr<xsltSecurityPrefs, Free<xsltFreeSecurityPrefs>>;
using XPathCtxt = std::unique_ptr<xmlXPathContext, Free<xmlXPathFreeContext>>;
using XPathObj = std::unique_ptr<xmlXPathObject, Free<xmlXPathFreeObject>>;

const fs::path kSource = TV_SOURCE_DIR, kCalsXsl = TV_CALS_XSL;
std::string g_messages;

void collect(void*, const char* fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    g_messages += buf;
}

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The page as a browser gets it: serialised by the stylesheet's output method, parsed as HTML.
Doc transform(const fs::path& xsl, xmlDoc* input) {
    g_messages.clear();
    xsltSetGenericErrorFunc(nullptr, collect);
    xmlSetGenericErrorFunc(nullptr, collect);
    Sheet sheet(xsltParseStylesheetFile(reinterpret_cast<const xmlChar*>(xsl.c_str())));
    if (!sheet)
        return nullptr;
    Prefs prefs(xsltNewSecurityPrefs());
    for (auto opt : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                     XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
        xsltSetSecurityPrefs(prefs.get(), opt, xsltSecurityForbid);
    Ctxt ctxt(xsltNewTransformContext(sheet.get(), input));
    xsltSetCtxtSecurityPrefs(prefs.get(), ctxt.get());
    Doc result(xsltApplyStylesheetUser(sheet.get(), input, nullptr, nullptr, nullptr, ctxt.get()));
    if (!result)
        return nullptr;
    xmlChar* text = nullptr;
    int len = 0;
    xsltSaveResultToString(&text, &len, result.get(), sheet.get());
    const std::string html(text ? reinterpret_cast<const char*>(text) : "", text ? len : 0);
    xmlFree(text);
    return Doc(htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                              HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET));
}

bool holds(xmlDoc* page, const std::string& expr) {
    XPathCtxt ctxt(xmlXPathNewContext(page));
    XPathObj obj(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expr.c_str()), ctxt.get()));
    return obj && xmlXPathCastToBoolean(obj.get());
}

std::vector<fs::path> fixtures() {
    std::vector<fs::path> out;
    for (auto& e : fs::recursive_directory_iterator(kSource / "tests/stylesheets/data"))
        if (e.path().extension() == ".xml")
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

class Stylesheets : public testing::TestWithParam<fs::path> {
  protected:
    static void SetUpTestSuite() { exsltRegisterAll(); }
};

TEST_P(Stylesheets, PageHasExpectedStructure) {
    Doc input(xmlReadFile(GetParam().c_str(), nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_DTDATTR));
    ASSERT_TRUE(input) << GetParam();
    Doc page;
    int checks = 0;
    for (xmlNode* n = input->children; n; n = n->next) {
        if (n->type != XML_PI_NODE)
            continue;
        const std::string name = reinterpret_cast<const char*>(n->name);
        const std::string arg = reinterpret_cast<const char*>(n->content);
        if (name == "tv-xsl") {
            page =
                transform(arg == "cals" ? kCalsXsl : kSource / "data/DTDs/xsl" / arg, input.get());
            ASSERT_TRUE(page) << arg << ": " << g_messages;
            EXPECT_EQ(g_messages, "") << arg;
        } else if (name == "tv-expect") {
            ASSERT_TRUE(page) << "tv-expect before tv-xsl";
            EXPECT_TRUE(holds(page.get(), arg)) << arg;
            ++checks;
        }
    }
    EXPECT_GT(checks, 0) << "fixture without expectations";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Stylesheets, testing::ValuesIn(fixtures()),
                         [](const auto& info) {
                             std::string s = info.param.stem().string();
                             for (char& c : s)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return s;
                         });

// The application folder's page stylesheet carries its own copy of the shared table
// templates, written by the build: tables must not render two ways.
TEST(StylesheetsCopy, PageStylesheetHoldsTheSharedTableTemplates) {
    auto block = [](const std::string& s) {
        auto b = s.find("<!-- BEGIN CALS-COMMON -->");
        auto e = s.find("<!-- END CALS-COMMON -->");
        return b == std::string::npos || e == std::string::npos ? "" : s.substr(b, e - b);
    };
    const auto shared = block(readText(kSource / "data/DTDs/xsl/cals-common.xsl"));
    ASSERT_NE(shared, "");
    EXPECT_EQ(block(readText(kCalsXsl)), shared);
}

}  // namespace
