// The archive component cUnzip and its library binding mUnzip: on real packages, and
// through the typed seam with a scripted library in the real one's place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "archive/cUnzip.h"
#include "archive/mUnzip.h"
#include "archive/unzip/unzip.h"
#include "platform/error.h"
#include "tests/archive/unzip/zip_fixtures.h"

namespace tv {
namespace {

using test::ReadFile;
using test::TreeOf;
using test::WriteZip;
using test::ZipItem;
using ::testing::ElementsAre;

// Records every event and answers as told.
struct Sink : cUnzipEvents {
    void Cancel(const std::string& sMsg, bool& bCancel) override {
        served.push_back(sMsg);
        bCancel = served.size() == cancelAt;
    }
    void OverWritePrompt(unzip::OverwriteQuery& query) override {
        prompted.push_back(query.path);
        if (!answers.empty()) {
            query.answer = answers.front();
            answers.erase(answers.begin());
        }
        if (throwOnPrompt) {
            throw std::runtime_error("handler failed");
        }
    }
    void PasswordRequest(unzip::PasswordQuery& query) override {
        ++passwordRequests;
        query.password = password;
        query.given = true;
    }
    void Progress(int lCount, const std::string& sMsg) override {
        EXPECT_EQ(lCount, 1);
        progress.push_back(sMsg);
    }

    std::vector<std::string> served, prompted, progress;
    std::vector<unzip::OverwriteAnswer> answers;
    bool throwOnPrompt = false;
    std::size_t cancelAt = 0;
    int passwordRequests = 0;
    std::string password;
};

class Component : public ::testing::Test {
  protected:
    void SetUp() override {
        unzip.SetEvents(&sink);
        unzip.SetUnzipFolder(out);
        unzip.SetUseFolderNames(true);
    }
    void Open(const std::vector<ZipItem>& items) {
        WriteZip(zip, items);
        unzip.SetZipFile(zip);
        EXPECT_EQ(unzip.Directory(), 0);
    }

    test::TempFolder tmp;
    std::string zip = tmp / "pkg.zip";
    std::string out = tmp / "out";
    Sink sink;
    cUnzip unzip;
};

TEST_F(Component, DirectoryFillsTheTableAndAppendsWhenRepeated) {
    Open({{"doc.xml", std::string(1000, 'a')}, {"img/"}, {"img/D00001.tif", "tiff", true}});
    ASSERT_EQ(unzip.FileCount(), 2);  // no row for the folder entry
    EXPECT_EQ(unzip.Filename(1), "doc.xml");
    EXPECT_EQ(unzip.FileDirectory(1), "");
    EXPECT_EQ(unzip.FileSize(1), 1000);  // the uncompressed size
    EXPECT_LT(unzip.FilePackedSize(1), 100);
    EXPECT_EQ(unzip.Filename(2), "D00001.tif");
    EXPECT_EQ(unzip.FileDirectory(2), "img");
    EXPECT_EQ(unzip.FileCRC(2), 0x15691034);  // CRC-32 of "tiff"

    unzip.Directory();
    EXPECT_EQ(unzip.FileCount(), 4);
    EXPECT_EQ(unzip.Filename(3), "doc.xml");
    using ::testing::Property;
    for (int i : {0, 5, -1}) {
        EXPECT_THAT(
            [&] { unzip.Filename(i); },
            ::testing::Throws<AppError>(::testing::AllOf(
                Property(&AppError::Number, 9), Property(&AppError::Source, ErrorSource("cUnzip")),
                Property(&AppError::Description, "Subscript out of range"))))
            << i;
    }
    EXPECT_THROW(unzip.SetFileSelected(5, false), AppError);
    unzip.SetZipFile(zip);
    EXPECT_EQ(unzip.FileCount(), 0);
}

TEST_F(Component, AddEntryRulesAndPackedSizeArithmetic) {
    const EntryDateTime date{2020, 1, 2, 3, 4, 0};
    auto add = [&](std::string name, std::int64_t size, std::int32_t ratio) {
        unzip.AddEntry(
            {.name = std::move(name), .size = size, .compressionRatio = ratio, .date = date});
    };
    add("", 1, 0);
    add(std::string(1, '\0'), 1, 0);
    EXPECT_EQ(unzip.FileCount(), 0);
    add("a", 1000, 62);
    add("b", 1001, -62);
    add("c", 3'000'000'000LL, 101);
    add("d", INT64_MAX, 32767);
    EXPECT_EQ(unzip.FilePackedSize(1), 620);
    EXPECT_EQ(unzip.FilePackedSize(2), -620);  // truncated toward zero
    EXPECT_EQ(unzip.FilePackedSize(3), 3'030'000'000LL);
    EXPECT_EQ(unzip.FilePackedSize(4), INT64_MAX);
    EXPECT_EQ(unzip.FileDate(1), date);
}

TEST_F(Component, UnzipPassesTheSelectedEntriesOrNoneWhenAllAreSelected) {
    Open({{"doc.xml", "1"}, {"empty/"}, {"img/D00001.tif", "2"}, {"seq.txt", "3"}});
    unzip.SetFileSelected(2, false);
    EXPECT_TRUE(unzip.Unzip());
    // Only the named entries: the folder-only entry was not named, so not created.
    EXPECT_THAT(TreeOf(out), ElementsAre("doc.xml", "seq.txt"));

    std::filesystem::remove_all(out);
    unzip.SetFileSelected(2, true);
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_THAT(TreeOf(out), ElementsAre("doc.xml", "empty", "img", "img/D00001.tif", "seq.txt"));
    EXPECT_THAT(sink.progress, ::testing::Contains("  extracting: img/D00001.tif"));

    cUnzip none;
    EXPECT_FALSE(none.Unzip());  // no package named
    unzip.SetZipFile(tmp / "missing.zip");
    EXPECT_FALSE(unzip.Unzip());  // the library's failure is no success
}

TEST_F(Component, ASelectedNameSelectsThatEntryAlone) {
    Open({{"*.xml", "1"},
          {"secret.xml", "2"},
          {"a[1].txt", "3"},
          {"a1.txt", "4"},
          {"b?", "5"},
          {"bb", "6"}});
    for (int i : {2, 4, 6}) {
        unzip.SetFileSelected(i, false);
    }
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_THAT(TreeOf(out), ElementsAre("*.xml", "a[1].txt", "b?"));
}

TEST_F(Component, ManyThousandSelectedNamesWork) {
    std::vector<ZipItem> items;
    for (int i = 0; i < 2500; ++i) {
        items.push_back({"f" + std::to_string(i) + ".txt", "x", true});
    }
    Open(items);
    unzip.SetFileSelected(1, false);
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(TreeOf(out).size(), 2499u);
}

TEST_F(Component, ProgressArrivesInOrderAndCancelStops) {
    Open({{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}});
    EXPECT_THAT(sink.progress, ElementsAre("Archive:  " + zip));
    sink.progress.clear();
    sink.served.clear();
    sink.cancelAt = 2;
    EXPECT_FALSE(unzip.Unzip());
    EXPECT_THAT(sink.served, ElementsAre("1.txt", "2.txt"));
    EXPECT_THAT(sink.progress, ElementsAre("Archive:  " + zip, "  extracting: 1.txt",
                                           "error: cancelled at 2.txt"));
    EXPECT_THAT(TreeOf(out), ElementsAre("1.txt"));
}

TEST_F(Component, OverwritePromptAnswersReachTheLibrary) {
    Open({{"a.txt", "new"}, {"b.txt", "new"}});
    std::filesystem::create_directories(out);
    test::WriteFile(out + "/a.txt", "old");
    test::WriteFile(out + "/b.txt", "old");
    unzip.SetPromptToOverwrite(true);
    sink.answers = {unzip::OverwriteAnswer::kReplace};  // then no answer: kept
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_THAT(sink.prompted, ElementsAre(out + "/a.txt", out + "/b.txt"));
    EXPECT_EQ(ReadFile(out + "/a.txt") + ReadFile(out + "/b.txt"), "newold");
}

TEST_F(Component, PasswordRequestIsRaisedOncePerCallWithoutAnAnswer) {
    Open({test::Encrypted("a.txt", "secret a", ZIP_EM_AES_128),
          test::Encrypted("b.txt", "secret b", ZIP_EM_TRAD_PKWARE)});
    EXPECT_TRUE(unzip.FileEncrypted(1));
    EXPECT_FALSE(unzip.Unzip());
    EXPECT_EQ(sink.passwordRequests, 1);
    EXPECT_FALSE(unzip.Unzip());
    EXPECT_EQ(sink.passwordRequests, 2);  // asked again in the next call
    EXPECT_FALSE(std::filesystem::exists(out + "/a.txt"));

    sink.password = "  pw ";  // trimmed
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(ReadFile(out + "/a.txt") + ReadFile(out + "/b.txt"), "secret asecret b");
}

// The package was replaced since it was listed: a chosen entry is found by its name,
// never taken from its old place, and one that is gone is not extracted.
TEST_F(Component, AStaleListingNeverExtractsAnotherEntryInItsPlace) {
    Open({{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", "3"}});
    WriteZip(zip, {{"b.txt", "2"}, {"a.txt", "1"}});
    unzip.SetFileSelected(2, false);
    EXPECT_FALSE(unzip.Unzip());  // c.txt is gone
    EXPECT_THAT(sink.progress, ::testing::Contains("caution: not matched: c.txt"));
    EXPECT_THAT(TreeOf(out), ElementsAre("a.txt"));
    EXPECT_EQ(ReadFile(out + "/a.txt"), "1");
}

// A scripted library: a listing reports `listed`; any other call plays `script` and
// ends with `result`. Every request is kept.
struct FakeLibrary : UnzipLibrary {
    Status Run(const unzip::Request& request, unzip::Listener& listener) override {
        requests.push_back(request);
        if (request.job == unzip::Job::kList) {
            for (const unzip::ListedEntry& e : listed) {
                listener.Listed(e);
            }
            return {};
        }
        script(listener);
        return result;
    }
    std::vector<unzip::ListedEntry> listed;
    std::function<void(unzip::Listener&)> script = [](unzip::Listener&) {};
    Status result;
    std::vector<unzip::Request> requests;
};

std::vector<std::string> Picked(const unzip::Request& r) {
    std::vector<std::string> out;
    for (const unzip::EntryPick& p : r.picks) {
        out.push_back(std::to_string(p.index) + ":" + p.name);
    }
    return out;
}

TEST(Seam, ListedEntriesBecomeRowsAndExtractionNamesExactlyTheChosenOnes) {
    FakeLibrary library;
    library.listed = {{.index = 0,
                       .name = "doc.xml",
                       .size = 5000,
                       .factor = 0x10002,
                       .year = 95,
                       .month = 3,
                       .day = 5,
                       .hour = 14,
                       .minute = 30,
                       .encrypted = true,
                       .method = "Deflated",
                       .crc = 0xffffffffu},
                      {.index = 2, .name = "img/D1.tif", .year = 5},
                      {.index = 3, .name = "a\\b[1].xml", .year = 2024}};
    cUnzip unzip(library);
    unzip.SetZipFile("/p.zip");
    unzip.SetUseFolderNames(true);
    unzip.Directory();
    ASSERT_EQ(unzip.FileCount(), 3);
    EXPECT_EQ(unzip.FileSize(1), 5000);
    EXPECT_EQ(unzip.FileCompressionRatio(1), 2);  // low 16 bits
    EXPECT_EQ(unzip.FileDate(1), (EntryDateTime{1995, 3, 5, 14, 30, 0}));
    EXPECT_EQ(unzip.FileDate(2).year, 2005);
    EXPECT_EQ(unzip.FileCRC(1), -1);
    EXPECT_TRUE(unzip.FileEncrypted(1));
    EXPECT_EQ(unzip.FileDirectory(2) + "|" + unzip.Filename(2), "img|D1.tif");
    EXPECT_EQ(unzip.FileDirectory(3) + "|" + unzip.Filename(3), "a|b[1].xml");

    EXPECT_TRUE(unzip.Extract({3, 1}, "/out/").Ok());
    const unzip::Request& r = library.requests.back();
    EXPECT_EQ(r.job, unzip::Job::kExtract);
    EXPECT_EQ(r.package + " " + r.folder, "/p.zip /out/");
    EXPECT_TRUE(r.options.useFolderNames);
    EXPECT_TRUE(r.includes.empty());
    EXPECT_THAT(Picked(r), ElementsAre("0:doc.xml", "3:a\\b[1].xml"));  // as listed

    EXPECT_TRUE(unzip.Extract({1, 2, 3, 2}, "/out/").Ok());
    EXPECT_TRUE(library.requests.back().picks.empty());  // every entry: the whole package
    const std::size_t calls = library.requests.size();
    EXPECT_TRUE(unzip.Extract({}, "/out/").Ok());
    EXPECT_EQ(library.requests.size(), calls);  // nothing to do, no call

    unzip.SetTestZip(true);
    library.result = Status(UZ_WARN, "unzip", "done with warnings");
    const Status failed = unzip.Extract({2}, "/out/");
    EXPECT_EQ(library.requests.back().job, unzip::Job::kTest);
    EXPECT_EQ(failed.Number(), kErrAccess);  // a warning is no success either
    EXPECT_EQ(failed.Description(), "The package /p.zip could not be extracted into /out/");
    EXPECT_FALSE(unzip.Unzip());
}

TEST(Seam, MessagesAndQuestionsReachTheEventsAsQueryObjects) {
    FakeLibrary library;
    library.listed = {{.index = 0, .name = "a.txt"}};
    cUnzip unzip(library);
    Sink sink;
    unzip.SetEvents(&sink);
    unzip.SetZipFile("/p.zip");
    unzip.Directory();
    std::vector<std::string> outcomes;
    library.script = [&](unzip::Listener& l) {
        l.Message("x");                      // too short to be a message
        l.Message(std::string(32000, 'y'));  // too long
        l.Message("ab\\c");
        outcomes.push_back(l.Proceed("a") ? "go" : "stop");  // too short to be a name
        outcomes.push_back(l.Proceed("dir\\1.txt") ? "go" : "stop");
        for (int i = 0; i < 2; ++i) {
            unzip::OverwriteQuery q;
            q.path = "/out/a.txt";
            sink.throwOnPrompt = i == 1;
            l.Ask(q);
            outcomes.push_back(q.answer == unzip::OverwriteAnswer::kReplaceAll ? "all" : "keep");
        }
        for (int i = 0; i < 3; ++i) {
            unzip::PasswordQuery q;
            q.entry = "a.txt";
            l.Ask(q);
            outcomes.push_back(q.given ? "[" + q.password + "]" : "none");
            sink.password.clear();
        }
    };
    sink.cancelAt = 1;
    sink.answers = {unzip::OverwriteAnswer::kReplaceAll, unzip::OverwriteAnswer::kReplaceAll};
    sink.password = "  pw ";
    sink.progress.clear();
    unzip.Unzip();
    EXPECT_THAT(sink.progress, ElementsAre("ab/c"));
    EXPECT_THAT(sink.served, ElementsAre("dir/1.txt"));
    // The second prompt's handler throws: that counts as no answer. After a refused
    // password the call asks no more.
    EXPECT_THAT(outcomes, ElementsAre("go", "stop", "all", "keep", "[pw]", "none", "none"));
    EXPECT_EQ(sink.passwordRequests, 2);
}

}  // namespace
}  // namespace tv
