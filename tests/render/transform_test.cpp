// Loose XML files: table files transformed into UTF-16 pages, others opened directly,
// load errors reported, hostile files refused.
#include "render/transform.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/message_box.h"
#include "tests/platform/test_env.h"
#include "tests/render/fakes.h"

namespace tv::render {
namespace {

namespace test = tv::test;

namespace sfs = std::filesystem;
using fake::Launch;
using fake::Message;

std::string Stylesheet(const std::string& body) {
    return R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">)"
           R"(<xsl:output method="html" encoding="ISO-8859-1"/><xsl:template match="/">)" +
           body + "</xsl:template></xsl:stylesheet>";
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TransformTest : public ::testing::Test {
  protected:
    void Run(const std::string& xml, const std::string& xsl = "") {
        TransformXmlFile(xml, xsl.empty() ? xsl_ : xsl, out_, context_);
    }
    test::TempFolder tmp_;
    const std::string out_ = tmp_ / "Documents/MyTessel";  // missing: it is created
    const std::string xsl_ = tmp_ / "cals.xsl";
    fake::Recorder rec_;
    std::vector<std::string> recent_;
    TransformContext context_{"/opt/open", &rec_, &rec_,
                              [this](const std::string& p) { recent_.push_back(p); }};
};

TEST_F(TransformTest, TableFileBecomesAUtf16PageThatASecondRunReplaces) {
    const std::string xml = tmp_ / "in/t.1.xml";
    // The entity comes from a DTD beside the file.
    test::WriteFile(tmp_ / "in/cals.dtd", "<!ENTITY uuml \"&#252;\">");
    test::WriteFile(xml,
                    "<!DOCTYPE TABLE SYSTEM \"cals.dtd\">\n"
                    "<TABLE><tgroup><entry>Z&uuml;rich \xF0\x9F\x98\x80</entry></tgroup></TABLE>");
    test::WriteFile(xsl_, Stylesheet("<p><xsl:value-of select=\"//entry\"/></p>"));
    Run(xml);
    const std::string page = out_ + "/t.1.htm";
    const std::string bytes = ReadAll(page);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find(std::string("Z\0\xFC\0r\0i\0c\0h\0 \0\x3D\xD8\x00\xDE", 18)),
              std::string::npos);
    EXPECT_EQ(bytes.find("ISO-8859-1"), std::string::npos);  // the meta says what the bytes are

    test::WriteFile(xsl_, Stylesheet("<p>second</p>"));
    Run(xml);
    EXPECT_EQ(ReadAll(page).find(std::string("Z\0", 2)), std::string::npos);
    EXPECT_NE(ReadAll(page).find(std::string("s\0e\0c\0o\0n\0d\0", 12)), std::string::npos);
    const Launch launch{"/opt/open", page, "\"" + out_ + "\""};
    EXPECT_EQ(rec_.launches, (std::vector<Launch>{launch, launch}));
    EXPECT_EQ(recent_, (std::vector<std::string>{xml, xml}));
    EXPECT_TRUE(rec_.messages.empty());
}

// The shipped stylesheet needs the EXSLT functions (exsl:node-set).
TEST_F(TransformTest, ShippedStylesheetTurnsACalsTableIntoAnHtmlTable) {
    const std::string xml = tmp_ / "t.xml";
    test::WriteFile(xml,
                    "<table><tgroup cols=\"2\"><colspec colname=\"c1\"/><colspec colname=\"c2\"/>"
                    "<thead><row><entry>Head</entry><entry>Col</entry></row></thead>"
                    "<tbody><row><entry namest=\"c1\" nameend=\"c2\">Wide</entry></row>"
                    "</tbody></tgroup></table>");
    Run(xml, TESSEL_CALS_XSL);
    EXPECT_TRUE(rec_.messages.empty()) << (rec_.messages.empty() ? "" : rec_.messages[0].text);
    const std::string page = ReadAll(out_ + "/t.htm");
    for (const char* text : {"<table", "Wide", "colspan"}) {
        std::string wide;
        for (const char* c = text; *c != 0; ++c) {
            wide += *c;
            wide += '\0';
        }
        EXPECT_NE(page.find(wide), std::string::npos) << text;
    }
}

TEST_F(TransformTest, OtherRootsOpenDirectly) {
    const std::string xml = tmp_ / "g.xml";
    test::WriteFile(xml, "<tgroup cols='1'/>");
    Run(xml);
    EXPECT_EQ(rec_.launches, (std::vector<Launch>{{"/opt/open", xml, "\"\""}}));
    EXPECT_FALSE(sfs::exists(out_ + "/g.htm"));
    EXPECT_EQ(recent_, std::vector<std::string>{xml});
}

TEST_F(TransformTest, MissingStylesheetGivesBothMessagesAndTheEmptyPage) {
    const std::string xml = tmp_ / "t.xml";
    test::WriteFile(xml, "<table/>");
    Run(xml, tmp_ / "none.xsl");
    ASSERT_EQ(rec_.messages.size(), 2u);
    EXPECT_EQ(rec_.messages[0].title, kTitleLoadTransform);
    EXPECT_EQ(rec_.messages[1].title, kTitleExecuteTransform);
    EXPECT_EQ(rec_.messages[0].style, kCritical);
    EXPECT_EQ(rec_.messages[0].text.substr(0, 2), "\r\n");
    EXPECT_EQ(ReadAll(out_ + "/t.htm"), "");
    EXPECT_EQ(rec_.launches,
              (std::vector<Launch>{{"/opt/open", out_ + "/t.htm", "\"" + out_ + "\""}}));
}

TEST_F(TransformTest, UnloadableFilesEndAfterTheMessage) {
    const std::string laughs =
        "<!DOCTYPE t [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
        "]>\n<table>&g;</table>";
    test::WriteFile(tmp_ / "secret.txt", "SECRET");
    test::TempFolder outside;
    test::WriteFile(outside / "secret.txt", "<!ENTITY leak \"SECRET\">");
    std::filesystem::create_symlink(outside / "secret.txt", tmp_ / "link.ent");
    ASSERT_EQ(mkfifo((tmp_ / "pipe").c_str(), 0600), 0);  // reading it would never end
    const std::string gzipped(
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\x29\x49\x4c\xca\x49"
        "\xd5\xb7\x03\x00\x07\xf1\xac\x63\x08\x00\x00\x00",
        28);
    const std::string outsideRule = "only files in the document's folder";
    struct Case {
        std::string name, content, expected;
    };
    const Case cases[] = {
        {"bad.xml", "<table>\n  <row></table>\n",
         "Opening and ending tag mismatch: row line 2 and table line: 2 col: 16 text:   "
         "<row></table>"},
        {"ent.xml", "<!DOCTYPE table [<!ENTITY x SYSTEM \"secret.txt\">]>\n<table>&x;</table>",
         "external entities in the text are not read: " + tmp_ / "secret.txt" +
             " line: 2 col: 11 text: <table>&x;</table>"},
        {"laughs.xml", laughs, "Detected an entity reference loop line: 1 col: "},
        {"fifo.xml", "<!DOCTYPE table SYSTEM \"pipe\">\n<table/>", "no devices, FIFOs"},
        {"fifo-url.xml",
         "<!DOCTYPE table SYSTEM \"file://localhost" + tmp_ / "pipe" + "\">\n<table/>",
         "no devices, FIFOs"},
        {"stdin.xml", "<!DOCTYPE table SYSTEM \"file://localhost/dev/stdin\">\n<table/>",
         outsideRule},
        {"pe.xml",
         "<!DOCTYPE table [<!ENTITY % s SYSTEM \"" + outside / "secret.txt" +
             "\"> %s;]>\n<table>&leak;</table>",
         outsideRule},
        {"pe-link.xml",
         "<!DOCTYPE table [<!ENTITY % s SYSTEM \"link.ent\"> %s;]>\n<table>&leak;</table>",
         outsideRule},
        {"gz.xml", gzipped, "compressed input is not read"},
        {"missing.xml", "", "missing.xml\" line: 0 col: 0 text: "},
    };
    for (const Case& c : cases) {
        rec_ = {};
        const std::string xml = tmp_ / c.name;
        if (!c.content.empty()) {
            test::WriteFile(xml, c.content);
        }
        const auto start = std::chrono::steady_clock::now();
        Run(xml);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.name;
        ASSERT_EQ(rec_.messages.size(), 1u) << c.name;
        const Message& m = rec_.messages[0];
        EXPECT_EQ(m.title, kTitleLoadXml);
        EXPECT_EQ(m.style, kCritical);
        EXPECT_EQ(m.text.substr(0, 2), "\r\n") << c.name;
        EXPECT_NE(m.text.find(c.expected), std::string::npos) << m.text;
        EXPECT_EQ(m.text.find("SECRET"), std::string::npos) << m.text;
        EXPECT_TRUE(rec_.launches.empty()) << c.name;
        EXPECT_EQ(recent_.back(), xml);
    }
    EXPECT_FALSE(sfs::exists(out_));
}

TEST_F(TransformTest, StylesheetMayNeitherWriteNorReachTheNetwork) {
    const std::string xml = tmp_ / "t.xml";
    test::WriteFile(xml, "<table/>");
    const std::string written = tmp_ / "written.txt";
    for (const std::string& body :
         {"<xsl:document href=\"" + written + "\" method=\"text\">x</xsl:document>",
          std::string("<xsl:copy-of select=\"document('http://127.0.0.1:9/x')\"/>")}) {
        rec_ = {};
        test::WriteFile(xsl_, Stylesheet("<p>" + body + "</p>"));
        Run(xml);
        ASSERT_EQ(rec_.messages.size(), 1u) << body;
        EXPECT_EQ(rec_.messages[0].title, kTitleExecuteTransform);
        EXPECT_EQ(rec_.launches.size(), 1u);
    }
    EXPECT_FALSE(sfs::exists(written));
}

// A runtime error names the failing instruction's place; a single long XPath expression
// ends at the time limit; a link planted at the page's name is replaced, not followed.
TEST_F(TransformTest, RuntimeErrorsTimeLimitAndPlantedLink) {
    const std::string xml = tmp_ / "t.xml";
    std::string elements = "<table>";
    for (int i = 0; i < 3000; ++i) {
        elements += "<e/>";
    }
    test::WriteFile(xml, elements + "</table>");
    test::WriteFile(tmp_ / "victim", "keep");
    sfs::create_directories(out_);
    sfs::create_symlink(tmp_ / "victim", out_ + "/t.htm");
    const struct {
        std::string body;
        std::string expected;
    } cases[] = {
        {"\n<p>\n  <xsl:value-of select=\"count(1)\"/></p>",
         "Invalid type\nXPath evaluation returned no result. line: 3 col: 3 text:   "
         "<xsl:value-of select=\"count(1)\"/>"},
        {"<xsl:value-of select=\"count(//*[count(//*[count(//*) > 0]) > 0])\"/>", "time limit"},
    };
    context_.timeLimit = std::chrono::milliseconds(500);
    for (const auto& c : cases) {
        rec_ = {};
        test::WriteFile(xsl_, Stylesheet(c.body));
        const auto start = std::chrono::steady_clock::now();
        Run(xml);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << c.body;
        ASSERT_EQ(rec_.messages.size(), 1u) << c.body;
        EXPECT_EQ(rec_.messages[0].title, kTitleExecuteTransform);
        EXPECT_NE(rec_.messages[0].text.find(c.expected), std::string::npos)
            << rec_.messages[0].text;
    }
    EXPECT_EQ(ReadAll(tmp_ / "victim"), "keep");
    EXPECT_FALSE(sfs::is_symlink(out_ + "/t.htm"));
}

}  // namespace
}  // namespace tv::render
