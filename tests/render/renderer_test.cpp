// Render dispatch through fakes of every port: what is extracted, prepared and opened,
// in which order and where.
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/strings.h"
#include "render/cunzip_extractor.h"
#include "render/tools.h"
#include "tests/platform/test_env.h"
#include "tests/render/fakes.h"

namespace tv::render {
namespace {

namespace sfs = std::filesystem;
namespace test = tv::test;
using Events = std::vector<std::string>;

// Extracts by writing each named entry's name (its bare file name, as the archive
// component strips folders that climb) into the folder.
struct FakeExtractor : PackageExtractor {
    int FileCount() const override { return static_cast<int>(names.size()); }
    Status Extract(const std::vector<int>& entries, const std::string& folder) override {
        std::string list;
        for (int i : entries) {
            const std::string& name = names.at(static_cast<std::size_t>(i - 1));
            list += (list.empty() ? "" : ",") + name;
            test::WriteFile(folder + sfs::path(name).filename().string(),
                            "<doc-number>0" + std::to_string(i - 1) + "</doc-number>\n");
        }
        log->push_back("unzip " + list);
        return fail;
    }
    std::vector<std::string> names;
    Status fail;
    Events* log = nullptr;
};

class RendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ex_.log = &rec_.events;
        settings_.documentsFolder = tmp_.Path() + "/";
        settings_.appPath = "/app/";
        settings_.appDataPath = "/data/";
        settings_.ie11Path = "/app/tessel-open";
    }
    void Package(std::vector<std::string> names, int main, int seq) {
        ex_.names = std::move(names);
        state_ = {main, seq, false};
    }
    RenderOutcome Render() { return renderer_.RenderPackage(settings_, state_, ex_.names); }
    // Events with the working folder shortened to "~".
    Events Log() const {
        Events out;
        for (std::string e : rec_.events) {
            out.push_back(ReplaceAll(e, tmp_.Path() + "/MyTessel", "~"));
        }
        return out;
    }
    static std::string Mend(const std::string& f, const std::string& cat = "TVWcatalog.txt") {
        return "tool /app/Perl/PathMend \"~/" + f + "\" \"/data/DTDs/" + cat + "\"";
    }

    test::TempFolder tmp_;
    fake::Recorder rec_;
    FakeExtractor ex_;
    Renderer renderer_{ex_, rec_, rec_, rec_};
    RenderSettings settings_;
    PackageState state_;
};

TEST_F(RendererTest, DecisionSummary) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        int main, seq;
        bool strip;
        Events expected;
    };
    const Case cases[] = {
        {"main only",
         {"US1.xml", "US1-D00001.TIF"},
         1,
         0,
         false,
         {"unzip US1.xml", Mend("US1/US1.xml"), "unzip US1-D00001.TIF", "open ~/US1/US1.xml"}},
        {"main only, DTD removed",
         {"US1.xml"},
         1,
         0,
         true,
         {"unzip US1.xml", Mend("US1/US1.xml"), "tool /app/Perl/DtdStrip \"~/US1/US1.xml\"",
          "open ~/US1/US1.xml"}},
        {"main and listing",
         {"A-s00001.xml", "A.xml", "A.tif"},
         2,
         1,
         false,
         {"unzip A-s00001.xml,A.xml", Mend("A/A.xml"), "unzip A.tif", "open ~/A/A.xml",
          Mend("A/A-s00001.xml"), "open ~/A/A-s00001.xml"}},
        {"fee form listed last is set aside",
         {"US1.xml", "US1-fee.xml"},
         1,
         0,
         false,
         {"unzip US1.xml", Mend("US1/US1.xml"), "unzip US1-fee.xml", "open ~/US1/US1.xml"}},
        {"transmittal listed last: the main document is still prepared",
         {"US1.xml", "tran1.xml", "x.tif"},
         2,
         0,
         false,
         {"unzip US1.xml,tran1.xml", Mend("US1/US1.xml"), "unzip x.tif", "open ~/US1/US1.xml"}},
        {"SGML",
         {"PAT.SGM", "p.tif"},
         1,
         0,
         false,
         {"unzip PAT.SGM",
          "tool /app/Perl/SgmlLift24 \"~/PAT/PAT.SGM\" \"/data/DTDs/TVWcatalog.txt\"",
          "unzip p.tif", "open ~/PAT/PAT.xml"}},
        {"SGML that gives no XML",
         {"NOX.SGM"},
         1,
         0,
         false,
         {"unzip NOX.SGM",
          "tool /app/Perl/SgmlLift24 \"~/NOX/NOX.SGM\" \"/data/DTDs/TVWcatalog.txt\"", "message"}},
        {"no document", {"a.tif"}, 0, 0, false, {"message"}},
        {"listing only", {"A-s00001.xml"}, 0, 1, false, {}},
        {"climbing name",
         {"../../evil.xml", "x.tif"},
         1,
         0,
         false,
         {"unzip ../../evil.xml", "unzip x.tif"}},
    };
    rec_.onRun = [&](const std::string& cmd) {
        if (cmd.find("PAT.SGM") != std::string::npos) {
            test::WriteFile(tmp_ / "MyTessel/PAT/PAT.xml");
        }
    };
    for (const Case& c : cases) {
        sfs::remove_all(tmp_ / "MyTessel");
        rec_.events.clear();
        settings_.unreferenceDTD = c.strip;
        Package(c.names, c.main, c.seq);
        Render();
        EXPECT_EQ(Log(), c.expected) << c.what;
        EXPECT_FALSE(state_.RawSourceView) << c.what;
    }
    EXPECT_TRUE(sfs::exists(tmp_ / "MyTessel/document/evil.xml"));
    EXPECT_EQ(rec_.messages.front().text, SgmlNotConvertedText("NOX.SGM"));
    EXPECT_EQ(rec_.messages.back(), (fake::Message{kNoXmlText, kOkOnly, kRenderTitle}));
    EXPECT_EQ(rec_.timeOuts, std::vector<long>(rec_.timeOuts.size(), 5 * 60 * 1000));
}

TEST_F(RendererTest, SecondRenderShowsTheRawDocumentsInTheCopyFolder) {
    settings_.specificationRenderOption = kTransmittalBit;
    settings_.zornRenderOption = kRequestBit;
    Package({"tran-A.xml", "A.xml", "A-requ.xml", "A-s00001.xml", "A.tif"}, 2, 4);
    EXPECT_EQ(Render().searchText, "01");
    rec_.events.clear();
    rec_.launches.clear();
    const RenderOutcome again = Render();
    EXPECT_TRUE(state_.RawSourceView);
    EXPECT_FALSE(again.searchText.has_value());
    EXPECT_EQ(Log(), (Events{"unzip tran-A.xml,A.xml,A-requ.xml,A-s00001.xml", "open ~/A[1]/A.xml",
                             "open ~/A[1]/tran-A.xml", "open ~/A[1]/A-requ.xml",
                             "open ~/A[1]/A-s00001.xml"}));
    for (const fake::Launch& l : rec_.launches) {
        EXPECT_TRUE(sfs::exists(l.target)) << l.target;  // every document opened was extracted
    }
}

TEST_F(RendererTest, OptionsPickTheCatalogAndTheExtraDocuments) {
    struct Case {
        int nav;
        bool prizm;
        int spec, zorn;
        std::string catalog;
        Events opened;
    };
    const Case cases[] = {
        {1,
         true,
         0x20,
         0x10,
         "TVWcatalog-embed-toc.txt",
         {"open ~/US1/US1.xml", "open ~/US1/tran-US1.xml", "open ~/US1/US1-requ.xml"}},
        {1,
         false,
         0x20,
         0,
         "TVWcatalog-toc.txt",
         {"open ~/US1/US1.xml", "open ~/US1/tran-US1.xml"}},
        {0,
         true,
         0,
         0x10,
         "TVWcatalog-embed.txt",
         {"open ~/US1/US1.xml", "open ~/US1/US1-requ.xml"}},
        {2, false, 0xFFDF, 0xFFEF, "TVWcatalog.txt", {"open ~/US1/US1.xml"}},
    };
    for (const Case& c : cases) {
        sfs::remove_all(tmp_ / "MyTessel");
        rec_.events.clear();
        settings_.specificationRenderOption = c.spec;
        settings_.zornRenderOption = c.zorn;
        settings_.navigationOption = c.nav;
        settings_.prizmInstalled = c.prizm;
        Package({"tran-US1.xml", "US1-requ.xml", "US1.xml"}, 3, 0);
        EXPECT_EQ(Render().catalogFileName, c.catalog);
        Events expected{"unzip US1.xml", Mend("US1/US1.xml", c.catalog),
                        "unzip tran-US1.xml,US1-requ.xml"};
        expected.insert(expected.end(), c.opened.begin(), c.opened.end());
        EXPECT_EQ(Log(), expected) << c.catalog;
    }
}

TEST_F(RendererTest, FailingExtractionEndsTheStepsWithTheErrorMessage) {
    Package({"US1.xml"}, 1, 0);
    ex_.fail = Status(75, "tessel-viewer.cUnzip", "broken");
    const RenderOutcome out = Render();
    EXPECT_EQ(Log(), (Events{"unzip US1.xml", "message"}));
    EXPECT_EQ(out.error.Number(), 75);
    EXPECT_EQ(
        rec_.messages.at(0).text,
        "Error # 75 was generated by tessel-viewer.cUnzip\rbroken\r\nXML file can not be found.");
}

TEST_F(RendererTest, MissingToolLeavesTheDocumentAsExtracted) {
    ProcessToolRunner tools;
    Renderer real(ex_, tools, rec_, rec_);
    settings_.appPath = tmp_ / "no such app/";
    settings_.unreferenceDTD = true;
    Package({"US1.xml"}, 1, 0);
    const RenderOutcome out = real.RenderPackage(settings_, state_, ex_.names);
    EXPECT_EQ(out.searchText, "00");
    EXPECT_EQ(Log(), (Events{"unzip US1.xml", "open ~/US1/US1.xml"}));
    EXPECT_TRUE(rec_.messages.empty());
}

// The folder and the main document are those RenderPackage chose, whatever the order
// of the entries.
TEST_F(RendererTest, SelectionOpensWhatTheRenderPrepared) {
    struct Case {
        std::vector<ListingItem> items;
        int main, seq;
        Events expected;
        bool firstSelected;
    };
    test::WriteFile(tmp_ / "MyTessel/US1/US1.xml");
    const Case cases[] = {
        {{{"A.xml", false}, {"A-s00001.xml", false}}, 1, 2, {"open ~/A/A.xml"}, true},
        {{{"A.xml", false}, {"x.tif", true}, {"A-s00001.xml", true}},
         1,
         3,
         {"open ~/A/x.tif", "open ~/A/A-s00001.xml"},
         false},
        {{{"x.tif", false}, {"US1.xml", false}},
         2,
         0,
         {"tool /app/Perl/DtdStrip \"~/US1/US1.xml\"", "open ~/US1/US1.xml"},
         false},
        {{{"tran1.xml", false}, {"US1.xml", false}, {"US1-fee.xml", false}},
         2,
         0,
         {"tool /app/Perl/DtdStrip \"~/US1/US1.xml\"", "open ~/US1/US1.xml"},
         false},
        {{{"US2.xml", false}}, 1, 0, {}, false},
        {{{"x.tif", false}}, 0, 0, {"message"}, false},
    };
    settings_.unreferenceDTD = true;
    for (Case c : cases) {
        rec_.events.clear();
        Package({"A"}, c.main, c.seq);
        renderer_.RenderSelection(settings_, state_, c.items);
        EXPECT_EQ(Log(), c.expected) << c.items[0].text;
        EXPECT_EQ(c.items[0].selected, c.firstSelected) << c.items[0].text;
    }
}

// A real tool run: the stand-in PathMend records its argv one per line, and an
// executable named like the first word of the application folder stands beside it.
TEST_F(RendererTest, ToolsGetExactlyTheProgramAndPathsMeant) {
    const std::string record = tmp_ / "argv.txt";
    const std::string app = tmp_ / "x/app folder/";
    for (const auto& [path, body] :
         {std::pair{tmp_ / "x/app", "echo decoy"},
          std::pair{app + "Perl/PathMend", "printf '%s\\n' \"$0\" \"$@\""}}) {
        test::WriteFile(path, "#!/bin/sh\n" + std::string(body) + " >> \"" + record + "\"\n");
        sfs::permissions(path, sfs::perms::owner_all);
    }
    ProcessToolRunner tools;
    Renderer real(ex_, tools, rec_, rec_);
    settings_.appPath = app;
    const std::string head = app + "Perl/PathMend\n", tail = "\n/data/DTDs/TVWcatalog.txt\n";
    std::string expected;
    for (const std::string entry : {"p\" \"--evil\".xml", "..\".xml"}) {
        Package({entry}, 1, 0);
        real.RenderPackage(settings_, state_, ex_.names);
        const std::string stem = entry.substr(0, entry.size() - 4);
        expected += head + (tmp_ / ("MyTessel/" + stem + "/" + entry)) + tail;
    }
    const std::string loose = tmp_ / "in/my \"draft\".xml";
    test::WriteFile(loose, "<x/>");
    settings_.copyFile = true;
    settings_.catalogFileName = "TVWcatalog.txt";
    real.OpenXmlDocument(settings_, loose, tmp_ / "MyTessel", {});
    std::ifstream in(record);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected + head + loose + tail);
}

TEST_F(RendererTest, LooseXmlIsCopiedIntoTheWorkingFolderUnlessInline) {
    const std::string user = tmp_ / "in/US9.XML";
    test::WriteFile(user, "<doc-number>0099</doc-number>\n");
    test::WriteFile(tmp_ / "in/...xml", "<x/>");
    std::vector<std::string> recent;
    auto add = [&](const std::string& p) { recent.push_back(p); };
    const std::string work = tmp_ / "MyTessel";
    settings_.catalogFileName = "TVWcatalog.txt";
    EXPECT_EQ(renderer_.OpenXmlDocument(settings_, user, work, add).searchText, "0099");
    settings_.copyFile = true;
    renderer_.OpenXmlDocument(settings_, user, work, add);
    settings_.copyFile = false;
    renderer_.OpenXmlDocument(settings_, tmp_ / "in/...xml", work, add);
    const RenderOutcome missing =
        renderer_.OpenXmlDocument(settings_, tmp_ / "none.xml", work, add);
    EXPECT_EQ(Log(),
              (Events{Mend("US9/US9.xml"), "open ~/US9/US9.xml",
                      ReplaceAll(Mend(""), "\"~/", "\"" + user), "open " + user,
                      Mend("document/document.xml"), "open ~/document/document.xml", "message"}));
    EXPECT_EQ(missing.error.Number(), kErrFileNotFound);
    EXPECT_EQ(rec_.launches[0].folder, "\"" + work + "\"");
    EXPECT_EQ(recent.size(), 4u);
}

}  // namespace
}  // namespace tv::render

namespace tv::render {
namespace {

TEST(RenderCUnzipExtractor, FailedExtractionIsAStatus) {
    cUnzip component;
    component.SetZipFile("/no/such/package.zip");
    CUnzipExtractor extractor(component);
    EXPECT_TRUE(extractor.Extract({}, "/no/such/folder/").Ok());  // nothing asked, nothing done
    component.AddEntry(PackageEntry{.name = "a.xml"});
    EXPECT_EQ(extractor.Extract({2}, "/f/").Number(), kErrSubscript);
    const Status s = extractor.Extract({1}, "/no/such/folder/");
    EXPECT_EQ(s.Number(), kErrAccess);
    EXPECT_EQ(s.Source(), "tessel-viewer.cUnzip");
    EXPECT_NE(s.Description().find("/no/such/package.zip"), std::string::npos);
}

}  // namespace
}  // namespace tv::render
