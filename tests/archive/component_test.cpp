// The archive component cUnzip and its library binding mUnzip, on real packages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/cUnzip.h"
#include "archive/mUnzip.h"
#include "platform/error.h"
#include "tests/platform/unzip/zip_fixtures.h"

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
    void OverWritePrompt(const std::string& sFile, int& eResponse) override {
        prompted.push_back(sFile);
        if (!answers.empty()) {
            eResponse = answers.front();
            answers.erase(answers.begin());
        }
    }
    void PasswordRequest(std::string& sPassword, bool& bCancel) override {
        ++passwordRequests;
        sPassword = password;
        bCancel = false;
    }
    void Progress(int lCount, const std::string& sMsg) override {
        EXPECT_EQ(lCount, 1);
        progress.push_back(sMsg);
    }

    std::vector<std::string> served, prompted, progress;
    std::vector<int> answers;
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
    unzip.AddEntry("", "", date, 1, 0, false, 0, "Stored");
    unzip.AddEntry(std::string(1, '\0'), "", date, 1, 0, false, 0, "Stored");
    EXPECT_EQ(unzip.FileCount(), 0);
    unzip.AddEntry("a", "", date, 1000, 0, false, 62, "Deflated");
    unzip.AddEntry("b", "", date, 1001, 0, false, -62, "Deflated");
    unzip.AddEntry("c", "", date, 3'000'000'000LL, 0, false, 101, "Deflated");
    unzip.AddEntry("d", "", date, INT64_MAX, 0, false, 32767, "Deflated");
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
    sink.answers = {102};  // then no answer: 100, kept
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

TEST(Binding, SplitEntryName) {
    auto split = [](const char* text) {
        std::string name, folder;
        mUnzip::SplitEntryName(text, name, folder);
        return folder + "|" + name;
    };
    EXPECT_EQ(split("doc.xml"), "|doc.xml");
    EXPECT_EQ(split("a/b/c.xml"), "a/b|c.xml");
    EXPECT_EQ(split("a\\b\\c.xml"), "a/b|c.xml");
    EXPECT_EQ(split("/x"), "|x");
    EXPECT_EQ(split("img/"), "img|");
}

TEST_F(Component, BindingCallbacksConvertWhatTheLibraryPasses) {
    unzip.Directory();  // no package: only makes unzip the current component
    ASSERT_EQ(mUnzip::CurrentUnzip, &unzip);
    sink.progress.clear();

    char one[] = "x";
    std::string big(32000, 'y');
    char two[] = "ab\\c";
    EXPECT_EQ(mUnzip::UnzipPrintCallback(one, 1), 0);
    EXPECT_EQ(mUnzip::UnzipPrintCallback(big.data(), big.size()), 0);
    EXPECT_EQ(mUnzip::UnzipPrintCallback(two, 4), 0);
    EXPECT_THAT(sink.progress, ElementsAre("ab/c"));

    mUnzip::UnzipMessageCallback(5000, 100, 0x10002, 3, 5, 95, 14, 30, ' ', "a/b.xml", "Deflated",
                                 0xfffffffful, 'E');
    mUnzip::UnzipMessageCallback(1, 1, 100, 12, 31, 5, 0, 0, ' ', "c", "Stored", 0, ' ');
    ASSERT_EQ(unzip.FileCount(), 2);
    EXPECT_EQ(unzip.FileSize(1), 5000);           // the first value
    EXPECT_EQ(unzip.FileCompressionRatio(1), 2);  // low 16 bits
    EXPECT_EQ(unzip.FileDate(1), (EntryDateTime{1995, 3, 5, 14, 30, 0}));
    EXPECT_EQ(unzip.FileDate(2).year, 2005);
    EXPECT_EQ(unzip.FileCRC(1), -1);

    // The password goes into the buffer bounded by its size and terminated.
    sink.password = "abcdefgh";
    char buffer[5] = {'#', '#', '#', '#', '#'};
    EXPECT_EQ(mUnzip::UnzipPasswordCallback(buffer, sizeof buffer, "", ""), 0);
    EXPECT_STREQ(buffer, "abcd");
    sink.password.clear();
    EXPECT_EQ(mUnzip::UnzipPasswordCallback(buffer, sizeof buffer, "", ""), 1);

    sink.cancelAt = 1;
    EXPECT_EQ(mUnzip::UnzipServiceCallback("a", 1), 0);  // too short to be a name
    EXPECT_TRUE(sink.served.empty());
}

TEST(Binding, CurrentComponentIsForgottenWhenDestroyed) {
    {
        cUnzip unzip;
        unzip.Directory();
        EXPECT_EQ(mUnzip::CurrentUnzip, &unzip);
    }
    EXPECT_EQ(mUnzip::CurrentUnzip, nullptr);
    char text[] = "no component";
    EXPECT_EQ(mUnzip::UnzipPrintCallback(text, sizeof text - 1), 0);
}

}  // namespace
}  // namespace tv
