// The unzip library through its C interface: listing, names, selection, extraction
// options, overwrite answers, passwords, packages of the zip tool.
#include <dirent.h>
#include <sys/stat.h>
#include <zip.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <filesystem>

#include "tests/archive/zip_fixtures.h"

namespace tv::test {
namespace {

using ::testing::ElementsAre;

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

const std::string kText(1000, 'a');

class UnzipLibrary : public ::testing::Test {
  protected:
    TempFolder tmp;
    std::string zip = tmp / "pkg.zip";
    std::string out = tmp / "out";
};

TEST_F(UnzipLibrary, ListingReportsEachFileEntryWithItsFields) {
    const std::time_t when = LocalTime(2021, 3, 5, 14, 30);
    WriteZip(zip, {{"doc.xml", kText, false, when},
                   {"img/"},
                   {"img/D00001.tif", "tiff", true, when},
                   ZipItem("secret.xml", kText).Encrypt(ZIP_EM_AES_256, "pw")});
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), 0);
    ASSERT_EQ(run.listed.size(), 3u);  // no folder entry
    const LibraryRun::Entry& doc = run.listed[0];
    EXPECT_EQ(doc.name, "doc.xml");
    EXPECT_EQ(doc.size, 1000u);
    EXPECT_EQ(doc.factor, (doc.compressed * 100 + 500) / 1000);
    EXPECT_EQ(doc.method, "Deflated");
    EXPECT_EQ(doc.crc, Crc32(kText));
    EXPECT_EQ(doc.crypt & 0x40, 0);
    EXPECT_THAT(std::vector<unsigned>({doc.year, doc.month, doc.day, doc.hour, doc.minute}),
                ElementsAre(2021, 3, 5, 14, 30));
    EXPECT_EQ(run.listed[1].name, "img/D00001.tif");
    EXPECT_EQ(run.listed[1].method, "Stored");
    EXPECT_EQ(run.listed[1].factor, 100u);
    EXPECT_NE(run.listed[2].crypt & 0x40, 0);
    EXPECT_TRUE(run.passwordAsked.empty());
    EXPECT_EQ(run.printed.at(0), "Archive:  " + zip);
    // The service callback's number is the name's byte length with its NUL.
    EXPECT_THAT(run.servedSizes, ElementsAre(8u, 15u, 11u));
}

TEST_F(UnzipLibrary, NamesArriveAsUtf8WithSlashSeparators) {
    WriteFile(zip, RawZip({{"\x81"
                            "ber.txt",
                            "1"},
                           {"gr\xc3\xbc\xc3\x9f.txt", "2", std::nullopt, true},
                           {"dir\\file.txt", "3"}}));
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), 0);
    ASSERT_EQ(run.listed.size(), 3u);
    EXPECT_EQ(run.listed[0].name,
              "\xc3\xbc"
              "ber.txt");  // CP437 0x81 is u-umlaut
    EXPECT_EQ(run.listed[1].name, "gr\xc3\xbc\xc3\x9f.txt");
    EXPECT_EQ(run.listed[2].name, "dir/file.txt");
}

TEST_F(UnzipLibrary, IncludeAndExcludePatternsSelectEntries) {
    WriteZip(zip, {{"a.xml", "a"}, {"b.xml", "b"}, {"img/1.tif", "1"}, {"img/[2].tif", "2"}});
    auto names = [&](std::vector<std::string> in, std::vector<std::string> ex, int ignoreCase,
                     int expected) {
        LibraryRun run;
        run.includes = std::move(in);
        run.excludes = std::move(ex);
        run.dcl.C_flag = ignoreCase;
        EXPECT_EQ(run.Run(zip), expected);
        std::vector<std::string> got;
        for (const auto& e : run.listed) {
            got.push_back(e.name);
        }
        return got;
    };
    EXPECT_THAT(names({"*.xml"}, {}, 0, 0), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"img/*"}, {"*]*"}, 0, 0), ElementsAre("img/1.tif"));
    EXPECT_THAT(names({"img/[2].tif"}, {}, 0, 0), ElementsAre("img/[2].tif"));  // literally
    EXPECT_THAT(names({"[ab].xml", "missing"}, {}, 0, 1), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"A.XML"}, {}, 0, 11), ElementsAre());
    EXPECT_THAT(names({"A.XML"}, {}, 1, 0), ElementsAre("a.xml"));
    LibraryRun run;
    run.includes = {"nothing"};
    EXPECT_EQ(run.Run(zip, out), 11);
    EXPECT_TRUE(run.Printed("caution: not matched: nothing"));
}

TEST_F(UnzipLibrary, ExtractsWithOrWithoutFolders) {
    WriteZip(zip, {{"doc.xml", kText}, {"img/"}, {"img/D1.tif", "tiff", true}});
    LibraryRun keep;
    keep.dcl.ndflag = 1;
    EXPECT_EQ(keep.Run(zip, out), 0);
    EXPECT_THAT(TreeOf(out), ElementsAre("doc.xml", "img", "img/D1.tif"));
    EXPECT_EQ(ReadFile(out + "/img/D1.tif"), "tiff");
    EXPECT_THAT(keep.printed, ElementsAre("Archive:  " + zip, "  inflating: doc.xml",
                                          "   creating: img/", "  extracting: img/D1.tif"));
    LibraryRun flat;
    EXPECT_EQ(flat.Run(zip, tmp / "flat"), 0);
    EXPECT_THAT(TreeOf(tmp / "flat"), ElementsAre("D1.tif", "doc.xml"));
    EXPECT_EQ(ReadFile(tmp / "flat/doc.xml"), kText);
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
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);  // no set-user or execute bits
    EXPECT_NEAR(static_cast<double>(st.st_mtime), static_cast<double>(when), 2.0);
}

TEST_F(UnzipLibrary, ExistingFilesFollowTheOverwritePolicy) {
    WriteZip(zip, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}});
    auto run = [&](int prompt, int overwrite, std::vector<int> answers) {
        std::filesystem::create_directories(out);
        for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
            WriteFile(out + "/" + n, "-");
        }
        LibraryRun r;
        r.dcl.PromptToOverwrite = prompt;
        r.dcl.noflag = overwrite;
        r.replaceAnswers = std::move(answers);
        EXPECT_EQ(r.Run(zip, out), 0);
        return std::to_string(r.replaceAsked.size()) + ReadFile(out + "/a.txt") +
               ReadFile(out + "/b.txt") + ReadFile(out + "/c.txt");
    };
    EXPECT_EQ(run(0, 0, {}), "0---");  // neither prompting nor overwriting: kept
    EXPECT_EQ(run(1, 0, {100, 102}), "3-B-");
    EXPECT_EQ(run(1, 0, {103}), "1ABC");
    EXPECT_EQ(run(1, 0, {104}), "1---");
    EXPECT_EQ(run(0, 1, {}), "0ABC");
}

TEST_F(UnzipLibrary, EncryptedEntriesUseThePasswordCallback) {
    WriteZip(zip, {{"plain.txt", "plain"},
                   ZipItem("trad.txt", "traditional").Encrypt(ZIP_EM_TRAD_PKWARE, "secret"),
                   ZipItem("aes.txt", "aes").Encrypt(ZIP_EM_AES_256, "secret")});
    LibraryRun good;
    good.passwords = {"secret"};
    EXPECT_EQ(good.Run(zip, out), 0);
    EXPECT_THAT(good.passwordAsked, ElementsAre("trad.txt"));  // then remembered
    EXPECT_EQ(ReadFile(out + "/trad.txt") + ReadFile(out + "/aes.txt"), "traditionalaes");

    LibraryRun wrong;  // asked three times, then skipped
    wrong.includes = {"aes.txt"};
    wrong.passwords = {"bad1", "bad2", "bad3", "bad4"};
    EXPECT_EQ(wrong.Run(zip, tmp / "wrong"), 82);
    EXPECT_EQ(wrong.passwordAsked.size(), 3u);
    EXPECT_TRUE(wrong.Printed("skipping: aes.txt  incorrect password"));

    LibraryRun none;
    EXPECT_EQ(none.Run(zip, tmp / "none"), 1);  // plain.txt worked, the others skipped
    EXPECT_THAT(TreeOf(tmp / "none"), ElementsAre("plain.txt"));
    EXPECT_TRUE(none.Printed("skipping: trad.txt  no password"));
}

// Traditional encryption, 64-bit records and streamed output with data descriptors
// from the zip tool all pass the layout check and extract.
TEST_F(UnzipLibrary, ReadsPackagesOfTheZipTool) {
    if (std::system("command -v zip >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "zip is not installed";
    }
    WriteFile(tmp / "doc.xml", "<doc/>");
    WriteFile(tmp / "big.txt", kText);
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
        EXPECT_EQ(ReadFile(out + name + "/big.txt"), kText) << name;
    }
}

TEST_F(UnzipLibrary, TestModeChecksEntriesAndWritesNothing) {
    WriteZip(zip, {{"a.txt", kText}});
    LibraryRun good, bad;
    good.dcl.ntflag = bad.dcl.ntflag = 1;
    EXPECT_EQ(good.Run(zip), 0);
    EXPECT_TRUE(good.Printed("    testing: a.txt   OK"));
    PatchSingleEntry(zip, 0x12345678u, std::nullopt);
    EXPECT_EQ(bad.Run(zip), 2);
    EXPECT_TRUE(bad.Printed("error: a.txt: bad CRC"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(UnzipLibrary, EmptyArchiveBadParametersAndNoDescriptorLeft) {
    WriteFile(zip, RawZip({}));
    LibraryRun empty;
    EXPECT_EQ(empty.Run(zip), 1);
    EXPECT_TRUE(empty.Printed("holds no entries"));
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, nullptr, nullptr), 10);
    DCL noName{};
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &noName, nullptr), 10);

    auto openFds = [] {
        int n = 0;
        DIR* d = opendir("/proc/self/fd");
        while (d != nullptr && readdir(d) != nullptr) {
            ++n;
        }
        closedir(d);
        return n;
    };
    WriteZip(zip, {{"a.txt", "a"}});
    WriteFile(tmp / "junk.zip", "junk");
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
