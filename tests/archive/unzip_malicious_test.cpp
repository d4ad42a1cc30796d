// Hostile packages: for each, a defined code, a printed reason, nothing written outside
// the extraction folder and no partial file left behind.
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/archive/zip_fixtures.h"

namespace tv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MaliciousPackage : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(outside);
        WriteFile(outside + "/target.txt", "precious");
    }

    // Extracts with folder names and replacing; checks the invariants of every case.
    void Extract(int expectedCode, const std::string& reason) {
        LibraryRun run;
        run.dcl.ndflag = 1;
        run.dcl.noflag = 1;
        EXPECT_EQ(run.Run(zip, out), expectedCode);
        EXPECT_TRUE(run.Printed(reason)) << ::testing::PrintToString(run.printed);
        EXPECT_THAT(TreeOf(outside), ElementsAre("target.txt"));
        EXPECT_EQ(ReadFile(outside + "/target.txt"), "precious");
        for (const std::string& p : TreeOf(tmp.Path())) {
            EXPECT_TRUE(p == "pkg.zip" || p == "out" || p == "outside" || p.starts_with("out/") ||
                        p.starts_with("outside/"))
                << p;
            EXPECT_EQ(p.find(".tvunzip-"), std::string::npos) << p;  // a partial file
        }
    }

    TempFolder tmp;
    std::string zip = tmp / "pkg.zip", out = tmp / "out", outside = tmp / "outside";
};

TEST_F(MaliciousPackage, TraversalNamesStayInsideTheFolder) {
    struct Case {
        std::string name, writtenAs, reason;
    };
    const std::vector<Case> cases = {
        {"../evil.txt", "evil.txt", "removed \"..\" path parts from ../evil.txt"},
        {"../../outside/target.txt", "outside/target.txt", "removed \"..\""},
        {"a/../../outside/x.txt", "a/outside/x.txt", "removed \"..\""},
        {"..\\..\\outside\\target.txt", "outside/target.txt", "removed \"..\""},
        {tmp.Path() + "/outside/target.txt", tmp.Path().substr(1) + "/outside/target.txt",
         "removed the absolute path"},
        {"C:\\evil.txt", "evil.txt", "removed the absolute path from C:/evil.txt"},
        {"c:/Windows/evil.txt", "Windows/evil.txt", "removed the absolute path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(out);
        WriteZip(zip, {{c.name, "payload"}});
        Extract(1, c.reason);
        EXPECT_EQ(ReadFile(out + "/" + c.writtenAs), "payload");
    }
    WriteZip(zip, {{"../", ""}, {"../..", "x"}});
    Extract(1, "no name left to write");
}

TEST_F(MaliciousPackage, SymbolicLinksAreNeverFollowedNorMade) {
    std::filesystem::create_directories(out);
    std::filesystem::create_directory_symlink(outside, out + "/link");
    WriteZip(zip, {{"link/target.txt", "payload"}, {"link/new.txt", "payload"}});
    Extract(2, "a symbolic link is in the way: link");

    // A link where a file goes is replaced by the file, its target left alone.
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    std::filesystem::create_symlink(outside + "/target.txt", out + "/file.txt");
    WriteZip(zip, {{"file.txt", "payload"}});
    Extract(0, "extracting: file.txt");
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/file.txt"));
    EXPECT_EQ(ReadFile(out + "/file.txt"), "payload");

    // A link entry becomes a plain file, so nothing can be written through it.
    std::filesystem::remove_all(out);
    WriteZip(zip, {{.name = "sl", .data = "../outside/target.txt", .unixMode = S_IFLNK | 0777},
                   {"sl/after.txt", "x"}});
    Extract(2, "sl is a symbolic link; written as a plain file");
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/sl"));
    EXPECT_EQ(ReadFile(out + "/sl"), "../outside/target.txt");
}

TEST_F(MaliciousPackage, OverlappingEntriesAreRefusedBeforeWriting) {
    const std::string data(100, 'A');
    WriteZip(zip, {{"a.txt", data, true}, {"b.txt", data, true}, {"c.txt", data, true}});
    PatchEntry(zip, 1, {}, {}, 0);  // b and c claim a's data
    PatchEntry(zip, 2, {}, {}, 0);
    Extract(12, "overlaps another entry; the archive is refused as unsafe");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(MaliciousPackage, DamagedEntryDataLeavesNoFile) {
    WriteZip(zip, {{"stored.txt", "stored data", true}, {"fine.txt", "fine"}});
    PatchEntry(zip, 0, 0xdeadbeefu);
    Extract(2, "error: stored.txt: bad CRC; file removed");
    EXPECT_THAT(TreeOf(out), ElementsAre("fine.txt"));
    WriteFile(out + "/stored.txt", "old");  // a failed replacement keeps the old file
    Extract(2, "error: stored.txt: bad CRC; file removed");
    EXPECT_EQ(ReadFile(out + "/stored.txt"), "old");

    struct Case {
        std::optional<std::uint32_t> crc, size;
        std::string reason;
    };
    for (const Case& c : {Case{0x1u, std::nullopt, "bad CRC"},
                          Case{std::nullopt, 100u, "more data than the entry declares"},
                          Case{std::nullopt, 30000u, "error: big.txt: "}}) {
        SCOPED_TRACE(c.reason);
        std::filesystem::remove_all(out);
        WriteZip(zip, {{"big.txt", std::string(20000, 'x')}});
        PatchEntry(zip, 0, c.crc, c.size);
        Extract(2, c.reason);
        EXPECT_THAT(TreeOf(out), IsEmpty());
    }
}

TEST_F(MaliciousPackage, UnreadablePackagesAreNotArchives) {
    WriteZip(zip, {{"a.txt", std::string(5000, 'a')}, {"b.txt", std::string(5000, 'b')}});
    const std::string whole = ReadFile(zip);
    struct Case {
        std::string bytes, reason;
        int code;
    };
    for (const Case& c :
         {Case{whole.substr(0, whole.size() / 2), "is not a ZIP archive or is damaged", 9},
          Case{"just some text\n", "is not a ZIP archive or is damaged", 9},
          Case{"", "is empty, not a ZIP archive", 9},
          Case{std::string("PK\5\6", 4) + std::string(18, '\0'), "holds no entries", 1}}) {
        SCOPED_TRACE(c.reason);
        WriteFile(zip, c.bytes);
        Extract(c.code, c.reason);
    }
    std::filesystem::remove(zip);
    Extract(9, "cannot open");
    std::filesystem::create_directory(zip);
    Extract(9, "is not a file");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());
}

// A few bytes whose ZIP64 fields declare an exabyte: refused before anything is
// written, while listing it stays harmless.
TEST_F(MaliciousPackage, RatioBombBeyondFreeSpaceIsRefusedUpFront) {
    const std::uint64_t declared = std::uint64_t{1} << 60;
    const std::string name = "bomb.bin", data("\x03\x00", 2);  // an empty deflate stream
    auto le = [](std::string& s, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    // Fields shared by both headers from "version needed" to the name length.
    auto common = [&](std::string& s) {
        for (auto [v, n] : {std::pair{45, 2}, {0, 2}, {8, 2}, {0x6000, 2}, {0x5A25, 2}, {0, 4}}) {
            le(s, static_cast<std::uint64_t>(v), n);
        }
        le(s, 0xFFFFFFFF, 4);
        le(s, 0xFFFFFFFF, 4);
        le(s, name.size(), 2);
        le(s, 20, 2);
    };
    auto zip64 = [&](std::string& s) {
        le(s, 1, 2);
        le(s, 16, 2);
        le(s, declared, 8);
        le(s, data.size(), 8);
    };
    std::string local, central, end;
    le(local, 0x04034b50, 4);
    common(local);
    local += name;
    zip64(local);
    local += data;
    le(central, 0x02014b50, 4);
    le(central, 45, 2);
    common(central);
    le(central, 0, 6);  // comment length, disk, internal attributes
    le(central, 0, 4);  // external attributes
    le(central, 0, 4);  // local header offset
    central += name;
    zip64(central);
    le(end, 0x06054b50, 4);
    le(end, 0, 4);
    le(end, 1, 2);
    le(end, 1, 2);
    le(end, central.size(), 4);
    le(end, local.size(), 4);
    le(end, 0, 2);
    WriteFile(zip, local + central + end);

    LibraryRun list;
    ASSERT_EQ(list.Run(zip), 0);
    ASSERT_EQ(list.listed.size(), 1u);
    EXPECT_EQ(list.listed[0].size, declared);
    Extract(50, "nothing was extracted");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());
}

}  // namespace
}  // namespace tv::test
