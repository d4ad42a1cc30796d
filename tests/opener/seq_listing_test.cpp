#include "tools/opener/seq_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/opener/opener_fixtures.h"
#include "tests/platform/test_env.h"
#include "tools/opener/transform.h"

namespace tv::opener {
namespace {

using tv::test::WriteFile;

const std::string kSt26 = "<?xml version=\"1.0\"?>\n<ST26SequenceListing dtdVersion=\"V1_3\"/>";
const std::string kCwu =
    "<?xml version=\"1.0\"?>\n<!-- listing -->\n<!DOCTYPE sequence-cwu SYSTEM \"s.dtd\" [\n"
    "<!ENTITY x \"a > b\">\n]>\n<sequence-cwu id=\"S1\"><s100/></sequence-cwu>";
const std::string kGrant = "<?xml version=\"1.0\"?>\n<us-patent-grant lang=\"EN\"/>";

TEST(SeqListing, RootElementName) {
    const struct {
        std::string head, root;
    } cases[] = {
        {kCwu, "sequence-cwu"},
        {"\xEF\xBB\xBF<r/>", "r"},
        {"<?pi x?><!-- a > b --><p:ST26SequenceListing xmlns:p=\"u\">", "ST26SequenceListing"},
        {"<?xml version=\"1.0\"?>", ""},
        {"<!DOCTYPE r [ <!ENTITY e \"]>\">", ""},  // cut off inside the internal subset
        {"<ST26SequenceLis", ""},                  // cut off inside the name
        {"text<r/>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RootElementName(c.head), c.root) << c.head;
    }
}

TEST(SeqListing, PageBesideTheDocument) {
    const struct {
        std::vector<std::pair<std::string, std::string>>
            files;  // name, text; d.xml is the document
        std::string page;
    } cases[] = {
        {{{"d.xml", kGrant}, {"list 1#.xml", kSt26}}, "list%201%23.xml.html"},
        {{{"d.xml", kGrant}, {"a.xml", kGrant}, {"b.txt", kCwu}, {"z.XML", kCwu}, {"y.xml", kCwu}},
         "y.xml.html"},
        {{{"d.xml", kGrant}, {"a.xml", "<?xml"}}, ""},
        {{{"d.xml", kSt26}, {"y.xml", kCwu}}, ""},  // a listing links to no other listing
    };
    for (const auto& c : cases) {
        tv::test::TempFolder dir;
        for (const auto& [name, text] : c.files) {
            WriteFile(dir / name, text);
        }
        EXPECT_EQ(SequenceListingPage(dir / "d.xml"), c.page) << c.files.back().first;
    }
}

TEST(SeqListing, OnlyRegularFilesAreRead) {
    tv::test::TempFolder dir;
    WriteFile(dir / "d.xml", kGrant);
    WriteFile(dir / "elsewhere/s.xml", kSt26);
    ASSERT_EQ(mkfifo((dir / "a.xml").c_str(), 0600), 0);  // opening it would block
    std::filesystem::create_directory(dir / "b.xml");
    std::filesystem::create_symlink(dir / "elsewhere/s.xml", dir / "c.xml");
    EXPECT_EQ(SequenceListingPage(dir / "d.xml"), "");
}

TEST(SeqListing, TheTransformGetsThePage) {
    tv::test::TempFolder dir;
    WriteFile(dir / "p.xsl",
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
              "<xsl:param name=\"tv-seq-page\" select=\"'none'\"/><xsl:output method=\"html\"/>"
              "<xsl:template match=\"/\"><p id=\"seq\"><xsl:value-of select=\"$tv-seq-page\"/>"
              "</p></xsl:template></xsl:stylesheet>");
    WriteFile(dir / "d.xml", tv::test::StyledXml("p.xsl", "<r/>"));
    ASSERT_EQ(TransformToHtml(dir / "d.xml", dir / "d.xml.html").kind,
              TransformOutcome::Kind::Written);
    EXPECT_NE(tv::test::ReadAll(dir / "d.xml.html").find(">none<"), std::string::npos);
    WriteFile(dir / "s'1.xml", kCwu);
    ASSERT_EQ(TransformToHtml(dir / "d.xml", dir / "d.xml.html").kind,
              TransformOutcome::Kind::Written);
    EXPECT_NE(tv::test::ReadAll(dir / "d.xml.html").find(">s%271.xml.html<"), std::string::npos);
}

}  // namespace
}  // namespace tv::opener
