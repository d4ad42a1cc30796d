// The catalog reader, the prolog reader and the entity table, below the tools.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "tests/platform/test_env.h"
#include "tools/prep/catalog.h"
#include "tools/prep/entity_chars.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/prolog.h"
#include "tools/prep/rewrite.h"
#include "tools/prep/sgml_growth.h"

namespace tv::prep {
namespace {

TEST(PrepCatalog, ReadsEntriesSkipsCommentsAndUnknownKeywordsFirstEntryWins) {
    test::TempFolder dir;
    for (const char* f :
         {"pub.dtd", "sys.dtd", "type.dtd", "byname.dtd", "first.dtd", "second.dtd"}) {
        test::WriteFile(dir / f, "");
    }
    const Catalog cat = Catalog::Parse(
        "-- PUBLIC \"-//X//DTD Hidden//EN\" \"nothere.dtd\" --\n"
        "PUBLIC \"-//X//DTD  A\n V1//EN\" pub.dtd\n"
        "FUTURE-KEYWORD x \"y\"  system 'old/sys.dtd' 'sys.dtd'\n"
        "DOCTYPE root \"type.dtd\"\n"
        "DOCTYPE Twice \"first.dtd\" DOCTYPE twice \"second.dtd\"\n"
        "PUBLIC \"-//X//DTD Missing//EN\" \"missing.dtd\"\n"
        "STYLESHEET root \"xsl/a b.xsl\"\n",
        dir.Path());
    struct Case {
        const char *pub, *sys, *name, *want;
    } cases[] = {
        {"-//X//DTD A V1//EN", "old/sys.dtd", "root", "pub.dtd"},   // public id first
        {"-//X//DTD Other//EN", "old/sys.dtd", "root", "sys.dtd"},  // then system id
        {"", "http://x/y/unknown.dtd", "ROOT", "type.dtd"},         // then the type name
        {"", "C:\\dtds\\byname.dtd", "other", "byname.dtd"},        // then the file name
        {"-//X//DTD Missing//EN", "", "twice", "first.dtd"},        // missing file: next
        {"-//X//DTD Hidden//EN", "", "none", nullptr},              // commented out
        {"", "../byname.dtd/..", "none", nullptr},
    };
    for (const Case& c : cases) {
        const auto got = cat.ResolveDtd(c.pub, c.sys, c.name);
        if (c.want) {
            EXPECT_EQ(got, dir / c.want) << c.pub << c.sys;
        } else {
            EXPECT_FALSE(got) << c.pub << c.sys;
        }
    }
    EXPECT_EQ(cat.Stylesheet("ROOT"), dir / "xsl/a b.xsl");
    EXPECT_FALSE(cat.Stylesheet("other"));
}

TEST(PrepProlog, FindsEachPieceAndRefusesWhatItCannotRead) {
    struct Case {
        std::string text;
        std::string want;  // decl|doctype name|public|system|#pis|root, or "error"
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE a SYSTEM \"a.dtd\">\n<a/>", "1|a||a.dtd|0|a"},
        {"\xEF\xBB\xBF<!-- <!DOCTYPE x> --><?xml-stylesheet href='s'?><r>", "0||||1|r"},
        {"<!DOCTYPE p PUBLIC '-//P//EN' [<!ENTITY e \"]>\"><!-- ] -->%pe;]><p>",
         "0|p|-//P//EN||0|p"},
        {"<!DOCTYPE q PUBLIC \"i\" \"s\"><?xml-stylesheetx?><?xml-stylesheet?><q>", "0|q|i|s|1|q"},
        {"<?xml version='1.0'?><!DOCTYPE r><!DOCTYPE s><r>", "1|r|||0|"},
        {"<!DOCTYPE a [<!ENTITY e 'x'>", "error"},
        {"<!DOCTYPE a SYSTEM \"a.dtd>", "error"},
        {"<!-- never closed", "error"},
        {"<?xml version=\"1.0\"", "error"},
        {"\xFF\xFE<\0?\0", "error"},
    };
    for (const Case& c : cases) {
        const Result<Prolog> p = ScanProlog(c.text);
        std::string got = "error";
        if (p) {
            const auto& d = p->doctype;
            got = std::string(p->xmlDeclaration ? "1" : "0") + "|" + (d ? d->name : "") + "|" +
                  (d ? d->publicId.value_or("") : "") + "|" + (d ? d->systemId.value_or("") : "") +
                  "|" + std::to_string(p->stylesheetPis.size()) + "|" + p->rootName;
        } else {
            EXPECT_EQ(p.status().Number(), kErrInvalidFormat);
            EXPECT_FALSE(p.status().Description().empty());
        }
        EXPECT_EQ(got, c.want) << c.text;
    }
}

TEST(PrepEntityChars, EveryEntityOfOurSetsHasOneCharacter) {
    std::set<std::string> names;
    for (const EntityChar& e : EntityChars()) {
        EXPECT_TRUE(names.insert(e.name).second) << "twice: " << e.name;
    }
    // Each SDATA entity the SGML DTD can reference maps through its text.
    const std::regex decl(R"(<!ENTITY\s+(\w+)\s+SDATA\s+"([^"]*)\")");
    int count = 0;
    for (const char* set :
         {"isonum.ent", "isopub.ent", "isolat1.ent", "isolat2.ent", "isogrk1.ent", "isogrk3.ent",
          "isotech.ent", "isodia.ent", "isoamsa.ent", "isoamsb.ent", "isoamsc.ent", "isoamsn.ent",
          "isoamso.ent", "isoamsr.ent", "patdoc-v2-4.dtd"}) {
        std::stringstream text;
        text << std::ifstream(std::string(TESSEL_DTD_DIR) + "/" + set).rdbuf();
        const std::string s = text.str();
        for (std::sregex_iterator it(s.begin(), s.end(), decl), end; it != end; ++it, ++count) {
            EXPECT_EQ(EntityCharBySdataText((*it)[2].str()), EntityCharByName((*it)[1].str()))
                << (*it)[1];
            EXPECT_TRUE(EntityCharByName((*it)[1].str())) << (*it)[1];
        }
    }
    EXPECT_EQ(count, static_cast<int>(EntityChars().size()));
    EXPECT_EQ(EntityCharBySdataText("[mdash ]"), U'\u2014');
    EXPECT_EQ(EntityCharByName("Agrave"), U'\u00C0');
    EXPECT_FALSE(EntityCharBySdataText("mdash"));
    std::string utf8;
    for (char32_t c : {U'A', U'\u00E9', U'\u2014', U'\U0001D400'}) {
        AppendUtf8(utf8, c);
    }
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x80\x94\xF0\x9D\x90\x80");
}

TEST(PrepFile, UrlsEscapeWhatAUriCannotHoldAndReplaceLeavesNothingBehind) {
    EXPECT_EQ(FileUrl("/a b/c%d#e?f/\xC3\xA9'\"<&>.xsl"),
              "file:///a%20b/c%25d%23e%3Ff/%C3%A9%27%22%3C%26%3E.xsl");
    EXPECT_EQ(FileUrl("/plain/x-y_z.dtd"), "file:///plain/x-y_z.dtd");

    test::TempFolder dir;
    test::WriteFile(dir / "folder/x", "");
    const Status folder = ReplaceFile(dir / "folder", "text");  // a folder is not replaced
    EXPECT_FALSE(folder.Ok());
    EXPECT_EQ(folder.Description().rfind("cannot write " + dir / "folder: ", 0), 0u);
    EXPECT_TRUE(ReplaceFile(dir / "new", "text").Ok());
    EXPECT_EQ(ReadBytes(dir / "new").value(), "text");
    const mode_t mask = umask(022);  // a new file is made as any other, not private
    EXPECT_TRUE(ReplaceFile(dir / "new", "text").Ok());
    umask(mask);
    EXPECT_EQ(std::filesystem::status(dir / "new").permissions(), std::filesystem::perms(0644));
    EXPECT_EQ(ReadBytes(dir / "folder").status().Description(),
              "cannot read " + dir / "folder: not an existing file");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        entries += e.path().filename().string()[0] != '.';  // no temporary file is left
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    }
    EXPECT_EQ(entries, 2);
}

TEST(PrepRewrite, WarnsWhenTheDocNumberLineLeavesTheFirst1000Characters) {
    const Catalog cat = Catalog::Parse("STYLESHEET a \"x.xsl\"", "/" + std::string(300, 'd'));
    struct Case {
        std::size_t padding;
        const char* line;
        bool warns;
    } cases[] = {
        {400, "\n<doc-number>1</doc-number>", false},
        {900, "\n<doc-number>1</doc-number>", true},
        {900, "\n <doc-number>1</doc-number>", false},   // indented: never seen anyway
        {990, "\r\n<doc-number>1</doc-number>", false},  // beyond already
    };
    for (const Case& c : cases) {
        const std::string text = "<a>" + std::string(c.padding, ' ') + c.line + "</a>";
        const Result<Rewritten> r = MendPaths(text, cat);
        ASSERT_TRUE(r);
        const char* eol = c.line[0] == '\r' ? "\r\n" : "\n";  // the file's own line ends
        EXPECT_EQ(r->text, StylesheetPi("/" + std::string(300, 'd') + "/x.xsl") + eol + text);
        EXPECT_EQ(r->warnings.size(), c.warns ? 1u : 0u) << c.padding;
    }
}

// Which DTD and which stylesheet PathMend gives a document: XML documents never get a
// DTD in SGML syntax, an unknown root gets the default stylesheet, and the document's
// own stylesheet PI stays only when it loads a file of the document's folder.
TEST(PrepRewrite, PicksXmlDtdsAndReplacesForeignStylesheets) {
    test::TempFolder dir;
    const std::string dtds = dir / "dtds", docs = dir / "docs";
    test::WriteFile(dtds + "/sgml.dtd", "<!-- x --><!ELEMENT PATDOC - O (SDOBI)>");
    test::WriteFile(dtds + "/groups.dtd", "<!ELEMENT (A|B) - - ANY>");
    test::WriteFile(dtds + "/xml25.dtd", "<!ELEMENT PATDOC (SDOBI)><!ELEMENT O EMPTY>");
    test::WriteFile(docs + "/own.xsl", "");
    test::WriteFile(docs + "/sub/deep.xsl", "");
    test::WriteFile(dir / "outside.xsl", "");
    std::filesystem::create_symlink(dir / "outside.xsl", docs + "/link.xsl");
    const Catalog cat = Catalog::Parse(
        "DOCTYPE PATDOC \"sgml.dtd\" SYSTEM \"ST32-US-Grant-025xml.dtd\" \"xml25.dtd\"\n"
        "PUBLIC \"-//G//DTD G//EN\" \"groups.dtd\" DOCTYPE G \"xml25.dtd\"\n"
        "STYLESHEET PATDOC \"p.xsl\" STYLESHEET jp-official-gazette \"jp.xsl\"\n"
        "STYLESHEET #DEFAULT \"generic.xsl\"\n",
        dtds);
    const std::string p = StylesheetPi(dtds + "/p.xsl") + "\n",
                      g = StylesheetPi(dtds + "/generic.xsl") + "\n";
    const std::string pdtd = "<!DOCTYPE PATDOC SYSTEM \"" + dtds + "/xml25.dtd\">";
    auto own = [](const std::string& href) {
        return "<?xml-stylesheet type=\"text/xsl\" href=\"" + href + "\"?>\n";
    };
    struct Case {
        std::string in, want;
    } cases[] = {
        {"<!DOCTYPE PATDOC SYSTEM \"ST32-US-Grant-025xml.dtd\"><PATDOC/>", p + pdtd + "<PATDOC/>"},
        {"<!DOCTYPE PATDOC SYSTEM \"x.dtd\"><PATDOC/>",
         p + "<!DOCTYPE PATDOC SYSTEM \"x.dtd\"><PATDOC/>"},
        {"<!DOCTYPE G PUBLIC \"-//G//DTD G//EN\"><G/>",
         g + "<!DOCTYPE G PUBLIC \"-//G//DTD G//EN\" \"" + dtds + "/xml25.dtd\"><G/>"},
        {"<jp-official-gazette/>", StylesheetPi(dtds + "/jp.xsl") + "\n<jp-official-gazette/>"},
        {"<ep-patent-document/>", g + "<ep-patent-document/>"},
        {own("/srv/xsl/ep.xsl") + "<ep-patent-document/>", g + "<ep-patent-document/>"},
        {own("http://127.0.0.1/x.xsl") + "<a/>", g + "<a/>"},
        {own("missing.xsl") + "<a/>", g + "<a/>"},
        {own("../outside.xsl") + "<a/>", g + "<a/>"},
        {own("link.xsl") + "<a/>", g + "<a/>"},
        {own("own.xsl") + "<a/>", own("own.xsl") + "<a/>"},
        {own("sub/deep.xsl") + own("/abs.xsl") + "<a/>", own("sub/deep.xsl") + "<a/>"},
    };
    for (const Case& c : cases) {
        const Result<Rewritten> r = MendPaths(c.in, cat, docs);
        ASSERT_TRUE(r) << r.status().Description();
        EXPECT_EQ(r->text, c.want) << c.in;
        EXPECT_EQ(MendPaths(r->text, cat, docs)->text, r->text) << c.in;
    }
    EXPECT_FALSE(Catalog::Parse("STYLESHEET a \"a.xsl\"", dtds).Stylesheet("b"));
}

// Entities within entities are judged from the declarations, across files, before
// the parser builds a single literal.
TEST(PrepSgmlGrowth, BoundsEntitiesWithinEntities) {
    std::string tens;  // e1 holds ten e0, e2 ten e1, ...: 100 bytes times 10^n
    for (int i = 1; i <= 5; ++i) {
        tens += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) {
            tens += "&e" + std::to_string(i - 1) + ";";
        }
        tens += "\">\n";
    }
    const std::string e0 = "<!ENTITY e0 \"" + std::string(100, 'x') + "\">\n";
    const std::string e5 = tens.substr(tens.rfind("<!ENTITY"));
    tens.resize(tens.size() - e5.size());
    struct Case {
        std::vector<std::string> files;
        bool ok;
    } cases[] = {
        {{e0 + tens + "<a>&e4;</a>"}, true},                            // 1 MB: at the limit
        {{e0 + tens + e5}, false},                                      // 10 MB entity
        {{e0 + tens, "<a x='&e4;&e4;&e4;'>"}, true},                    // 4.1 MB of references
        {{e0 + tens, "&e4;&e4;&e4;&e4;", "&e4;&e4;&e4;&e4;"}, false},   // 9.1 MB in all
        {{"<!ENTITY % p \"<!ENTITY q '&e0;&e0;'>\">" + e0}, true},      // within a literal
        {{"<!ENTITY %n; \"x\">"}, false},                               // a name from an entity
        {{"<!ENTITY a \"&b;\"><!ENTITY b \"&a;\"><x a='&a;'>"}, true},  // a loop adds nothing
        {{"<!entity % p \"%p;\"> &mdash; &#x41; %p;"}, true},
    };
    for (const Case& c : cases) {
        EntityGrowth growth(1u << 20, 8u << 20);
        Status grown;
        for (const std::string& f : c.files) {
            grown = grown.Ok() ? growth.Add(f) : grown;
        }
        EXPECT_EQ(grown.Ok(), c.ok) << c.files[0].substr(0, 60) << grown.Description();
    }
}

}  // namespace
}  // namespace tv::prep
