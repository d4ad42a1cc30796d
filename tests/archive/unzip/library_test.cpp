// The unzip library through its C interface (and its typed face): listing, names,
// selection, extraction options, overwrite answers, passwords, packages of the zip tool.
#include <sys/inotify.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/unzip/entry_names.h"
#include "archive/unzip/library.h"
#include "platform/fd.h"
#include "tests/archive/unzip/zip_fixtures.h"

namespace tv::test {
namespace {

using ::testing::ElementsAre;

const std::string kText(1000, 'a');
const std::time_t kWhen = [] {  // 2021-03-05 14:30 local time
    std::tm t{};
    t.tm_year = 121;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 30;
    t.tm_isdst = -1;
    return std::mktime(&t);
}();

std::vector<std::string> Names(const LibraryRun& run) {
    std::vector<std::string> names;
    for (const auto& e : run.listed) {
        names.push_back(e.name);
    }
    return names;
}

class UnzipLibrary : public ::testing::Test {
  protected:
    TempFolder tmp;
    std::string zip = tmp / "pkg.zip", out = tmp / "out";
};

TEST_F(UnzipLibrary, ListingReportsEachFileEntryWithItsFields) {
    WriteZip(zip, {{"doc.xml", kText, false, kWhen},
                   {"img/"},
                   {"img/D00001.tif", "tiff", true},
                   Encrypted("secret.xml", kText, ZIP_EM_AES_256),
                   {"\201ber.txt"},  // CP437 u-umlaut, no UTF-8 flag
                   {"gr\u00fc\u00df.txt"},
                   {"dir\\file.txt"}});
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), UZ_OK);
    EXPECT_THAT(Names(run), ElementsAre("doc.xml", "img/D00001.tif", "secret.xml", "\u00fcber.txt",
                                        "gr\u00fc\u00df.txt", "dir/file.txt"));
    ASSERT_EQ(run.served, Names(run));
    for (std::size_t i = 0; i < run.served.size(); ++i) {  // byte length with the NUL
        EXPECT_EQ(run.servedSizes[i], run.served[i].size() + 1) << run.served[i];
    }
    const LibraryRun::Entry& doc = run.listed[0];
    EXPECT_EQ(doc.size, 1000u);
    EXPECT_EQ(doc.factor, (doc.compressed * 100 + 500) / 1000);
    EXPECT_EQ(doc.method, "Deflated");
    EXPECT_EQ(doc.crc, 0x9a38da03u);  // CRC-32 of kText
    EXPECT_EQ(doc.crypt & 0x40, 0);
    EXPECT_THAT(std::vector<unsigned>({doc.year, doc.month, doc.day, doc.hour, doc.minute}),
                ElementsAre(2021, 3, 5, 14, 30));
    EXPECT_EQ(run.listed[1].method, "Stored");
    EXPECT_EQ(run.listed[1].factor, 100u);
    EXPECT_NE(run.listed[2].crypt & 0x40, 0);
    EXPECT_TRUE(run.passwordAsked.empty());
    EXPECT_EQ(run.printed.at(0), "Archive:  " + zip);
}

// A listing reads the central directory itself; it must report what libzip reads.
TEST_F(UnzipLibrary, ListingAgreesWithLibzip) {
    WriteZip(zip, {{"d.xml", kText, false, kWhen},
                   {"s.tif", "tiff", true, 86400 * 365 * 15},
                   Encrypted("aes.xml", kText, ZIP_EM_AES_128),
                   Encrypted("trad.xml", kText, ZIP_EM_TRAD_PKWARE),
                   {"dir/"},
                   {.name = "link", .data = "d.xml", .unixMode = S_IFLNK | 0777}});
    LibraryRun run;
    ASSERT_EQ(run.Run(zip), UZ_OK);
    int error = 0;
    zip_t* za = zip_open(zip.c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(za, nullptr);
    std::vector<LibraryRun::Entry> expected;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(zip_get_num_entries(za, 0)); ++i) {
        zip_stat_t st;
        ASSERT_EQ(zip_stat_index(za, i, 0, &st), 0);
        if (std::string(st.name).back() == '/') {
            continue;
        }
        std::tm t{};
        localtime_r(&st.mtime, &t);
        expected.push_back({st.name, st.comp_method == ZIP_CM_STORE ? "Stored" : "Deflated",
                            st.size, st.comp_size, 0, static_cast<unsigned>(t.tm_year + 1900),
                            static_cast<unsigned>(t.tm_mon + 1), static_cast<unsigned>(t.tm_mday),
                            static_cast<unsigned>(t.tm_hour), static_cast<unsigned>(t.tm_min),
                            st.crc, st.encryption_method != ZIP_EM_NONE ? 'E' : ' '});
    }
    zip_discard(za);
    ASSERT_EQ(run.listed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const LibraryRun::Entry &a = run.listed[i], &b = expected[i];
        EXPECT_EQ(std::tie(a.name, a.method, a.size, a.compressed, a.year, a.month, a.day, a.hour,
                           a.minute, a.crc, a.crypt),
                  std::tie(b.name, b.method, b.size, b.compressed, b.year, b.month, b.day, b.hour,
                           b.minute, b.crc, b.crypt))
            << a.name;
    }
}

TEST(EntryNames, OnlyCleanUtf8IsTakenAsUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"gr\u00fc\u00df/\U0010FFFF.txt", "gr\u00fc\u00df/\U0010FFFF.txt"},
        {"\x81"
         "ber",
         "\u00fc"
         "ber"},  // code page 437
        {"a\xC0\xAF"
         "b",
         "a\u2514\u00bb"
         "b"},                                             // overlong "/"
        {"\xED\xA0\x80", "\u03c6\u00e1\u00c7"},            // a surrogate
        {"\xF4\x90\x80\x80", "\u2320\u00c9\u00c7\u00c7"},  // above U+10FFFF
        {"\xC3\xBC\n.txt", "\u251c\u255d_.txt"},           // a line feed
        {"tab\tdel\x7F", "tab_del_"},
        {"\xC2\x85", "\u252c\u00e0"},  // a C1 control
        {"\xE2\x82", "\u0393\u00e9"},  // cut short
    };
    for (const auto& [raw, decoded] : cases) {
        EXPECT_EQ(unzip::DecodeEntryName(raw), decoded) << raw;
    }
}

TEST_F(UnzipLibrary, AFlaggedNameWithAControlCharacterIsNotWrittenAsIs) {
    WriteZip(zip, {{"gr\u00fc\n.txt", "x"}});  // valid UTF-8, so stored flagged
    LibraryRun run;
    EXPECT_EQ(run.Run(zip), UZ_OK);
    EXPECT_THAT(Names(run), ElementsAre("gr\u251c\u255d_.txt"));
    EXPECT_EQ(LibraryRun().Run(zip, out), UZ_OK);
    EXPECT_THAT(TreeOf(out), ElementsAre("gr\u251c\u255d_.txt"));
}

// A package written byte by byte, for what no ZIP writer produces. Every entry is
// stored and holds "hello".
struct RawEntry {
    std::string name;
    std::string localExtra = {}, centralExtra = {};
    std::uint16_t flags = 0;
    std::uint32_t localCrc = 0x3610a686;  // CRC-32 of "hello"
    std::uint16_t localMethod = 0;
};
std::string RawZip(const std::vector<RawEntry>& entries, const std::string& comment = "",
                   std::size_t statedComment = 0) {
    auto le = [](std::string& s, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    std::string local, central;
    for (const RawEntry& e : entries) {
        const std::size_t at = local.size();
        for (auto [v, n] : {std::pair<std::uint64_t, int>{0x04034b50, 4},
                            {20, 2},
                            {e.flags, 2},
                            {e.localMethod, 2},
                            {0x6000, 2},
                            {0x5A25, 2},
                            {e.localCrc, 4},
                            {5, 4},
                            {5, 4},
                            {e.name.size(), 2},
                            {e.localExtra.size(), 2}}) {
            le(local, v, n);
        }
        local += e.name + e.localExtra + "hello";
        for (auto [v, n] : {std::pair<std::uint64_t, int>{0x02014b50, 4},
                            {0x031e, 2},
                            {20, 2},
                            {e.flags, 2},
                            {0, 2},
                            {0x6000, 2},
                            {0x5A25, 2},
                            {0x3610a686, 4},
                            {5, 4},
                            {5, 4},
                            {e.name.size(), 2},
                            {e.centralExtra.size(), 2},
                            {0, 6},
                            {0100644u << 16, 4},
                            {at, 4}}) {
            le(central, v, n);
        }
        central += e.name + e.centralExtra;
    }
    std::string end;
    for (auto [v, n] : {std::pair<std::uint64_t, int>{0x06054b50, 4},
                        {0, 4},
                        {entries.size(), 2},
                        {entries.size(), 2},
                        {central.size(), 4},
                        {local.size(), 4},
                        {std::max(statedComment, comment.size()), 2}}) {
        le(end, v, n);
    }
    return local + central + end + comment;
}

// What the classic unzip tool extracts cleanly is read; what is tampered with is
// refused before anything is written, naming the reason.
TEST_F(UnzipLibrary, ToleratesHarmlessFlawsAndRefusesContradictions) {
    const std::string ff = "\xff\xff\xff\xff", timestamp("\x55\x54\x09\x00\x01\x00\x00", 7);
    const std::string cp437 = "ibm437-\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a.txt",
                      decoded =
                          "ibm437-\u00fc\u00e9\u00e2\u00e4\u00e0\u00e5\u00e7\u00ea\u00eb\u00e8.txt",
                      unicodePath =
                          std::string("\x75\x70\x24\x00\x01\x9b\xdc\x5a\xd3", 9) + decoded;
    struct Case {
        std::string what;
        std::string package;
        int code;
        std::string writtenAs;  // or the reason printed
    };
    const Case cases[] = {
        {"junk after central extra", RawZip({{.name = "a.txt", .centralExtra = "\xff\xff\xff"}}),
         UZ_OK, "a.txt"},
        {"junk in both extras", RawZip({{"a.txt", ff, ff}}), UZ_OK, "a.txt"},
        {"block running past the extra", RawZip({{"a.txt", timestamp, timestamp}}), UZ_OK, "a.txt"},
        {"comment shorter than stated", RawZip({{"a.txt"}}, "abc", 10), UZ_OK, "a.txt"},
        {"NUL in a name", RawZip({{std::string("a\0b.txt", 7)}}), UZ_OK, "a b.txt"},
        {"decomposed name", RawZip({{.name = "u\u0308ber.txt", .flags = 0x800}}), UZ_OK,
         "u\u0308ber.txt"},
        {"code page 437 name with its UTF-8 path", RawZip({{cp437, unicodePath, unicodePath}}),
         UZ_OK, decoded},
        {"local CRC", RawZip({{.name = "a.txt", .localCrc = 1}}), UZ_ERR_LAYOUT,
         "disagree on the CRC"},
        {"local method", RawZip({{.name = "a.txt", .localMethod = 8}}), UZ_ERR_LAYOUT,
         "disagree on the compression method"},
    };
    const bool havePeer = std::system("command -v unzip >/dev/null 2>&1") == 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(out);
        WriteFile(zip, c.package);
        LibraryRun run;
        EXPECT_EQ(run.Run(zip, out), c.code);
        if (c.code == UZ_OK) {
            EXPECT_EQ(ReadFile(out + "/" + c.writtenAs), "hello");
            LibraryRun list;
            EXPECT_EQ(list.Run(zip), UZ_OK);
            EXPECT_THAT(Names(list), ElementsAre(c.writtenAs));
        } else {
            EXPECT_TRUE(run.Printed(c.writtenAs)) << ::testing::PrintToString(run.printed);
            EXPECT_FALSE(std::filesystem::exists(out));
        }
        if (havePeer && c.code == UZ_OK) {  // the peer agrees
            EXPECT_EQ(
                std::system(("unzip -qq -o '" + zip + "' -d '" + tmp / "peer" + "' >/dev/null 2>&1")
                                .c_str()),
                0);
        }
    }
}

TEST_F(UnzipLibrary, IncludeAndExcludePatternsSelectEntries) {
    WriteZip(zip, {{"a.xml", "a"}, {"b.xml", "b"}, {"img/1.tif", "1"}, {"img/[2].tif", "2"}});
    LibraryRun run;
    auto names = [&](std::vector<std::string> in, std::vector<std::string> ex, int ignoreCase,
                     int expected) {
        run = LibraryRun();
        run.includes = std::move(in);
        run.excludes = std::move(ex);
        run.dcl.C_flag = ignoreCase;
        EXPECT_EQ(run.Run(zip), expected);
        return Names(run);
    };
    EXPECT_THAT(names({"*.xml"}, {}, 0, UZ_OK), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"img/*"}, {"*]*"}, 0, UZ_OK), ElementsAre("img/1.tif"));
    EXPECT_THAT(names({"img/[2].tif"}, {}, 0, UZ_OK), ElementsAre("img/[2].tif"));  // literally
    EXPECT_THAT(names({"[ab].xml", "missing"}, {}, 0, UZ_WARN), ElementsAre("a.xml", "b.xml"));
    EXPECT_THAT(names({"A.XML"}, {}, 1, UZ_OK), ElementsAre("a.xml"));
    EXPECT_THAT(names({"A.XML"}, {}, 0, UZ_NO_MATCH), ElementsAre());
    EXPECT_TRUE(run.Printed("caution: not matched: A.XML"));
}

TEST_F(UnzipLibrary, ExtractsWithOrWithoutFolders) {
    WriteZip(zip,
             {{"doc.xml", kText},
              {"img/"},
              {"img/D1.tif", "tiff", true},
              {.name = "tool.sh", .data = "#!/bin/sh\n", .mtime = kWhen, .unixMode = 0106755}});
    LibraryRun keep;
    keep.dcl.ndflag = 1;
    EXPECT_EQ(keep.Run(zip, out), UZ_OK);
    EXPECT_THAT(TreeOf(out), ElementsAre("doc.xml", "img", "img/D1.tif", "tool.sh"));
    EXPECT_EQ(ReadFile(out + "/img/D1.tif"), "tiff");
    EXPECT_THAT(keep.printed,
                ElementsAre("Archive:  " + zip, "  inflating: doc.xml", "   creating: img/",
                            "  extracting: img/D1.tif", "  extracting: tool.sh"));
    struct stat st {};
    ASSERT_EQ(stat((out + "/tool.sh").c_str(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
    EXPECT_NEAR(static_cast<double>(st.st_mtime), static_cast<double>(kWhen), 2.0);

    LibraryRun flat;
    EXPECT_EQ(flat.Run(zip, tmp / "flat"), UZ_OK);
    EXPECT_THAT(TreeOf(tmp / "flat"), ElementsAre("D1.tif", "doc.xml", "tool.sh"));
    EXPECT_EQ(ReadFile(tmp / "flat/doc.xml"), kText);
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
        EXPECT_EQ(r.Run(zip, out), UZ_OK);
        return std::to_string(r.replaceAsked.size()) + ReadFile(out + "/a.txt") +
               ReadFile(out + "/b.txt") + ReadFile(out + "/c.txt");
    };
    EXPECT_EQ(run(0, 0, {}), "0---");  // neither prompting nor overwriting: kept
    EXPECT_EQ(run(1, 0, {100, 102}), "3-B-");
    EXPECT_EQ(run(1, 0, {103}), "1ABC");
    EXPECT_EQ(run(1, 0, {104}), "1---");
    EXPECT_EQ(run(0, 1, {}), "0ABC");
}

// A replaced file is removed and created anew, never renamed over: a rename costs several
// times the classic tool's overwrite on file systems that flush data on a replacing rename.
TEST_F(UnzipLibrary, AReplacedFileIsRemovedAndCreatedInPlace) {
    WriteZip(zip, {{"a.txt", "A"}, {"b.txt", "B"}});
    std::filesystem::create_directories(out);
    WriteFile(out + "/a.txt", "-");
    std::filesystem::create_symlink("a.txt", out + "/b.txt");
    const UniqueFd watch(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_GE(inotify_add_watch(watch.Get(), out.c_str(), IN_CREATE | IN_DELETE | IN_MOVE), 0);
    LibraryRun run;
    run.dcl.noflag = 1;
    EXPECT_EQ(run.Run(zip, out), UZ_OK);
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(watch.Get(), buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            events.push_back((e->mask & IN_CREATE   ? "+"
                              : e->mask & IN_DELETE ? "-"
                                                    : "moved ") +
                             std::string(e->name));
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    EXPECT_THAT(events, ElementsAre("-a.txt", "+a.txt", "-b.txt", "+b.txt"));
    EXPECT_EQ(ReadFile(out + "/a.txt") + ReadFile(out + "/b.txt"), "AB");
}

TEST_F(UnzipLibrary, EncryptedEntriesUseThePasswordCallback) {
    WriteZip(zip, {{"plain.txt", "plain"},
                   Encrypted("trad.txt", "traditional", ZIP_EM_TRAD_PKWARE),
                   Encrypted("aes.txt", "aes", ZIP_EM_AES_256)});
    LibraryRun good;
    good.passwords = {"pw"};
    EXPECT_EQ(good.Run(zip, out), UZ_OK);
    EXPECT_THAT(good.passwordAsked, ElementsAre("trad.txt"));  // then remembered
    EXPECT_EQ(ReadFile(out + "/trad.txt") + ReadFile(out + "/aes.txt"), "traditionalaes");

    LibraryRun wrong;  // asked three times, then skipped
    wrong.includes = {"aes.txt"};
    wrong.passwords = {"bad1", "bad2", "bad3", "bad4"};
    EXPECT_EQ(wrong.Run(zip, tmp / "wrong"), UZ_BAD_PASSWORD);
    EXPECT_EQ(wrong.passwordAsked.size(), 3u);
    EXPECT_TRUE(wrong.Printed("skipping: aes.txt  incorrect password"));

    LibraryRun none;
    EXPECT_EQ(none.Run(zip, tmp / "none"), UZ_WARN);  // plain.txt worked, the others skipped
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
    EXPECT_EQ(enc.Run(tmp / "enc.zip", out + "1"), UZ_OK);
    EXPECT_EQ(ReadFile(out + "1/doc.xml"), "<doc/>");
    for (const char* name : {"z64.zip", "stream.zip"}) {
        LibraryRun run;
        EXPECT_EQ(run.Run(tmp / name, out + name), UZ_OK) << name;
        EXPECT_EQ(ReadFile(out + name + "/big.txt"), kText) << name;
    }
}

TEST_F(UnzipLibrary, TestModeChecksEntriesAndWritesNothing) {
    WriteZip(zip, {{"a.txt", kText}});
    LibraryRun good, bad;
    good.dcl.ntflag = bad.dcl.ntflag = 1;
    EXPECT_EQ(good.Run(zip), UZ_OK);
    EXPECT_TRUE(good.Printed("    testing: a.txt   OK"));
    PatchEntry(zip, 0, 0x12345678u);
    EXPECT_EQ(bad.Run(zip), UZ_ERR_ARCHIVE);
    EXPECT_TRUE(bad.Printed("error: a.txt: bad CRC"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(UnzipLibrary, BadParametersAndNoDescriptorLeft) {
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, nullptr, nullptr), UZ_BAD_PARAM);
    DCL noName{};
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &noName, nullptr), UZ_BAD_PARAM);

    auto openFds = [] {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    WriteZip(zip, {{"a.txt", "a"}});
    WriteFile(tmp / "junk.zip", "junk");
    const auto before = openFds();
    for (int i = 0; i < 10; ++i) {
        LibraryRun list, extract, junk;
        list.Run(zip);
        extract.Run(zip, out);
        junk.Run(tmp / "junk.zip", out);
    }
    EXPECT_EQ(openFds(), before);
}

// The typed face: its status tells the code and the line that explains it; a pick
// takes exactly its entry, whatever wildcard characters the name holds.
TEST_F(UnzipLibrary, TypedFaceStatusAndPicks) {
    struct Lines : unzip::Listener {
        void Message(const std::string& line) override { lines.push_back(line); }
        std::vector<std::string> lines;
    } listener;
    unzip::Request request;
    request.package = tmp / "missing.zip";
    request.folder = out;
    Status s = unzip::Run(request, listener);
    EXPECT_EQ(s.Number(), UZ_NOT_ARCHIVE);
    EXPECT_EQ(s.Description(), listener.lines.back());
    EXPECT_THAT(s.Description(), ::testing::StartsWith("error: cannot open "));

    WriteZip(zip, {{"a*.txt", "1"}, {"ab.txt", "2"}, {"c.txt", "3"}});
    request.package = zip;
    request.picks = {{0, "a*.txt"}, {2, "b.txt"}};  // the second names another entry's place
    s = unzip::Run(request, listener);
    EXPECT_EQ(s.Number(), UZ_WARN);
    EXPECT_EQ(listener.lines.back(), "caution: not matched: b.txt");
    EXPECT_THAT(TreeOf(out), ElementsAre("a*.txt"));
}

}  // namespace
}  // namespace tv::test
