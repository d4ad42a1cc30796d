// Hostile packages: for each, a defined code, a printed reason, nothing written outside
// the extraction folder and no partial file left behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/unzip/entry_layout.h"
#include "platform/fd.h"
#include "tests/archive/unzip/zip_fixtures.h"

namespace tv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void Le(std::string& s, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}
std::uint32_t Get32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | static_cast<unsigned char>(b.at(at + static_cast<std::size_t>(i)));
    }
    return v;
}

// An end-of-directory record.
std::string EndRecord(std::uint16_t disk, std::uint64_t count, std::uint64_t size,
                      std::uint64_t offset, std::uint16_t commentLength = 0) {
    std::string e;
    for (auto [v, n] : {std::pair<std::uint64_t, int>{0x06054b50, 4},
                        {disk, 2},
                        {disk, 2},
                        {count, 2},
                        {count, 2},
                        {size, 4},
                        {offset, 4},
                        {commentLength, 2}}) {
        Le(e, v, n);
    }
    return e;
}

// The package with `fakes` end records after its own, inside its comment; each fake is
// made by fake(position of the fake, package bytes before the comment).
std::string WithFakeEndRecords(std::string zip, int fakes,
                               const std::function<std::string(std::size_t)>& fake) {
    const std::size_t commentLength = static_cast<std::size_t>(fakes) * 22;
    zip[zip.size() - 2] = static_cast<char>(commentLength & 0xFF);
    zip[zip.size() - 1] = static_cast<char>(commentLength >> 8);
    for (int i = 0; i < fakes; ++i) {
        zip += fake(zip.size());
    }
    return zip;
}

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
        }
    }

    // One entry whose 64-bit fields declare that size.
    void WriteDeclaredSize(std::uint64_t declared);

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
        Extract(UZ_WARN, c.reason);
        EXPECT_EQ(ReadFile(out + "/" + c.writtenAs), "payload");
    }
    WriteZip(zip, {{"../", ""}, {"../..", "x"}});
    Extract(UZ_WARN, "no name left to write");
}

TEST_F(MaliciousPackage, SymbolicLinksAreNeverFollowedNorMade) {
    std::filesystem::create_directories(out);
    std::filesystem::create_directory_symlink(outside, out + "/link");
    WriteZip(zip, {{"link/target.txt", "payload"}, {"link/new.txt", "payload"}});
    Extract(UZ_ERR_ARCHIVE, "a symbolic link is in the way: link");

    // A link where a file goes is replaced by the file, its target left alone.
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    std::filesystem::create_symlink(outside + "/target.txt", out + "/file.txt");
    WriteZip(zip, {{"file.txt", "payload"}});
    Extract(UZ_OK, "extracting: file.txt");
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/file.txt"));
    EXPECT_EQ(ReadFile(out + "/file.txt"), "payload");

    // A link entry becomes a plain file, so nothing can be written through it.
    std::filesystem::remove_all(out);
    WriteZip(zip, {{.name = "sl", .data = "../outside/target.txt", .unixMode = S_IFLNK | 0777},
                   {"sl/after.txt", "x"}});
    Extract(UZ_ERR_ARCHIVE, "sl is a symbolic link; written as a plain file");
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/sl"));
    EXPECT_EQ(ReadFile(out + "/sl"), "../outside/target.txt");
}

TEST_F(MaliciousPackage, OverlappingEntriesAreRefusedBeforeWriting) {
    const std::string data(100, 'A');
    WriteZip(zip, {{"a.txt", data, true}, {"b.txt", data, true}, {"c.txt", data, true}});
    PatchEntry(zip, 1, {}, {}, 0);  // b and c claim a's data
    PatchEntry(zip, 2, {}, {}, 0);
    Extract(UZ_UNSAFE, "overlaps another entry; the archive is refused as unsafe");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(MaliciousPackage, DamagedEntryDataLeavesNoFile) {
    WriteZip(zip, {{"stored.txt", "stored data", true}, {"fine.txt", "fine"}});
    PatchEntry(zip, 0, 0xdeadbeefu);
    Extract(UZ_ERR_ARCHIVE, "error: stored.txt: bad CRC; file removed");
    EXPECT_THAT(TreeOf(out), ElementsAre("fine.txt"));
    WriteFile(out + "/stored.txt", "old");  // replaced, then removed
    Extract(UZ_ERR_ARCHIVE, "error: stored.txt: bad CRC; file removed");
    EXPECT_THAT(TreeOf(out), ElementsAre("fine.txt"));

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
        Extract(UZ_ERR_ARCHIVE, c.reason);
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
         {Case{whole.substr(0, whole.size() / 2), "is not a ZIP archive or is damaged",
               UZ_NOT_ARCHIVE},
          Case{"just some text\n", "is not a ZIP archive or is damaged", UZ_NOT_ARCHIVE},
          Case{"", "is empty, not a ZIP archive", UZ_NOT_ARCHIVE},
          Case{std::string("PK\5\6", 4) + std::string(18, '\0'), "holds no entries", UZ_WARN}}) {
        SCOPED_TRACE(c.reason);
        WriteFile(zip, c.bytes);
        Extract(c.code, c.reason);
    }
    std::filesystem::remove(zip);
    Extract(UZ_NOT_ARCHIVE, "cannot open");
    std::filesystem::create_directory(zip);
    Extract(UZ_NOT_ARCHIVE, "is not a file");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());
}

// A few bytes whose ZIP64 fields declare an exabyte: refused before anything is
// written, while listing it stays harmless. So is a package that would leave less than
// the reserve free.
TEST_F(MaliciousPackage, RatioBombBeyondFreeSpaceIsRefusedUpFront) {
    WriteDeclaredSize(std::uint64_t{1} << 60);
    LibraryRun list;
    ASSERT_EQ(list.Run(zip), UZ_OK);
    ASSERT_EQ(list.listed.size(), 1u);
    EXPECT_EQ(list.listed[0].size, std::uint64_t{1} << 60);
    Extract(UZ_DISK_FULL, "nothing was extracted");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());

    struct statvfs vfs {};
    ASSERT_EQ(::statvfs(tmp.Path().c_str(), &vfs), 0);
    WriteDeclaredSize(vfs.f_bavail * vfs.f_frsize - (1 << 20));  // fits, barely
    Extract(UZ_DISK_FULL, "must stay free; nothing was extracted");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());
}

void MaliciousPackage::WriteDeclaredSize(std::uint64_t declared) {
    const std::string name = "bomb.bin", data("\x03\x00", 2);  // an empty deflate stream
    auto le = Le;
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
}

// Thousands of fake end records in the comment: those libzip refuses (disk 1) are not
// followed, and those that lead to directories cannot make the check read without end.
TEST_F(MaliciousPackage, FakeEndRecordsCostLittleAndSteerNothing) {
    std::vector<ZipItem> items;
    for (int i = 0; i < 4; ++i) {
        items.push_back(
            {"f" + std::to_string(i), std::string(1 << 20, static_cast<char>('a' + i)), true});
    }
    WriteZip(zip, items);
    const std::string plain = ReadFile(zip);
    const std::uint32_t dirOffset = Get32(plain, plain.size() - 6);
    WriteFile(zip, WithFakeEndRecords(plain, 2900, [](std::size_t at) {
                  return EndRecord(1, 1, at, 0);  // a directory spanning the whole file
              }));
    const auto start = std::chrono::steady_clock::now();
    Extract(UZ_OK, "extracting: f3");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadFile(out + "/f3"), std::string(1 << 20, 'd'));

    WriteFile(zip, WithFakeEndRecords(plain, 2900, [&](std::size_t at) {
                  return EndRecord(0, 5, at - dirOffset, dirOffset);  // one entry too many
              }));
    const tv::UniqueFd fd(::open(zip.c_str(), O_RDONLY | O_CLOEXEC));
    const unzip::EntryLayout layout =
        unzip::ReadEntryLayout(unzip::FdReader(fd.Get()), std::filesystem::file_size(zip));
    EXPECT_EQ(layout.verdict, unzip::LayoutVerdict::kDamaged);
    EXPECT_EQ(layout.reason, "too many end-of-directory records");
}

// Two directories: one libzip reads (64-bit, all entries sharing one block of data) and
// one only a lax reader would take (disk number 1), naming the same entries with the
// same sizes at separate places.
TEST_F(MaliciousPackage, TheDirectoryCheckedIsTheOneLibzipReads) {
    std::vector<ZipItem> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back({"f" + std::to_string(i + 10), std::string(1000, 'A'), true});
    }
    WriteZip(zip, items);
    const std::string plain = ReadFile(zip);
    const std::uint32_t dirSize = Get32(plain, plain.size() - 10);
    const std::uint32_t dirOffset = Get32(plain, plain.size() - 6);
    std::string shared = plain.substr(dirOffset, dirSize);
    for (std::size_t at = 0; at < shared.size();) {  // every entry at offset 0
        for (int k = 0; k < 4; ++k) {
            shared[at + 42 + static_cast<std::size_t>(k)] = 0;
        }
        at += 46 + (Get32(shared, at + 28) & 0xFFFF) + (Get32(shared, at + 30) & 0xFFFF) +
              (Get32(shared, at + 32) & 0xFFFF);
    }
    std::string b = plain.substr(0, dirOffset + dirSize);
    const std::size_t sharedAt = b.size();
    b += shared;
    const std::size_t end64At = b.size();
    for (auto [v, n] : {std::pair<std::uint64_t, int>{0x06064b50, 4},
                        {44, 8},
                        {45, 2},
                        {45, 2},
                        {0, 4},
                        {0, 4},
                        {40, 8},
                        {40, 8},
                        {dirSize, 8},
                        {sharedAt, 8}}) {
        Le(b, v, n);
    }
    Le(b, 0x07064b50, 4);
    Le(b, 0, 4);
    Le(b, end64At, 8);
    Le(b, 1, 4);
    b += EndRecord(0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    b += EndRecord(1, 40, dirSize, dirOffset);
    WriteFile(zip, b);

    LibraryRun list;
    EXPECT_EQ(list.Run(zip), UZ_OK);
    EXPECT_EQ(list.listed.size(), 40u);
    Extract(UZ_UNSAFE, "overlaps another entry; the archive is refused as unsafe");
    EXPECT_TRUE(!std::filesystem::exists(out) || TreeOf(out).empty());
}

TEST_F(MaliciousPackage, NamesTooDeepOrTooLongAreNotExtracted) {
    auto nested = [](int folders, std::size_t partLength) {
        std::string name;
        for (int i = 0; i < folders; ++i) {
            name += std::string(partLength, 'd') + "/";
        }
        return name + "f";
    };
    WriteZip(zip, {{nested(64, 1), "ok"}, {nested(65, 1), "deep"}, {nested(20, 250), "long"}});
    Extract(UZ_ERR_ARCHIVE, "nested too deep; not extracted");
    EXPECT_EQ(ReadFile(out + "/" + nested(64, 1)), "ok");
    EXPECT_EQ(TreeOf(out).size(), 65u);  // 64 folders and the file
}

TEST_F(MaliciousPackage, AFifoIsNotAPackageAndIsNotWaitedFor) {
    ASSERT_EQ(::mkfifo(zip.c_str(), 0600), 0);
    Extract(UZ_NOT_ARCHIVE, "is not a file");
    LibraryRun list;
    EXPECT_EQ(list.Run(zip), UZ_NOT_ARCHIVE);
}

TEST_F(MaliciousPackage, AnUnwritableParentIsReportedAsSuch) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not apply to root";
    }
    WriteZip(zip, {{"a.txt", "a"}});
    std::filesystem::create_directories(tmp / "locked");
    std::filesystem::permissions(
        tmp / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    LibraryRun run;
    EXPECT_EQ(run.Run(zip, tmp / "locked/out"), UZ_BAD_PARAM);
    EXPECT_TRUE(run.Printed("Permission denied")) << ::testing::PrintToString(run.printed);
    std::filesystem::permissions(tmp / "locked", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace tv::test
