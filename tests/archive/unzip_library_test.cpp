// The unzip library through its C interface: listing, selection, extraction options,
// overwrite answers, passwords, cancelling.
#include <dirent.h>
#include <sys/stat.h>
#include <zip.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ctime>
#include <filesystem>

#include "tests/archive/library_recorder.h"
#include "tests/archive/zip_fixtures.h"

namespace tv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::time_t LocalTime(int year, int month, int day, int hour, int minute) {
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::string Compressible() {
    return std::string(1000, 'a');
}

std::string Noise(std::size_t n) {
    std::string s(n, '\0');
    unsigned v = 12345;
    for (char& c : s) {
        v = v * 1103515245u + 12345u;
        c = static_cast<char>(v >> 16);
    }
    return s;
}

class UnzipLibrary : public ::testing::Test {
  protected:
    TempFolder tmp;
    std::string zip = tmp / "pkg.zip";
    std::string out = tmp / "out";
};

TEST_F(UnzipLibrary, ListingReportsEachFileEntryWithItsFields) {
    const std::time_t when = LocalTime(2021, 3, 5, 14, 30);
    WriteZip(zip, {{"doc.xml", Compressible(), false, when},
                   {"img/"},
                   {"img/D00001.tif", Noise(500), true, when}});
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), 0);
    ASSERT_EQ(run.listed.size(), 2u);  // the folder entry is not reported
    const ListedEntry& doc = run.listed[0];
    EXPECT_EQ(doc.name, "doc.xml");
    EXPECT_EQ(doc.size, 1000u);
    EXPECT_LT(doc.compressed, 100u);
    EXPECT_EQ(doc.factor, (doc.compressed * 100 + 500) / 1000);
    EXPECT_EQ(doc.method, "Deflated");
    EXPECT_EQ(doc.crc, Crc32(Compressible()));
    EXPECT_EQ(doc.crypt & 0x40, 0);
    EXPECT_EQ(std::vector<unsigned>({doc.year, doc.month, doc.day, doc.hour, doc.minute}),
              std::vector<unsigned>({2021, 3, 5, 14, 30}));
    EXPECT_EQ(run.listed[1].name, "img/D00001.tif");
    EXPECT_EQ(run.listed[1].method, "Stored");
    EXPECT_EQ(run.listed[1].factor, 100u);
    EXPECT_EQ(run.functions.NumMembers, 2u);
    EXPECT_EQ(run.functions.TotalSize, 1500u);
    EXPECT_EQ(run.printed.at(0), "Archive:  " + zip);
    // The service callback sees each reported entry, with the name's size incl. NUL.
    EXPECT_THAT(run.served, ElementsAre("doc.xml", "img/D00001.tif"));
    EXPECT_THAT(run.servedSizes, ElementsAre(8u, 15u));
}

TEST_F(UnzipLibrary, NamesArriveAsUtf8WithSlashSeparators) {
    WriteFile(zip, RawZip({{"\x81"
                            "ber.txt",
                            "1"},
                           RawItem("gr\xc3\xbc\xc3\x9f.txt", "2").Utf8(),
                           {"dir\\file.txt", "3"}}));
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), 0);
    ASSERT_EQ(run.listed.size(), 3u);
    EXPECT_EQ(run.listed[0].name,
              "\xc3\xbc"
              "ber.txt");  // CP437 0x81 is u-umlaut
    EXPECT_EQ(run.listed[1].name, "gr\xc3\xbc\xc3\x9f.txt");
    EXPECT_EQ(run.listed[2].name, "dir/file.txt");
    EXPECT_EQ(run.listed[0].year, 2025u);
}

TEST_F(UnzipLibrary, EncryptedEntriesAreFlaggedAndListedWithoutPassword) {
    WriteZip(zip, {ZipItem("a.txt", "secret text").Encrypt(ZIP_EM_TRAD_PKWARE, "pw"),
                   ZipItem("b.txt", Compressible()).Encrypt(ZIP_EM_AES_256, "pw")});
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), 0);
    ASSERT_EQ(run.listed.size(), 2u);
    EXPECT_NE(run.listed[0].crypt & 0x40, 0);
    EXPECT_NE(run.listed[1].crypt & 0x40, 0);
    EXPECT_EQ(run.listed[1].method, "Deflated");
    EXPECT_TRUE(run.passwordAsked.empty());
}

TEST_F(UnzipLibrary, IncludeAndExcludePatternsSelectEntries) {
    WriteZip(zip, {{"a.xml", "a"},
                   {"b.xml", "b"},
                   {"img/1.tif", "1"},
                   {"img/2.tif", "2"},
                   {"img/[2].tif", "2"}});
    auto names = [&](std::vector<std::string> in, std::vector<std::string> ex, int cflag,
                     int expected) {
        LibraryRun run;
        run.includes = std::move(in);
        run.excludes = std::move(ex);
        run.dcl.C_flag = cflag;
        EXPECT_EQ(run.Run(zip), expected);
        std::vector<std::string> got;
        for (const ListedEntry& e : run.listed) {
            got.push_back(e.name);
        }
        return got;
    };
    EXPECT_THAT(names({"*.xml"}, {}, 0, 0), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"img/*"}, {"*2.tif", "*]*"}, 0, 0), ElementsAre("img/1.tif"));
    EXPECT_THAT(names({"img/[2].tif"}, {}, 0, 0), ElementsAre("img/2.tif", "img/[2].tif"));
    EXPECT_THAT(names({"[ab].xml", "missing"}, {}, 0, 1), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"A.XML"}, {}, 0, 11), ElementsAre());
    EXPECT_THAT(names({"A.XML"}, {}, 1, 0), ElementsAre("a.xml"));
    LibraryRun run;
    run.includes = {"nothing"};
    EXPECT_EQ(run.Run(zip, out), 11);
    EXPECT_TRUE(run.PrintedContains("caution: not matched: nothing"));
}

TEST_F(UnzipLibrary, ExtractsWithOrWithoutFoldersReportingInOrder) {
    WriteZip(zip, {{"doc.xml", Compressible()}, {"img/"}, {"img/D1.tif", "tiff", true}});
    LibraryRun keep;
    keep.dcl.ndflag = 1;
    EXPECT_EQ(keep.Run(zip, out), 0);
    EXPECT_THAT(TreeOf(out), ElementsAre("doc.xml", "img", "img/D1.tif"));
    EXPECT_EQ(ReadFile(out + "/img/D1.tif"), "tiff");
    EXPECT_THAT(keep.printed, ElementsAre("Archive:  " + zip, "  inflating: doc.xml",
                                          "   creating: img/", "  extracting: img/D1.tif"));

    LibraryRun flat;
    const std::string flatOut = tmp / "flat";
    EXPECT_EQ(flat.Run(zip, flatOut), 0);
    EXPECT_THAT(TreeOf(flatOut), ElementsAre("D1.tif", "doc.xml"));
    EXPECT_EQ(ReadFile(flatOut + "/doc.xml"), Compressible());
}

TEST_F(UnzipLibrary, ExtractedFilesGetOrdinaryPermissionsAndTheEntryTime) {
    const std::time_t when = LocalTime(2019, 7, 1, 8, 15);
    WriteZip(zip, {ZipItem("tool.sh", "#!/bin/sh\n", false, when).Mode(0106755)});
    LibraryRun run;
    EXPECT_EQ(run.Run(zip, out), 0);
    struct stat st {};
    ASSERT_EQ(stat((out + "/tool.sh").c_str(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
    EXPECT_NEAR(static_cast<double>(st.st_mtime), static_cast<double>(when), 2.0);
}

TEST_F(UnzipLibrary, ExistingFilesFollowTheOverwritePolicy) {
    WriteZip(zip, {{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}});
    auto run = [&](int prompt, int overwrite, std::vector<int> answers) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
            WriteFile(out + "/" + n, "old");
        }
        LibraryRun r;
        r.dcl.PromptToOverwrite = prompt;
        r.dcl.noflag = overwrite;
        r.replaceAnswers = std::move(answers);
        EXPECT_EQ(r.Run(zip, out), 0);
        return std::make_pair(r.replaceAsked.size(), ReadFile(out + "/a.txt") + "," +
                                                         ReadFile(out + "/b.txt") + "," +
                                                         ReadFile(out + "/c.txt"));
    };
    using Result = std::pair<std::size_t, std::string>;
    EXPECT_EQ(run(0, 0, {}), Result(0, "old,old,old"));
    EXPECT_EQ(run(1, 0, {100, 102}), Result(3, "old,new b,old"));
    EXPECT_EQ(run(1, 0, {103}), Result(1, "new a,new b,new c"));
    EXPECT_EQ(run(1, 0, {104}), Result(1, "old,old,old"));
    EXPECT_EQ(run(0, 1, {}), Result(0, "new a,new b,new c"));

    LibraryRun asked;
    asked.dcl.PromptToOverwrite = 1;
    asked.Run(zip, out);
    EXPECT_EQ(asked.replaceAsked.at(0), out + "/a.txt");
}

TEST_F(UnzipLibrary, EncryptedEntriesUseThePasswordCallback) {
    WriteZip(zip, {{"plain.txt", "plain"},
                   ZipItem("trad.txt", "traditional").Encrypt(ZIP_EM_TRAD_PKWARE, "secret"),
                   ZipItem("aes.txt", "aes").Encrypt(ZIP_EM_AES_256, "secret")});
    LibraryRun good;
    good.passwords = {"secret"};
    EXPECT_EQ(good.Run(zip, out), 0);
    EXPECT_EQ(good.passwordAsked, std::vector<std::string>{"trad.txt"});  // remembered
    EXPECT_EQ(ReadFile(out + "/trad.txt"), "traditional");
    EXPECT_EQ(ReadFile(out + "/aes.txt"), "aes");

    // A wrong AES password is asked again up to three times, then the entry is skipped.
    LibraryRun wrong;
    wrong.includes = {"aes.txt"};
    wrong.passwords = {"bad1", "bad2", "bad3", "bad4"};
    EXPECT_EQ(wrong.Run(zip, tmp / "wrong"), 82);
    EXPECT_EQ(wrong.passwordAsked.size(), 3u);
    EXPECT_TRUE(wrong.PrintedContains("skipping: aes.txt  incorrect password"));

    LibraryRun none;
    EXPECT_EQ(none.Run(zip, tmp / "none"), 1);  // plain.txt worked, the others skipped
    EXPECT_THAT(TreeOf(tmp / "none"), ElementsAre("plain.txt"));
    EXPECT_TRUE(none.PrintedContains("skipping: trad.txt  no password"));
}

// Packages of the zip tool: traditional encryption, 64-bit records, streamed output
// with data descriptors; all must pass the layout check and extract.
TEST_F(UnzipLibrary, ReadsPackagesOfTheZipTool) {
    if (std::system("command -v zip >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "zip is not installed";
    }
    WriteFile(tmp / "doc.xml", "<doc/>");
    WriteFile(tmp / "big.txt", Compressible());
    const std::string cd = "cd '" + tmp.Path() + "' && ";
    ASSERT_EQ(std::system((cd + "zip -q -P 'p w' enc.zip doc.xml").c_str()), 0);
    ASSERT_EQ(std::system((cd + "zip -q -fz z64.zip doc.xml big.txt").c_str()), 0);
    ASSERT_EQ(std::system((cd + "zip -q - doc.xml big.txt | cat > stream.zip").c_str()), 0);
    LibraryRun enc;
    enc.passwords = {"p w"};
    EXPECT_EQ(enc.Run(tmp / "enc.zip", out + "1"), 0);
    EXPECT_EQ(ReadFile(out + "1/doc.xml"), "<doc/>");
    for (const char* name : {"z64.zip", "stream.zip"}) {
        LibraryRun run;
        EXPECT_EQ(run.Run(tmp / name, out + name), 0) << name;
        EXPECT_EQ(ReadFile(out + name + "/big.txt"), Compressible()) << name;
    }
}

TEST_F(UnzipLibrary, ServiceCallbackCancelsBeforeTheEntry) {
    WriteZip(zip, {{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}});
    LibraryRun run;
    run.cancelAt = 2;
    EXPECT_EQ(run.Run(zip, out), 80);
    EXPECT_THAT(run.served, ElementsAre("1.txt", "2.txt"));
    EXPECT_THAT(TreeOf(out), ElementsAre("1.txt"));
}

TEST_F(UnzipLibrary, TestModeChecksEntriesAndWritesNothing) {
    WriteZip(zip, {{"a.txt", Compressible()}});
    LibraryRun good;
    good.dcl.ntflag = 1;
    EXPECT_EQ(good.Run(zip), 0);
    EXPECT_TRUE(good.PrintedContains("    testing: a.txt   OK"));
    PatchSingleEntry(zip, 0x12345678u, std::nullopt);
    LibraryRun bad;
    bad.dcl.ntflag = 1;
    EXPECT_EQ(bad.Run(zip), 2);
    EXPECT_TRUE(bad.PrintedContains("error: a.txt: bad CRC"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(UnzipLibrary, EmptyArchiveAndBadParameters) {
    WriteFile(zip, RawZip({}));
    LibraryRun empty;
    EXPECT_EQ(empty.Run(zip), 1);
    EXPECT_TRUE(empty.PrintedContains("holds no entries"));
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, nullptr, nullptr), 10);
    DCL noName{};
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &noName, nullptr), 10);
}

TEST_F(UnzipLibrary, LeavesNoDescriptorOpen) {
    WriteZip(zip, {{"a.txt", "a"}});
    WriteFile(tmp / "junk.zip", "junk");
    auto openFds = [] {
        int n = 0;
        DIR* d = opendir("/proc/self/fd");
        while (d != nullptr && readdir(d) != nullptr) {
            ++n;
        }
        closedir(d);
        return n;
    };
    const int before = openFds();
    for (int i = 0; i < 10; ++i) {
        LibraryRun list, extract, junk;
        list.Run(zip);
        extract.Run(zip, out);
        junk.Run(tmp / "junk.zip", out);
    }
    EXPECT_EQ(openFds(), before);
}

}  // namespace
}  // namespace tv::test
