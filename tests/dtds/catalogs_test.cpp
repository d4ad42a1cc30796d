// The catalogs and our XML DTDs for the published vocabularies: every entry resolves to a
// file, published names reach their family's DTD, and a document gets its named
// characters, notations and the MathML namespace from it.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "tools/prep/catalog.h"

namespace {

namespace fs = std::filesystem;
using tv::prep::Catalog;

const fs::path kSource = TV_SOURCE_DIR;
const fs::path kDtds = kSource / "data/DTDs";
const char* const kCatalogs[] = {"TVWcatalog.txt", "TVWcatalog-toc.txt", "TVWcatalog-embed.txt",
                                 "TVWcatalog-embed-toc.txt"};

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Replaced(std::string s, const std::string& from, const std::string& to) {
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

// scripts/make-catalogs writes them; a hand edit of one catalog would make them drift.
TEST(DtdCatalogs, AreTheTemplateWithTheirPageStylesheet) {
    const std::string tpl = ReadText(kSource / "data/catalog-template.txt");
    const struct {
        const char *file, *sheet, *title;
    } variants[] = {
        {"TVWcatalog.txt", "patent.xsl", "plain pages"},
        {"TVWcatalog-toc.txt", "patent-toc.xsl", "pages with a table of contents"},
        {"TVWcatalog-embed.txt", "patent-embed.xsl", "drawings shown in the page"},
        {"TVWcatalog-embed-toc.txt", "patent-embed-toc.xsl",
         "drawings in the page and a table of contents"},
    };
    for (const auto& v : variants) {
        EXPECT_EQ(ReadText(kDtds / v.file),
                  Replaced(Replaced(tpl, "@PATENT_XSL@", v.sheet), "@TITLE@", v.title))
            << v.file << ": run scripts/make-catalogs";
    }
}

TEST(DtdCatalogs, EveryEntryNamesAnExistingFile) {
    const std::regex entry(R"re(^(PUBLIC|SYSTEM|DOCTYPE|STYLESHEET) "?([^"\n]+?)"? "([^"]+)")re");
    for (const char* name : kCatalogs) {
        std::string error;
        const auto cat = Catalog::Load((kDtds / name).string(), &error);
        ASSERT_TRUE(cat) << error;
        std::istringstream lines(ReadText(kDtds / name));
        int entries = 0;
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (!std::regex_search(line, m, entry)) {
                continue;
            }
            ++entries;
            const std::string kind = m[1], id = m[2];
            const auto found = kind == "STYLESHEET" ? cat->Stylesheet(id)
                               : kind == "PUBLIC"   ? cat->ResolveDtd(id, "", "")
                               : kind == "SYSTEM"   ? cat->ResolveDtd("", id, "")
                                                    : cat->ResolveDtd("", "", id);
            EXPECT_TRUE(found && fs::is_regular_file(*found)) << name << ": " << line;
        }
        EXPECT_GT(entries, 80) << name;
    }
}

TEST(DtdCatalogs, PublishedNamesReachTheirFamilysXmlDtd) {
    const struct {
        const char *publicId, *systemId, *doctype, *dtd;
    } cases[] = {
        {"", "us-patent-grant-v40-2004-12-02.dtd", "us-patent-grant", "us-patent-grant-v4.dtd"},
        {"", "us-patent-grant-v47-2022-02-17.dtd", "us-patent-grant", "us-patent-grant-v4.dtd"},
        {"", "us-patent-application-v46-2022-02-17.dtd", "", "us-patent-application-v4.dtd"},
        {"", "us-patent-application-v49-2030-01-01.dtd", "us-patent-application",
         "us-patent-application-v4.dtd"},
        {"", "pap-v16-2002-01-01.dtd", "patent-application-publication", "pap-v1.dtd"},
        {"", "ST32-US-Grant-025xml.dtd", "", "patdoc-v2-5-xml.dtd"},
        {"-//EPO//EP PATENT DOCUMENT 1.7//EN", "ep-patent-document-v1-7.dtd", "ep-patent-document",
         "ep-patent-document-v1.dtd"},
        {"", "wo-patent-document-v1-3.dtd", "wo-patent-document", "wo-patent-document-v1.dtd"},
        {"", "", "jp-official-gazette", "jp-official-gazette-v1.dtd"},
        {"", "", "cn-patent-document", "cn-patent-document-v1.dtd"},
        {"-//WIPO//DTD Sequence Listing 1.2//EN", "ST26SequenceListing_V1_2.dtd",
         "ST26SequenceListing", "ST26SequenceListing_V1_3.dtd"},
        {"", "us-sequence-listing-2004-03-09.dtd", "sequence-cwu", "sequence-cwu.dtd"},
    };
    for (const char* name : kCatalogs) {
        std::string error;
        const auto cat = Catalog::Load((kDtds / name).string(), &error);
        ASSERT_TRUE(cat) << error;
        for (const auto& c : cases) {
            const auto dtd = cat->ResolveDtd(c.publicId, c.systemId, c.doctype);
            EXPECT_EQ(dtd ? fs::path(*dtd).filename().string() : "none", c.dtd)
                << name << ": " << c.systemId << c.doctype;
        }
    }
}

// Parsed as the document opener parses, without a network and with the DTD's defaults.
TEST(DtdCatalogs, DocumentsGetCharactersNotationsAndMathMlFromOurDtds) {
    const char* const families[][2] = {
        {"us-patent-grant", "us-patent-grant-v4.dtd"},
        {"us-patent-application", "us-patent-application-v4.dtd"},
        {"patent-application-publication", "pap-v1.dtd"},
        {"PATDOC", "patdoc-v2-5-xml.dtd"},
        {"ep-patent-document", "ep-patent-document-v1.dtd"},
        {"wo-patent-document", "wo-patent-document-v1.dtd"},
        {"jp-official-gazette", "jp-official-gazette-v1.dtd"},
        {"cn-patent-document", "cn-patent-document-v1.dtd"},
        {"sequence-cwu", "sequence-cwu.dtd"},
    };
    // ISO numeric and publishing, ISO Greek 1 and 3, MathML names, an older ISO spelling.
    const std::string text =
        "&minus;&deg;&ldquo;&mdash;&egr;&THgr;&agr;&alpha;&it;&af;"
        "&CirclePlus;&varnothing;&thetas;&aring;&lsqb;";
    const std::string chars =
        "\u2212\u00B0\u201C\u2014\u03B5\u0398\u03B1\u03B1\u2062\u2061"
        "\u2295\u2205\u03B8\u00E5[";
    for (const auto& [root, dtd] : families) {
        const std::string xml =
            std::string("<?xml version=\"1.0\"?>\n<!DOCTYPE ") + root + " SYSTEM \"" +
            (kDtds / dtd).string() + "\" [\n<!ENTITY d1 SYSTEM \"d1.tif\" NDATA TIF>\n]>\n<" +
            root + "><p>" + text + "</p><maths><math><mi>x</mi></math></maths></" + root + ">";
        std::unique_ptr<xmlDoc, DocFree> doc(
            xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "doc.xml", nullptr,
                          XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR |
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
        ASSERT_TRUE(doc) << dtd;
        const xmlNode* p = xmlDocGetRootElement(doc.get())->children;
        const xmlNode* math = p->next->children;
        xmlChar* got = xmlNodeGetContent(p);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(got)), chars) << dtd;
        xmlFree(got);
        EXPECT_TRUE(math->ns != nullptr &&
                    xmlStrEqual(math->ns->href, BAD_CAST "http://www.w3.org/1998/Math/MathML"))
            << dtd;
        EXPECT_NE(xmlGetDtdNotationDesc(doc->extSubset, BAD_CAST "TIF"), nullptr) << dtd;
    }
}

}  // namespace
