#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "platform/process/start_detached.h"
#include "platform/strings.h"
#include "tests/opener/opener_fixtures.h"
#include "tests/platform/test_env.h"
#include "tools/opener/error_page.h"
#include "tools/opener/opener.h"
#include "tools/opener/output_file.h"
#include "tools/opener/tiff_png.h"
#include "tools/opener/tiff_refs.h"
#include "tools/opener/transform.h"

namespace tv::opener {
namespace {

using tv::test::ReadAll;
using tv::test::StyledXml;
using tv::test::WriteFile;
using tv::test::XslWrap;
using Kind = TransformOutcome::Kind;

TEST(OpenerRules, StylesheetInstructions) {
    const struct {
        const char* content;
        const char* href;  // nullptr: no XSLT stylesheet
    } cases[] = {
        {R"(type="text/xsl" href="file:///a/p%20q.xsl")", "file:///a/p%20q.xsl"},
        {R"(href='x.xsl'   type='application/xslt+xml')", "x.xsl"},
        {R"(href="view.XSLT")", "view.XSLT"},
        {R"(type="text/xml" href="x.xsl")", "x.xsl"},
        {R"(type="text/css" href="x.css")", nullptr},
        {R"(type="text/css" href="odd.xsl")", nullptr},
        {R"(type="text/xsl" href="x.xsl" alternate="yes")", nullptr},
        {R"(type="text/xsl")", nullptr},
        {R"(type="text/xsl" href="a&amp;b.xsl")", "a&b.xsl"},
        {R"(type="text/xsl" href="unterminated)", nullptr},
    };
    for (const auto& c : cases) {
        const auto href = XsltHrefFromInstruction(c.content);
        EXPECT_EQ(href.value_or("<none>"), c.href ? c.href : "<none>") << c.content;
    }
}

TEST(OpenerRules, TiffReferences) {
    const struct {
        const char* reference;
        const char* path;  // nullptr: left alone
        const char* png2;  // PngReference for page 2
    } cases[] = {
        {"US0123456-D00001.TIF", "US0123456-D00001.TIF", "US0123456-D00001-2.png"},
        {"draw/fig%201.tiff", "draw/fig 1.tiff", "draw/fig%201-2.png"},
        {"./sub\\f.Tif", "sub/f.Tif", "./sub\\f-2.png"},
        {"../outside.tif", nullptr, nullptr},
        {"a/../../b.tif", nullptr, nullptr},
        {"/etc/x.tif", nullptr, nullptr},
        {"C:\\x.tif", nullptr, nullptr},
        {"http://host/x.tif", nullptr, nullptr},
        {"file:///tmp/x.tif", nullptr, nullptr},
        {"x.png", nullptr, nullptr},
        {"%2e%2e/x.tif", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto path = LocalTiffPath(c.reference);
        EXPECT_EQ(path.value_or("<none>"), c.path ? c.path : "<none>") << c.reference;
        if (c.png2 != nullptr) {
            EXPECT_EQ(PngReference(c.reference, 2), c.png2);
        }
    }
    EXPECT_EQ(PngReference("a.TIFF", 1), "a.png");
}

TEST(OpenerRules, WebAddresses) {
    for (const char* address : {"http://x.org/a?b=c", "https://x", "ftp://h/f", "mailto:a@b.c"}) {
        EXPECT_TRUE(IsWebAddress(address)) << address;
    }
    for (const char* file :
         {"/tmp/a.xml", "C:\\a.xml", "file:///tmp/a.xml", "a:b.xml", "rel.xml"}) {
        EXPECT_FALSE(IsWebAddress(file)) << file;
    }
}

TEST(OpenerTiff, GroupFourPagesBecomePngs) {
    tv::test::TempFolder dir;
    ASSERT_TRUE(tv::test::MakeG4Tiff(dir / "one.tif", 300, 200));
    ASSERT_TRUE(tv::test::MakeG4Tiff(dir / "three.tif", 64, 48, 3));
    PngConversion one = ConvertTiffToPng(dir / "one.tif", dir / "one");
    ASSERT_TRUE(one.Ok()) << one.status().Description();
    ASSERT_EQ(*one, std::vector<std::string>{dir / "one.png"});
    const auto header = tv::test::ReadPngHeader(dir / "one.png");
    EXPECT_TRUE(header.signature);
    EXPECT_EQ(header.width, 300u);
    EXPECT_EQ(header.height, 200u);

    PngConversion three = ConvertTiffToPng(dir / "three.tif", dir / "three");
    ASSERT_TRUE(three.Ok()) << three.status().Description();
    EXPECT_EQ(*three, (std::vector<std::string>{dir / "three.png", dir / "three-2.png",
                                                dir / "three-3.png"}));
    EXPECT_EQ(tv::test::ReadPngHeader(dir / "three-3.png").height, 48u);

    TiffLimits small;
    small.maxPixelBytes = 300 * 100 * 4;
    EXPECT_FALSE(ConvertTiffToPng(dir / "one.tif", dir / "big", small).Ok());
    small.maxTotalPixelBytes = 64 * 48 * 4 * 2;
    EXPECT_FALSE(ConvertTiffToPng(dir / "three.tif", dir / "big", small).Ok());
    WriteFile(dir / "fake.tif", "II*\0 not really");
    EXPECT_FALSE(ConvertTiffToPng(dir / "fake.tif", dir / "fake").Ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "big.png"));
}

// A document with a DTD that pulls an entity set in, drawings in img and a, and one
// reference that climbs out of the folder.
TEST(OpenerTransform, PageWithDrawings) {
    tv::test::TempFolder dir;
    WriteFile(dir / "xsl/p.xsl",
              XslWrap("<html><body><h1><xsl:value-of select=\"//title\"/></h1>"
                      "<xsl:for-each select=\"//img\"><img src=\"{@file}\"/></xsl:for-each>"
                      "<a href=\"multi.TIFF\">all</a><img src=\"../outside.tif\"/>"
                      "<img src=\"broken.tif\"/></body></html>"));
    WriteFile(dir / "doc/d.dtd", "<!ENTITY % set SYSTEM \"set.ent\"> %set;");
    WriteFile(dir / "doc/set.ent", "<!ENTITY mdash \"&#x2014;\">");
    WriteFile(dir / "doc/d.xml",
              StyledXml("file://" + dir.Path() + "/xsl/p.xsl",
                        "<!DOCTYPE r SYSTEM \"d.dtd\">\n<r><title>A&mdash;B</title>"
                        "<img file=\"D1.TIF\"/></r>"));
    ASSERT_TRUE(tv::test::MakeG4Tiff(dir / "doc/D1.TIF", 80, 40));
    ASSERT_TRUE(tv::test::MakeG4Tiff(dir / "doc/multi.TIFF", 80, 40, 2));
    WriteFile(dir / "doc/broken.tif", "not a tiff");

    const TransformOutcome out = TransformToHtml(dir / "doc/d.xml", dir / "doc/d.xml.html");
    ASSERT_EQ(out.kind, Kind::Written) << out.error.reason;
    const std::string page = ReadAll(dir / "doc/d.xml.html");
    EXPECT_NE(page.find("A\xe2\x80\x94"
                        "B"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("src=\"D1.png\""), std::string::npos) << page;
    EXPECT_NE(page.find("href=\"multi.png\""), std::string::npos) << page;
    EXPECT_NE(page.find("src=\"../outside.tif\""), std::string::npos) << page;
    EXPECT_NE(page.find("cannot be shown"), std::string::npos) << page;
    EXPECT_TRUE(tv::test::ReadPngHeader(dir / "doc/D1.png").signature);
    EXPECT_TRUE(std::filesystem::exists(dir / "doc/multi-2.png"));
    EXPECT_EQ(out.drawingProblems.size(), 1u);
}

TEST(OpenerTransform, MultiPageImageShowsEveryPage) {
    tv::test::TempFolder dir;
    WriteFile(dir / "s.xsl", XslWrap("<html><body><img src=\"m.tif\" class=\"d\"/></body></html>"));
    WriteFile(dir / "d.xml", StyledXml("s.xsl", "<r/>"));
    ASSERT_TRUE(tv::test::MakeG4Tiff(dir / "m.tif", 16, 16, 3));
    ASSERT_EQ(TransformToHtml(dir / "d.xml", dir / "d.xml.html").kind, Kind::Written);
    const std::string page = ReadAll(dir / "d.xml.html");
    for (const char* src : {"src=\"m.png\"", "src=\"m-2.png\"", "src=\"m-3.png\""}) {
        EXPECT_NE(page.find(src), std::string::npos) << src << page;
    }
}

// Documents and stylesheets that must not be transformed, and why.
TEST(OpenerTransform, RefusedAndBrokenInput) {
    const std::string laughs =
        "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e "
        "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g "
        "\"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
        "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\"><!ENTITY i "
        "\"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">"
        "]><r>&i;</r>";
    const std::string exsl =
        "xmlns:exsl=\"http://exslt.org/common\" extension-element-prefixes=\"exsl\"";
    tv::test::TempFolder outside;
    WriteFile(outside / "secret.ent", "<!ENTITY leak \"SECRET\">");
    WriteFile(outside / "o.xsl", XslWrap("<p>SECRET</p>"));
    // A gzip stream of <?xml-stylesheet href="s.xsl"?><r/>: the parser would unpack it.
    const std::string kGzipped(
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\xb1\xaf\xc8\xcd\xd1\x2d\x2e\xa9\xcc"
        "\x49\x2d\xce\x48\x4d\x2d\x51\xc8\x28\x4a\x4d\xb3\x55\x2a\xd6\xab\x28\xce\x51\xb2"
        "\xb7\xb3\x29\xd2\xb7\x03\x00\xc9\x67\x6c\x78\x23\x00\x00\x00",
        55);
    const struct {
        const char* name;
        std::string document;
        std::string stylesheet;
        const char* stage;
        const char* reasonPart;
    } cases[] = {
        {"exsl:document", StyledXml("s.xsl", "<r/>"),
         XslWrap("<exsl:document href=\"written.txt\">x</exsl:document><p/>", exsl),
         "Error executing the Transform", "may not write"},
        {"xsl:document", StyledXml("s.xsl", "<r/>"),
         XslWrap("<xsl:document href=\"written.txt\">x</xsl:document><p/>", "", "1.1"),
         "Error executing the Transform", "may not write"},
        {"document()", StyledXml("s.xsl", "<r/>"),
         XslWrap("<p><xsl:value-of select=\"document('/etc/passwd')\"/></p>"),
         "Error executing the Transform", "only files in the document's folder"},
        {"external entity",
         StyledXml("s.xsl", "<!DOCTYPE r [<!ENTITY x SYSTEM \"/etc/passwd\">]><r>&x;</r>"),
         XslWrap("<p/>"), "Error loading the XML", "external entities in the text"},
        {"entity bomb", StyledXml("s.xsl", laughs), XslWrap("<p/>"), "Error loading the XML", ""},
        {"broken XML", StyledXml("s.xsl", "<r>\n<a></r>"), XslWrap("<p/>"), "Error loading the XML",
         "mismatch"},
        {"broken stylesheet", StyledXml("s.xsl", "<r/>"), "<xsl:stylesheet",
         "Error loading the Transform", ""},
        {"network stylesheet", StyledXml("http://example.org/s.xsl", "<r/>"), XslWrap("<p/>"),
         "Error loading the Transform", "not fetched"},
        {"missing stylesheet", StyledXml("none.xsl", "<r/>"), XslWrap("<p/>"),
         "Error loading the Transform", "missing"},
        {"entity in a read document", StyledXml("s.xsl", "<r/>"),
         XslWrap("<p><xsl:value-of select=\"document('extra.xml')\"/></p>"),
         "Error executing the Transform", "external entities in the text"},
        {"parameter entity outside",
         StyledXml("s.xsl", "<!DOCTYPE r [<!ENTITY % s SYSTEM \"" + outside / "secret.ent" +
                                "\"> %s;]><r>&leak;</r>"),
         XslWrap("<p/>"), "Error loading the XML", "only files in the document's folder"},
        {"parameter entity link", StyledXml("s.xsl", "<!DOCTYPE r SYSTEM \"link.dtd\"><r/>"),
         XslWrap("<p/>"), "Error loading the XML", "only files in the document's folder"},
        {"network DTD", StyledXml("s.xsl", "<!DOCTYPE r SYSTEM \"http://127.0.0.1:9/d\"><r/>"),
         XslWrap("<p/>"), "Error loading the XML", "no network"},
        {"device DTD", StyledXml("s.xsl", "<!DOCTYPE r SYSTEM \"file://localhost/dev/stdin\"><r/>"),
         XslWrap("<p/>"), "Error loading the XML", "only files in the document's folder"},
        {"compressed document", kGzipped, XslWrap("<p/>"), "Error loading the XML",
         "compressed input"},
        {"import outside", StyledXml("s.xsl", "<r/>"),
         "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:import href=\"" +
             outside / "o.xsl\"/></xsl:stylesheet>",
         "Error loading the Transform", "only files in the document's folder"},
    };
    for (const auto& c : cases) {
        tv::test::TempFolder dir;
        WriteFile(dir / "d.xml", c.document);
        WriteFile(dir / "s.xsl", c.stylesheet);
        WriteFile(dir / "extra.xml",
                  "<!DOCTYPE t [<!ENTITY x SYSTEM \"/etc/hostname\">]><t>&x;</t>");
        std::filesystem::create_symlink(outside / "secret.ent", dir / "link.dtd");
        const auto start = std::chrono::steady_clock::now();
        const TransformOutcome out = TransformToHtml(dir / "d.xml", dir / "d.xml.html");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << c.name;
        ASSERT_EQ(out.kind, Kind::Failed) << c.name;
        EXPECT_EQ(out.error.stage, c.stage) << c.name;
        EXPECT_NE(out.error.reason.find(c.reasonPart), std::string::npos)
            << c.name << ": " << out.error.reason;
        EXPECT_FALSE(std::filesystem::exists(dir / "written.txt")) << c.name;
        EXPECT_EQ(out.error.reason.find("SECRET"), std::string::npos) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "d.xml.html")) << c.name;
    }
}

// What a stylesheet may read: files beside itself (imports, lookup tables) and beside
// the document, nothing elsewhere. The folder has a space, as installed folders may.
TEST(OpenerTransform, StylesheetReadsOnlyBesideItselfOrTheDocument) {
    const struct {
        const char* select;
        bool allowed;
    } cases[] = {
        {"document('table.xml')/t", true},
        {"document('doc/beside.xml')/t", true},
        {"document('other/secret.xml')/t", false},
        {"document('file:///etc/hostname')", false},
    };
    for (const auto& c : cases) {
        tv::test::TempFolder dir;
        WriteFile(dir / "x sl/common.xsl",
                  XslWrap(std::string("<p><xsl:value-of select=\"") + c.select + "\"/></p>"));
        WriteFile(dir / "x sl/main.xsl",
                  "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/"
                  "Transform\"><xsl:import href=\"common.xsl\"/></xsl:stylesheet>");
        WriteFile(dir / "x sl/table.xml", "<t>from-table</t>");
        WriteFile(dir / "x sl/doc/beside.xml", "<t>from-beside</t>");
        WriteFile(dir / "other/secret.xml", "<t>secret</t>");
        WriteFile(dir / "x sl/doc/d.xml", StyledXml("../main.xsl", "<r/>"));
        const TransformOutcome out =
            TransformToHtml(dir / "x sl/doc/d.xml", dir / "x sl/doc/d.xml.html");
        EXPECT_EQ(out.kind, c.allowed ? Kind::Written : Kind::Failed)
            << c.select << ": " << out.error.reason;
        const std::string page = ReadAll(dir / "x sl/doc/d.xml.html");
        EXPECT_EQ(page.find("from-") != std::string::npos, c.allowed) << c.select;
        EXPECT_EQ(page.find("secret"), std::string::npos);
    }
}

TEST(OpenerOutput, ReplacesALinkInsteadOfWritingThroughIt) {
    tv::test::TempFolder dir;
    WriteFile(dir / "victim", "keep");
    std::filesystem::create_symlink(dir / "victim", dir / "page.html");
    ASSERT_TRUE(WriteFileReplacing(dir / "page.html", "new").Ok());
    EXPECT_EQ(ReadAll(dir / "victim"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "page.html"));
    EXPECT_EQ(ReadAll(dir / "page.html"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    // A folder that is not there: a failure with the classic number, nothing left over.
    const Status replaced = WriteFileReplacing(dir / "gone/page.html", "x");
    EXPECT_EQ(replaced.Number(), kErrFileNotFound) << replaced.Description();
    const Result<std::string> made = WriteNewFile(dir / "gone/", "p-", ".html", "x");
    EXPECT_EQ(made.status().Number(), kErrFileNotFound) << made.status().Description();
    const Result<std::string> page = WriteNewFile(dir.Path() + "/", "p-", ".html", "y");
    ASSERT_TRUE(page.Ok()) << page.status().Description();
    EXPECT_EQ(ReadAll(*page), "y");
}

TEST(OpenerOutput, ErrorPageEscapesEverything) {
    OpenError e{"Error loading the XML", "/x/<b>.xml",  3, 7, "bad & \"worse\"",
                "<a href='x'>",          "time <limit>"};
    const std::string page = ErrorPageHtml(e);
    EXPECT_NE(page.find("Refused by the rule: time &lt;limit&gt;"), std::string::npos);
    EXPECT_NE(page.find("/x/&lt;b&gt;.xml"), std::string::npos);
    EXPECT_NE(page.find("bad &amp; &quot;worse&quot;"), std::string::npos);
    EXPECT_NE(page.find("&lt;a href=&#39;x&#39;&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
}

// Stylesheet references as the preparation tools write them (absolute file URLs with
// %20 for spaces) and as people write them (relative, with escapes).
TEST(OpenerTransform, StylesheetReferenceForms) {
    tv::test::TempFolder dir;
    WriteFile(dir / "my docs/xsl/p s.xsl", XslWrap("<p>styled</p>"));
    for (const std::string& href :
         {"file://" + ReplaceAll(dir.Path(), " ", "%20") + "/my%20docs/xsl/p%20s.xsl",
          std::string("xsl/p%20s.xsl"), dir / "my docs/xsl/p s.xsl"}) {
        WriteFile(dir / "my docs/d.xml", StyledXml(href, "<r/>"));
        const TransformOutcome out = TransformToHtml(dir / "my docs/d.xml", dir / "my docs/d.html");
        EXPECT_EQ(out.kind, Kind::Written) << href << ": " << out.error.reason;
        EXPECT_NE(ReadAll(dir / "my docs/d.html").find("styled"), std::string::npos) << href;
        std::filesystem::remove(dir / "my docs/d.html");
    }
}

TEST(OpenerTransform, PageGoesToTempWhenBesideIsBlocked) {
    tv::test::TempFolder dir;
    tv::test::TempFolder temp;
    tv::test::ScopedEnv tmpdir("TMPDIR", temp.Path());
    WriteFile(dir / "a b/s.xsl", XslWrap("<html><body><p>shown</p></body></html>"));
    WriteFile(dir / "a b/d.xml", StyledXml("s.xsl", "<r/>"));
    std::filesystem::create_directory(dir / "a b/d.xml.html");  // blocks the page
    const TransformOutcome out = TransformToHtml(dir / "a b/d.xml", dir / "a b/d.xml.html");
    ASSERT_EQ(out.kind, Kind::Written) << out.error.reason;
    EXPECT_EQ(out.htmlPath.rfind(temp / "d.xml-", 0), 0u) << out.htmlPath;
    const std::string page = ReadAll(out.htmlPath);
    EXPECT_NE(page.find("<base href=\"file://" + ReplaceAll(dir.Path(), " ", "%20") + "/a%20b/\">"),
              std::string::npos)
        << page;
}

// A DTD that is a FIFO would block a reader for ever; it is refused, by name or URL.
TEST(OpenerTransform, SpecialFilesAreNotRead) {
    tv::test::TempFolder dir;
    ASSERT_EQ(mkfifo((dir / "d.dtd").c_str(), 0600), 0);
    WriteFile(dir / "s.xsl", XslWrap("<p>shown</p>"));
    for (const std::string& dtd : {std::string("d.dtd"), "file://localhost" + dir / "d.dtd"}) {
        WriteFile(dir / "d.xml", StyledXml("s.xsl", "<!DOCTYPE r SYSTEM \"" + dtd + "\"><r/>"));
        const TransformOutcome out = TransformToHtml(dir / "d.xml", dir / "d.html");
        EXPECT_EQ(out.kind, Kind::Failed) << dtd;
        EXPECT_EQ(out.error.rule, xml::RuleText(xml::Rule::NotRegularFile)) << dtd;
    }
}

// Template recursion and one long XPath expression (3,000 elements cubed) both end at the
// time limit.
TEST(OpenerTransform, RunawayStylesheetIsStopped) {
    std::string many = "<r>";
    for (int i = 0; i < 3000; ++i) {
        many += "<e/>";
    }
    const std::string recursive =
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:template match=\"/\"><xsl:call-template name=\"t\"/></xsl:template>"
        "<xsl:template name=\"t\"><xsl:param name=\"n\" select=\"60\"/>"
        "<xsl:if test=\"$n &gt; 0\"><xsl:call-template name=\"t\"><xsl:with-param "
        "name=\"n\" select=\"$n - 1\"/></xsl:call-template><xsl:call-template name=\"t\">"
        "<xsl:with-param name=\"n\" select=\"$n - 1\"/></xsl:call-template></xsl:if>"
        "</xsl:template></xsl:stylesheet>";  // each call makes two more: 2^60 steps
    for (const std::string& style :
         {recursive, XslWrap("<p><xsl:value-of select=\"count(//*[count(//*[count(//*) > 0]) "
                             "> 0])\"/></p>")}) {
        tv::test::TempFolder dir;
        WriteFile(dir / "s.xsl", style);
        WriteFile(dir / "d.xml", StyledXml("s.xsl", many + "</r>"));
        const auto start = std::chrono::steady_clock::now();
        const TransformOutcome out =
            TransformToHtml(dir / "d.xml", dir / "d.html", {}, std::chrono::milliseconds(300));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        EXPECT_EQ(out.kind, Kind::Failed);
        EXPECT_EQ(out.error.rule, xml::RuleText(xml::Rule::TimeLimit)) << out.error.reason;
    }
}

// Whatever the stylesheet copies from the document, the page runs no code and names no
// address elsewhere; local images and anchors stay.
TEST(OpenerPage, CleanedWhateverTheStylesheetCopies) {
    tv::test::TempFolder dir;
    WriteFile(dir / "s.xsl", XslWrap("<html><body><xsl:copy-of select=\"/r/*\"/></body></html>"));
    WriteFile(dir / "d.xml",
              StyledXml("s.xsl",
                        "<r><script>alert(1)</script><p onclick=\"x()\">text</p>"
                        "<img src=\"http://127.0.0.1/a.png\"/><img src=\"fig/local.png\"/>"
                        "<a href=\"java&#9;script:x()\">j</a><a href=\"#anchor\">in</a>"
                        "<a href=\"//host/x\">n</a><img src=\"data:image/png;base64,AA\"/>"
                        "<math xmlns=\"http://www.w3.org/1998/Math/MathML\"><mi href=\"https://h\">"
                        "x</mi><script>y()</script></math><p style=\"background:url(http://h)\">s"
                        "</p><meta http-equiv=\"refresh\" content=\"0;url=http://h\"/>"
                        "<iframe src=\"x.htm\"/></r>"));
    const TransformOutcome out = TransformToHtml(dir / "d.xml", dir / "d.html");
    ASSERT_EQ(out.kind, Kind::Written) << out.error.reason;
    const std::string page = ReadAll(dir / "d.html");
    for (const char* gone : {"script", "onclick", "127.0.0.1", "http://h", "https://h",
                             "javascript", "//host", "data:", "url(", "iframe", "alert"}) {
        EXPECT_EQ(page.find(gone), std::string::npos) << gone << "\n" << page;
    }
    for (const char* kept : {"fig/local.png", "#anchor", ">text<", "<mi>x</mi>"}) {
        EXPECT_NE(page.find(kept), std::string::npos) << kept << "\n" << page;
    }
    EXPECT_EQ(out.cleaned.elements, 3);
}

TEST(OpenerPage, LocalReferences) {
    for (const char* local : {"", "#a", "a.png", "../d/e.htm?x=1", "a?b:c", "a/b:c"}) {
        EXPECT_TRUE(xml::IsLocalReference(local)) << local;
    }
    for (const char* remote :
         {"http://h", " HTTPS://h", "//h/x", "\\\\h\\x", "java\tscript:x", "data:image/png,x",
          "file:///etc/passwd", "mailto:a@b", "p:q/../x"}) {
        EXPECT_FALSE(xml::IsLocalReference(remote)) << remote;
    }
}

// The child that runs a transformation: its answer, or nothing once the limit passed or
// when it died; the caller never waits longer than the limit.
TEST(OpenerChild, AnswersOrIsStopped) {
    const struct {
        std::function<std::string()> work;
        std::optional<std::string> answer;
        bool timedOut;
    } cases[] = {
        {[] { return std::string("done"); }, "done", false},
        {[] {
             std::this_thread::sleep_for(std::chrono::seconds(20));
             return std::string("late");
         },
         std::nullopt, true},
        {[]() -> std::string { ::_exit(3); }, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ChildResult r = RunInChild(c.work, std::chrono::milliseconds(500));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(r.answer, c.answer);
        EXPECT_EQ(r.timedOut, c.timedOut);
    }
}

struct LaunchRecorder {
    std::vector<std::string> targets;
    ScopedProcessLauncher scope{
        [this](const std::string&, const std::string& target, const std::string&) {
            targets.push_back(target);
            return Result<long>(0);
        }};
};

TEST(OpenerTarget, WhatTheBrowserIsGiven) {
    tv::test::TempFolder dir;
    LaunchRecorder browser;
    WriteFile(dir / "s.xsl", XslWrap("<p>ok</p>"));
    WriteFile(dir / "styled.XML", StyledXml("s.xsl", "<r/>"));
    WriteFile(dir / "plain.xml", "<r/>");
    WriteFile(dir / "notes.txt", "text");
    WriteFile(dir / "bad.xml", "<?xml version=\"1.0\"?>\n<r>\n<unclosed>\n</r>");

    EXPECT_EQ(*OpenTarget("https://example.org/a b"), "https://example.org/a b");
    EXPECT_EQ(*OpenTarget(dir / "styled.XML"), dir / "styled.XML.html");
    EXPECT_EQ(*OpenTarget("file://" + dir / "plain.xml"), dir / "plain.xml");
    EXPECT_EQ(*OpenTarget(dir / "notes.txt"), dir / "notes.txt");

    const Result<std::string> bad = OpenTarget(dir / "bad.xml");
    ASSERT_TRUE(bad.Ok()) << bad.status().Description();
    ASSERT_EQ(*bad, dir / "bad.xml.html");
    const std::string page = ReadAll(*bad);
    for (const std::string& part : {std::string("Error loading the XML"), dir / "bad.xml",
                                    std::string("<td>4</td>"), std::string("&lt;/r&gt;")}) {
        EXPECT_NE(page.find(part), std::string::npos) << part << "\n" << page;
    }
    EXPECT_EQ(browser.targets.size(), 5u);
}

// The page beside the file cannot be written (a folder is in the way, which stops root
// as well as anyone): the error page goes to the temporary folder.
TEST(OpenerTarget, ErrorPageGoesToTempWhenBesideIsBlocked) {
    tv::test::TempFolder dir;
    tv::test::TempFolder temp;
    tv::test::ScopedEnv tmpdir("TMPDIR", temp.Path());
    LaunchRecorder browser;
    WriteFile(dir / "bad.xml", "<r>");
    std::filesystem::create_directory(dir / "bad.xml.html");
    const Result<std::string> result = OpenTarget(dir / "bad.xml");
    ASSERT_TRUE(result.Ok()) << result.status().Description();
    EXPECT_EQ(result->rfind(temp.Path() + "/tessel-open-error-", 0), 0u) << *result;
    EXPECT_NE(ReadAll(*result).find("bad.xml"), std::string::npos);
}

}  // namespace
}  // namespace tv::opener
