// Document kinds by entry name, the catalog choice and the document number.
#include "render/documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/doc_number.h"
#include "tests/platform/test_env.h"

namespace tv::render {
namespace {

TEST(RenderDocuments, EachNameFallsUnderTheFirstMatchingRule) {
    using K = DocumentKind;
    const std::pair<const char*, K> cases[] = {
        {"US1.tif", K::Other},
        {"README", K::Other},
        {"X.SGM", K::SgmlSource},
        {"US1-fee.xml", K::FeeForm},
        {"US1-ids.xml", K::DisclosureStatement},
        {"a-sgn.xml", K::Assignment},
        {"a-assignment.XML", K::Assignment},
        {"a-pds.xml", K::PdsDocument},
        {"US1-TRAN.XML", K::MainDocument},
        {"TRAN-US1.XML", K::Transmittal},
        {"tran-fee.xml", K::FeeForm},  // the fee rule comes first
        {"a-seqlst.xml", K::SequenceListing},
        {"A-s00001.xml", K::SequenceListing},
        {"a-pkda.xml", K::PackageData},
        {"a-decl.xml", K::Declaration},
        {"a-fees.xml", K::FeeSheet},
        {"a-requ.xml", K::Request},
        {"US0123456-20260101.xml", K::MainDocument},
        {"t.1.xml", K::MainDocument},
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(ClassifyEntry(name), kind) << name;
    }
}

TEST(RenderDocuments, LastEntryOfAKindWinsAndNamesTheFolder) {
    struct Case {
        std::vector<std::string> names;
        std::string mainDoc, base, sgml, seq;
    };
    const Case cases[] = {
        {{"A.xml", "A-s00001.xml", "A-D00001.TIF"}, "A.xml", "A", "", "A-s00001.xml"},
        {{"US1-fee.xml", "US1.xml"}, "US1.xml", "US1", "", ""},
        {{"first.xml", "second.xml"}, "second.xml", "second", "", ""},
        {{"PAT.SGM", "x.tif"}, "PAT.xml", "PAT", "PAT.SGM", ""},
        {{"B-s00001.xml"}, "", "B", "", "B-s00001.xml"},
        {{"s00001.xml"}, "", "", "", "s00001.xml"},
    };
    for (const Case& c : cases) {
        const PackageDocuments docs = ClassifyPackage(c.names);
        EXPECT_EQ(docs.mainDocName, c.mainDoc) << c.names[0];
        EXPECT_EQ(docs.baseName, c.base) << c.names[0];
        EXPECT_EQ(docs.Last(DocumentKind::SgmlSource).name, c.sgml) << c.names[0];
        EXPECT_EQ(docs.Last(DocumentKind::SequenceListing).name, c.seq) << c.names[0];
    }
}

// The two entries extracted first go by extension and suffix, not by kind.
TEST(RenderDocuments, DocumentEntriesGoByExtensionAndSuffix) {
    struct Case {
        std::vector<std::string> names;
        int main, seq;
    };
    const Case cases[] = {
        {{"doc.xml", "doc-s00001.xml", "D00001.tif"}, 1, 2},
        {{"US1.xml", "US1-fee.xml"}, 2, 0},  // a set-aside document still counts
        {{"a.xml", "b.XML", "a.xml+"}, 2, 0},
        {{"A.seqlst.xml", "tran-s00001.XML"}, 1, 2},
        {{"X.SGM", "x-s00001.sgm"}, 2, 0},
        {{"README", "s00001.xml"}, 0, 2},
    };
    for (const Case& c : cases) {
        const PackageDocuments docs = ClassifyPackage(c.names);
        EXPECT_EQ(docs.mainDocEntry, c.main) << c.names[0];
        EXPECT_EQ(docs.seqListEntry, c.seq) << c.names[0];
    }
    const std::vector<std::string> names{"tran-s00001.xml"};
    EXPECT_EQ(ClassifyPackage(names).Last(DocumentKind::Transmittal).entry, 1);
}

TEST(RenderDocuments, CatalogFollowsNavigationAndPlugIn) {
    EXPECT_EQ(ChooseCatalogFileName(1, true), "TVWcatalog-embed-toc.txt");
    EXPECT_EQ(ChooseCatalogFileName(1, false), "TVWcatalog-toc.txt");
    EXPECT_EQ(ChooseCatalogFileName(2, true), "TVWcatalog-embed.txt");
    EXPECT_EQ(ChooseCatalogFileName(0, false), "TVWcatalog.txt");
}

TEST(RenderDocNumber, FirstUnindentedTagLineInTheHead) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<!DOCTYPE x>\r\n<x>\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "<doc-number>0123456</doc-number>\r\n", "0123456"},
        {head + "<DOC-NUMBER>77</DOC-NUMBER>", "77"},
        {"<?xml?>\n<x>\n<doc-number>0123456</doc-number>\n", "0123456"},  // LF only
        {head + "  <doc-number>1</doc-number>\r\n", ""},                  // indented
        {head + "<doc-number>42\r\n", ""},                                // no "/" after it
        {head + "<doc-number>/1\r\n", ""},                                // "/" too early
        {head + "<doc-number></doc-number>\r\n", ""},
        {head + "<doc-number>1</doc-number>\r\n<doc-number>2</doc-number>\r\n", "1"},
        {head + "<x>\r<doc-number>1</doc-number>\r\n", ""},               // a lone CR ends no line
        {std::string(1000, ' ') + "\n<doc-number>9</doc-number>\n", ""},  // beyond 1000
        {std::string(985, ' ') + "\n<doc-number>9</doc-number>\n", ""},   // cut off
        {"", ""},
    };
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(DocNumberFromText(text), number) << text.substr(0, 80);
    }
    test::TempFolder tmp;
    test::WriteFile(tmp / "d.xml", head + "<doc-number>0042</doc-number>\r\n");
    EXPECT_EQ(GetDocNumber(tmp / "d.xml"), "0042");
    EXPECT_EQ(GetDocNumber(tmp / "missing.xml"), "");
    EXPECT_EQ(GetDocNumber(tmp.Path()), "");  // a folder
}

}  // namespace
}  // namespace tv::render
