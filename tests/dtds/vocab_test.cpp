// The published vocabularies: catalogs, our DTDs, and finding a document's sequence listing.
// The cases are in data/: see the comments there.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/valid.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "tests/opener/opener_fixtures.h"
#include "tests/platform/test_env.h"
#include "tools/opener/seq_listing.h"
#include "tools/opener/transform.h"
#include "tools/prep/catalog.h"

namespace {

namespace fs = std::filesystem;
using tv::test::ReadAll;
const fs::path kSource = TV_SOURCE_DIR, kData = kSource / "tests/dtds/data";

// The '|'-separated cells of a table file's rows, comments left out.
std::vector<std::vector<std::string>> Rows(const fs::path& file) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadAll(file));
    for (std::string line, cell; std::getline(lines, line);) {
        std::istringstream cells(line);
        std::vector<std::string> row;
        while (std::getline(cells, cell, '|')) row.push_back(cell);
        if (row.size() >= 3 && line[0] != '#')
            rows.push_back(row);
    }
    return rows;
}

TEST(Vocab, CatalogsDtdsAndListings) {
    for (const auto& v : Rows(kSource / "data/catalog-variants.txt")) {
        const std::string file = (fs::path(TV_DTD_DIR) / v[0]).string();
        const auto cat = tv::prep::Catalog::Load(file);
        ASSERT_TRUE(cat) << cat.status().Description();
        for (const auto& r : Rows(kData / "published-names.txt")) {
            const auto dtd =
                cat->ResolveDtd(r[0] == "PUBLIC" ? r[1] : "", r[0] == "SYSTEM" ? r[1] : "",
                                r[0] == "DOCTYPE" ? r[1] : "");
            ASSERT_EQ(dtd ? fs::path(*dtd).filename().string() : "", r[2]) << v[0] << ": " << r[1];
            if (r.size() < 4)
                continue;
            std::string xml = ReadAll(kData / "entities.xml");
            xml.replace(xml.find("@DTD@"), 5, *dtd);
            std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> d(
                xmlReadMemory(
                    xml.data(), int(xml.size()), "d.xml", nullptr,
                    XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_NONET),
                xmlFreeDoc);
            ASSERT_TRUE(d) << r[2];
            const xmlNode* p = xmlDocGetRootElement(d.get())->children;
            std::unique_ptr<xmlChar, void (*)(void*)> got(xmlNodeGetContent(p), xmlFree),
                want(xmlNodeGetContent(p->next), xmlFree);
            EXPECT_STREQ((const char*)got.get(), (const char*)want.get()) << r[2];
            EXPECT_STREQ((const char*)p->next->next->children->ns->href,
                         "http://www.w3.org/1998/Math/MathML");
            EXPECT_NE(xmlGetDtdNotationDesc(d->extSubset, BAD_CAST "TIF"), nullptr) << r[2];
        }
    }
    // The sequence listing beside a document, and its page passed to the stylesheet.
    for (const auto& dir : fs::directory_iterator(kData / "listings"))
        EXPECT_EQ(tv::opener::SequenceListingPage(dir.path() / "d.xml"),
                  ReadAll(dir.path() / "page"))
            << dir.path();
    tv::test::TempFolder tmp;
    fs::copy(kData / "transform", tmp.Path(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    ASSERT_EQ(mkfifo((tmp / "a.xml").c_str(), 0600), 0);  // never opened: it would block
    ASSERT_EQ(tv::opener::TransformToHtml(tmp / "d.xml", tmp / "d.xml.html").kind,
              tv::opener::TransformOutcome::Kind::Written);
    EXPECT_NE(ReadAll(tmp / "d.xml.html").find(">s%271.xml.html<"), std::string::npos);
}

}  // namespace
