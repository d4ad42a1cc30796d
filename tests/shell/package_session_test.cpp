// The package session without a window: a fake launcher, message sink and extractor
// stand in for the browser, the message box and rendering's extraction.
#include "shell/package_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "lookup/commands.h"
#include "platform/message_box.h"
#include "platform/process/shell_wait.h"
#include "settings/settings_table.h"
#include "shell/app_state.h"
#include "tests/archive/unzip/zip_fixtures.h"
#include "tests/render/fakes.h"

namespace tv {
namespace {

using test::ZipItem;

struct FakeLauncher : render::Launcher {
    std::vector<std::string> launches;  // "program|target|folder"
    void Launch(const std::string& p, const std::string& t, const std::string& w) override {
        launches.push_back(p + "|" + t + "|" + w);
    }
};

struct FakeMessages : render::MessageSink {
    std::vector<std::string> texts;
    std::function<void()> onShow;
    void Show(const std::string& text, int, const std::string& title) override {
        texts.push_back(title + ": " + text);
        if (onShow) {
            onShow();
        }
    }
};

struct FakeExtractor : render::PackageExtractor {
    int FileCount() const override { return 0; }
    Status Extract(const std::vector<int>&, const std::string&) override { return {}; }
};

struct Recorder : SessionObserver {
    std::vector<std::string> events;
    std::vector<bool> paints;
    void ListingAboutToChange() override { events.push_back("about"); }
    void ListingChanged() override { events.push_back("changed"); }
    void RecentFilesChanged() override { events.push_back("recent"); }
    void SearchTextChanged() override { events.push_back("search"); }
    void SelectionChanged() override { events.push_back("selection"); }
    void CommandRefused() override { events.push_back("refused"); }
    void CloseNow() override { events.push_back("close"); }
    void Progress(const std::string&, bool paintNow) override { paints.push_back(paintNow); }
};

class PackageSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_DOCUMENTS_DIR", (dir_ / "Documents").c_str(), 1);
        setenv("TESSEL_REGISTRY_FILE", (dir_ / "user.reg").c_str(), 1);
        session_.SetObserver(&observer_);
    }

    std::string Package(const std::string& name, const std::vector<ZipItem>& items) {
        test::WriteZip(dir_ / name, items);
        return dir_ / name;
    }
    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (const ListingRow& row : session_.Listing()) {
            names.push_back(row.listedName);
        }
        return names;
    }

    test::TempFolder dir_;
    FakeLauncher launcher_;
    FakeMessages messages_;
    Recorder observer_;
    PackageSession session_{SessionPorts{launcher_, messages_}};
};

TEST_F(PackageSessionTest, OpeningListsEntriesAndFindsTheDocuments) {
    const struct {
        std::vector<ZipItem> items;
        std::vector<std::string> listed;
        int mainDoc, seqList;
    } cases[] = {
        {{{"doc.xml", std::string(1000, 'x')},
          {"doc-s00001.xml", "<seq/>"},
          {"img/", ""},
          {"img/D00001.tif", "II*"},
          {"README", "r"}},
         {"doc.xml", "doc-s00001.xml", "D00001.tif", "README"},
         1,
         2},
        // The later document wins; an encrypted one ("a.xml+") never counts.
        {{{"a.xml", "<a/>"}, {"b.XML", "<b/>"}, {"c.pdf", "%PDF"}},
         {"a.xml", "b.XML", "c.pdf"},
         2,
         0},
        {{test::Encrypted("a.xml", "<a/>", ZIP_EM_TRAD_PKWARE)}, {"a.xml+"}, 0, 0},
        {{{"X.SGM", "<x>"}, {"x-S00001.XML", "<s/>"}}, {"X.SGM", "x-S00001.XML"}, 1, 2},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = Package("p" + std::to_string(++n) + ".zip", c.items);
        session_.SetSelection({1});
        session_.OpenPackage(path);
        EXPECT_EQ(ListedNames(), c.listed) << path;
        EXPECT_EQ(session_.MainDocEntry, c.mainDoc) << path;
        EXPECT_EQ(session_.SeqListEntry, c.seqList) << path;
        EXPECT_FALSE(session_.RawSourceView);
        EXPECT_TRUE(session_.Selection().empty());
        EXPECT_EQ(session_.RecentFiles().Item(1), path);
    }
    session_.OpenPackage(dir_ / "p1.zip");
    const ListingRow& row = session_.Listing().at(2);
    EXPECT_EQ(row.key, "File3");
    EXPECT_EQ(row.folder, "img");
    EXPECT_EQ(session_.Listing().front().size, 1000);
    EXPECT_LT(session_.Listing().front().packed, 100);
    // Emptied before listing, so no view shows the old rows meanwhile.
    const std::vector<std::string> tail(observer_.events.end() - 5, observer_.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"about", "changed", "recent", "about", "changed"}));
}

TEST_F(PackageSessionTest, UnreadablePackageGivesAnEmptyListingAndLeavesRecentFiles) {
    session_.OpenPackage(Package("good.zip", {{"doc.xml", "<d/>"}}));
    ASSERT_TRUE(session_.HasEntries());
    test::WriteFile(dir_ / "bad.zip", "this is not a package");
    session_.OpenPackage(dir_ / "bad.zip");
    EXPECT_FALSE(session_.HasEntries());
    EXPECT_EQ(session_.RecentFiles().Count(), 1);
    EXPECT_FALSE(session_.RecentSlots().at(0).checked);  // no package with entries now
}

TEST_F(PackageSessionTest, OpenedFilesAndRecentSlotsGoByExtension) {
    const std::string pkg = Package("drop.zip", {{"doc.xml", "<d/>"}});
    const struct {
        std::vector<std::string> dropped;
        std::string recentTag;
        bool listed;
    } cases[] = {
        {{pkg}, "", true}, {{pkg, dir_ / "table.XML"}, "", false},  // listed, then cleared
        {{}, pkg, true},   {{pkg}, dir_ / "loose.xml", false},
        {{pkg}, "", true},  // an empty tag is a slot not yet filled: nothing happens
    };
    for (const auto& c : cases) {
        session_.ClearListing();
        session_.OpenFiles(c.dropped);
        session_.OpenRecentFile(c.recentTag);
        EXPECT_EQ(session_.HasEntries(), c.listed) << c.recentTag;
    }
}

TEST_F(PackageSessionTest, StartUpTellsAMissingKeyAndHandlesArgumentsUntilUnloaded) {
    const std::string pkg = Package("US1.ZIP", {{"doc.xml", "<d/>"}});
    for (const bool closeDuringMessage : {false, true}) {
        PackageSession session(SessionPorts{launcher_, messages_});
        messages_.texts.clear();
        messages_.onShow = [&] {
            if (closeDuringMessage) {
                session.Unload();
            }
        };
        session.Load({"", "x.zip.bak", pkg, "noext"});
        EXPECT_EQ(messages_.texts,
                  std::vector<std::string>{"Tessel Viewer: Fatal Error: Could not find Internet "
                                           "Explorer."});
        EXPECT_EQ(session.HasEntries(), !closeDuringMessage);
        EXPECT_EQ(session.CatalogFileName(), "TVWcatalog.txt");
    }
}

TEST_F(PackageSessionTest, LookupsLaunchWhatTheSearchTextNames) {
    session_.m_ChromePath = "/usr/bin/chromium";
    session_.m_GooglePatentsUrl = "https://patents.test/patent/US";
    EXPECT_EQ(session_.SearchText(), "10,000,000");
    session_.SetSearchText("US 6,123,456");
    EXPECT_EQ(observer_.events, std::vector<std::string>{"search"});
    session_.RunLookup(LookupCommand::GooglePatents);
    EXPECT_EQ(launcher_.launches,
              std::vector<std::string>{"/usr/bin/chromium|https://patents.test/patent/US6123456|" +
                                       std::string(kLookupWorkingDirectory)});
}

TEST_F(PackageSessionTest, SettersSaveAtOnceAndAFailedSaveIsToldOnce) {
    session_.Set(SettingId::ChromePath, "/usr/bin/chromium");
    EXPECT_NE(test::ReadFile(dir_ / "user.reg").find("\"ChromePath\"=\"/usr/bin/chromium\""),
              std::string::npos);
    EXPECT_TRUE(messages_.texts.empty());

    test::WriteFile(dir_ / "blocker", "x");  // a hive below a plain file cannot be written
    setenv("TESSEL_REGISTRY_FILE", (dir_ / "blocker/user.reg").c_str(), 1);
    session_.Set(SettingId::IE11Path, "/usr/bin/firefox");
    ASSERT_EQ(messages_.texts.size(), 1u);
    EXPECT_NE(messages_.texts[0].find(dir_ / "blocker/user.reg"), std::string::npos);
    EXPECT_FALSE(session_.SaveSettings());
}

TEST_F(PackageSessionTest, RecentSlotsEscapeAccessKeysAndCheckTheListedPackage) {
    const std::string pkg = Package("R&D.zip", {{"doc.xml", "<d/>"}});
    session_.OpenPackage(pkg);
    const std::vector<RecentSlot> recent = session_.RecentSlots();
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_EQ(recent[0].caption, "&1) " + dir_.Path() + "/R&&D.zip");
    EXPECT_EQ(recent[0].path, pkg);
    EXPECT_TRUE(recent[0].checkable && recent[0].checked);
}

TEST_F(PackageSessionTest, ProgressIsPaintedAtMostOncePerInterval) {
    for (const auto& [interval, expected] :
         {std::pair{std::chrono::milliseconds(0), std::vector<bool>{true, true, true}},
          std::pair{std::chrono::milliseconds(3600000), std::vector<bool>{true, false, false}}}) {
        PackageSession session(SessionPorts{launcher_, messages_});
        Recorder observer;
        session.SetObserver(&observer);
        session.SetProgressPaintInterval(interval);
        for (const char* msg : {"a", "b", "c"}) {
            session.Archive().RaiseProgress(msg);
        }
        EXPECT_EQ(observer.paints, expected);
    }
}

TEST_F(PackageSessionTest, RenderingExtractsThroughTheGivenExtractor) {
    FakeExtractor fake;
    PackageSession withFake(SessionPorts{launcher_, messages_, &fake});
    EXPECT_EQ(&withFake.Extractor(), &fake);
    // Without one, rendering extracts with the session's own archive component.
    session_.OpenPackage(Package("own.zip", {{"doc.xml", "<d/>"}, {"b/c.tif", "II*"}}));
    render::PackageExtractor& own = session_.Extractor();
    ASSERT_EQ(own.FileCount(), 2);
    EXPECT_TRUE(own.Extract({2}, dir_ / "out/").Ok());
    EXPECT_EQ(test::ReadFile(dir_ / "out/c.tif"), "II*");  // folder names not used by default
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out/doc.xml"));
}

// Rendering through the session: the render library's own tests hold the rules; here
// the session's part (ports, state handed back, the busy guard, a close mid-wait).
class SessionRenderTest : public PackageSessionTest {
  protected:
    void SetUp() override {
        PackageSessionTest::SetUp();
        rendering_.SetObserver(&seen_);
        rendering_.m_IE11Path = "/opt/open";
    }
    std::string Working() const { return dir_ / "Documents/MyTessel"; }
    render::fake::Recorder rec_;
    Recorder seen_;
    PackageSession rendering_{SessionPorts{rec_, rec_, nullptr, &rec_}};
};

TEST_F(SessionRenderTest, OpeningRendersAndARenderAgainShowsTheRawView) {
    const std::string doc =
        "<?xml version=\"1.0\"?>\n<p>\n<doc-number>0123456</doc-number>\n</p>\n";
    const std::string pkg = Package("US1.zip", {{"US1.xml", doc}, {"US1-D1.TIF", "II*"}});
    rendering_.m_NavigationOption = 1;
    rendering_.OpenPackage(pkg);
    const std::string w = Working();
    EXPECT_EQ(rec_.events,
              (std::vector<std::string>{
                  "tool Perl/PathMend \"" + w + "/US1/US1.xml\" \"DTDs/" + "TVWcatalog-toc.txt\"",
                  "open " + w + "/US1/US1.xml"}));
    EXPECT_EQ(rendering_.SearchText(), "0123456");
    EXPECT_EQ(std::count(seen_.events.begin(), seen_.events.end(), "search"), 1);
    EXPECT_EQ(rendering_.CatalogFileName(), "TVWcatalog-toc.txt");
    EXPECT_TRUE(std::filesystem::exists(w + "/US1/US1-D1.TIF"));
    EXPECT_FALSE(rendering_.RawSourceView);

    rec_.events.clear();
    rendering_.RenderPackage();  // "View Raw XML Source..."
    EXPECT_TRUE(rendering_.RawSourceView);
    EXPECT_EQ(rec_.events, std::vector<std::string>{"open " + w + "/US1[1]/US1.xml"});
    EXPECT_FALSE(rendering_.Busy());
}

TEST_F(SessionRenderTest, RenderSelectionShowsTheRowItPicked) {
    rendering_.OpenPackage(Package("US2.zip", {{"US2.xml", "<p/>"}, {"US2-s00001.xml", "<s/>"}}));
    rec_.events.clear();
    rendering_.RenderSelection();
    EXPECT_EQ(rendering_.Selection(), std::vector<int>{1});
    EXPECT_EQ(seen_.events.back(), "selection");
    // The package folder the render prepared.
    EXPECT_EQ(rec_.events, std::vector<std::string>{"open " + Working() + "/US2/US2.xml"});
}

// A tool wait pumps the window's events: commands that open or render are refused
// then, lookups are not, and a close winds the command up before it goes ahead.
TEST_F(SessionRenderTest, DuringAToolWaitCommandsAreRefusedAndACloseWaits) {
    const std::string pkg = Package("US3.zip", {{"US3.xml", "<p/>"}});
    const std::string other = Package("US4.zip", {{"US4.xml", "<p/>"}});
    rendering_.SetToolTimeOut(1500);
    bool closeNow = true;
    rec_.onRun = [&](const std::string&) {
        EXPECT_TRUE(rendering_.Busy());
        rendering_.OpenPackage(other);
        rendering_.OpenFiles({other});
        rendering_.OpenRecentFile(other);
        rendering_.OpenChosenFiles(dir_.Path(), {"US4.zip"});
        rendering_.RenderPackage();
        rendering_.RenderSelection();
        rendering_.OpenXmlDocument(dir_ / "x.xml", Working());
        rendering_.TransformXmlFile(dir_ / "x.xml", "", Working());
        rendering_.RunLookup(LookupCommand::SearchGrantex);
        closeNow = rendering_.RequestClose();
    };
    rec_.runResult = ToolWaitStatus(kErrToolAbandoned);  // the window's pump, a close pending
    rendering_.OpenPackage(pkg);
    EXPECT_FALSE(closeNow);
    EXPECT_EQ(std::count(seen_.events.begin(), seen_.events.end(), "refused"), 8);
    EXPECT_EQ(seen_.events.back(), "close");
    ASSERT_EQ(rec_.tools.size(), 1u);
    EXPECT_EQ(rec_.timeOuts, std::vector<long>{1500});
    // Only the lookup reached the browser: the package's document was not opened.
    ASSERT_EQ(rec_.launches.size(), 1u);
    EXPECT_EQ(rec_.launches[0].target.find(Working()), std::string::npos);
    EXPECT_EQ(rendering_.Listing().at(0).listedName, "US3.xml");
    EXPECT_TRUE(rendering_.RequestClose());
    rendering_.OpenPackage(other);  // the window is going: nothing new starts
    EXPECT_EQ(rendering_.Listing().at(0).listedName, "US3.xml");
}

}  // namespace
}  // namespace tv
