// The hive text format and the registry functions over the hive file.
#include "platform/registry/hive.h"

#include <sys/stat.h>

#include <filesystem>

#include "settings/cRegistry.h"
#include "tests/settings/temp_hive.h"

namespace tv::reg {
namespace {

using tv::testing::TempHiveTest;

class HiveTest : public TempHiveTest {};

const char* const kHandWritten =
    "\xEF\xBB\xBFREGEDIT4\r\n"
    "\r\n"
    "; written by hand\r\n"
    "[HKEY_CURRENT_USER\\Software\\Norvane\\Tessel Viewer]\r\n"
    "@=\"the default\"\r\n"
    "\"IE11Path\"=\"C:\\\\Program Files\\\\say \\\"hi\\\"\"\r\n"
    "\"Loose\"=\"C:\\Temp\"\r\n"
    "  \"UseFolderNames\" = dword:0000001F\r\n"
    "\"Expand\"=hex(2):25,54,56,5f,48,49,56,45,25,2f,78,00\r\n"
    "\"Multi\"=hex(7):61,00,62,63,00,\\\r\n"
    "    00\r\n"
    "\"Big\"=hex(5):00,00,01,02\r\n"
    "\"Bin\"=hex:de,ad,be,ef\r\n"
    "\"Empty\"=hex:\r\n"
    "\r\n"
    "[hkey_current_user\\SOFTWARE\\norvane\\tessel viewer\\FileOpenMRU]\r\n"
    "\"Count\"=\"1\"\r\n";

TEST_F(HiveTest, HandWrittenFileReadsThroughTheFunctionsAndTheClass) {
    WriteFile(hive_, kHandWritten);
    const std::string key = "SOFTWARE\\NORVANE\\tessel viewer";
    EXPECT_EQ(Query(key, "")->data, Text("the default"));
    EXPECT_EQ(Query(key, "ie11path")->data, Text("C:\\Program Files\\say \"hi\""));
    EXPECT_EQ(Query(key, "Loose")->data, Text("C:\\Temp"));  // lone backslash kept
    auto dword = Query(key, "USEFOLDERNAMES");
    EXPECT_EQ(dword->type, REG_DWORD);
    EXPECT_EQ(dword->data, Dword(31));
    EXPECT_EQ(Query(key, "Multi")->data, (std::vector<std::uint8_t>{'a', 0, 'b', 'c', 0, 0}));
    EXPECT_EQ(Query(key, "Bin")->type, REG_BINARY);
    EXPECT_TRUE(Query(key, "Empty")->data.empty());
    EXPECT_EQ(Query(key + "\\fileopenmru", "count")->data, Text("1"));
    // Parents exist though only the deepest keys are written.
    HKEY h{};
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\norvane", 0, KEY_READ, &h), 0);
    RegCloseKey(h);

    tv::testing::EnvGuard env("TV_HIVE", "/opt/tv");
    cRegistry r;
    r.ClassKey(static_cast<std::int32_t>(0x80000001));
    r.SectionKey(key);
    r.ValueKey("Expand");
    EXPECT_EQ(r.Value(), RegVariant(std::string("/opt/tv/x")));
    EXPECT_EQ(r.ValueType(), REG_EXPAND_SZ);
    r.ValueKey("Big");
    EXPECT_EQ(r.Value(), RegVariant(std::int32_t{0x0102}));
}

TEST_F(HiveTest, WrittenHiveReadsBackIdenticallyAndKeepsCreationCase) {
    WriteFile(hive_, kHandWritten);
    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New Key\\Deep", 0, KEY_ALL_ACCESS, &h,
                             nullptr),
              0);
    KeyHandle key(h);
    std::vector<std::uint8_t> longData(300);
    for (std::size_t i = 0; i < longData.size(); ++i) {
        longData[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_EQ(RegSetValueEx(h, "Long", REG_BINARY, longData.data(), 300), 0);
    const auto lineBreak = Text("two\nlines");
    ASSERT_EQ(RegSetValueEx(h, "Lines", REG_SZ, lineBreak.data(), 10), 0);
    const auto quote = Text("say \"x\" \\ y");
    ASSERT_EQ(RegSetValueEx(h, "Odd \"name\"", REG_SZ, quote.data(), 12), 0);
    ASSERT_EQ(RegSetValueEx(h, "Typed", 0x20, nullptr, 0), 0);
    // Same name in another case replaces the value and keeps the first spelling.
    const auto one = Dword(1);
    ASSERT_EQ(RegSetValueEx(h, "MixedCase", REG_DWORD, one.data(), 4), 0);
    ASSERT_EQ(RegSetValueEx(h, "MIXEDCASE", REG_DWORD, one.data(), 4), 0);

    const std::string text = ReadFile(hive_);
    EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\New Key\\Deep]"), std::string::npos);
    EXPECT_NE(text.find("\"MixedCase\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(text.find("MIXEDCASE"), std::string::npos);
    EXPECT_NE(text.find("\"Odd \\\"name\\\"\"=\"say \\\"x\\\" \\\\ y\""), std::string::npos);
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        EXPECT_LE(end - start, 80u) << "hex lists wrap";
    }

    std::string error;
    auto parsed = ParseHive(text, &error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(SerializeHive(*parsed), text);
    EXPECT_EQ(
        parsed->FindKey("HKEY_CURRENT_USER\\software\\new key\\deep")->FindValue("long")->data,
        longData);
    EXPECT_EQ(Query("Software\\New Key\\Deep", "Lines")->data, lineBreak);
    EXPECT_EQ(Query("Software\\Norvane\\Tessel Viewer", "Multi")->type, REG_MULTI_SZ);
}

TEST(HiveFormat, Version5FileDecodesUtf16TextAndRemovalLines) {
    std::string utf16Header = std::string("\xFF\xFE", 2);
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]"
                              "\r\n\"v\"=\"1\"\r\n")) {
        utf16Header += c;
        utf16Header += '\0';
    }
    ASSERT_TRUE(ParseHive(utf16Header)) << "UTF-16LE file with byte-order mark";

    auto hive = ParseHive(
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_CURRENT_USER\\A\\B]\n"
        "\"E\"=hex(2):25,00,58,00,25,00,e9,00,00,00\n"
        "\"Gone\"=\"x\"\n"
        "\"Gone\"=-\n"
        "[HKEY_CURRENT_USER\\A\\C]\n"
        "[-HKEY_CURRENT_USER\\A\\C]\n"
        "\"ignored\"=\"after removal\"\n");
    ASSERT_TRUE(hive);
    const HiveKey* b = hive->FindKey("HKEY_CURRENT_USER\\A\\B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->FindValue("E")->data, (std::vector<std::uint8_t>{'%', 'X', '%', 0xC3, 0xA9, 0}));
    EXPECT_EQ(b->FindValue("Gone"), nullptr);
    EXPECT_EQ(hive->FindKey("HKEY_CURRENT_USER\\A\\C"), nullptr);
    EXPECT_NE(hive->FindKey("HKEY_CURRENT_USER\\A"), nullptr);
}

TEST(HiveFormat, MalformedTextsDoNotParse) {
    const std::string deep = [] {
        std::string path = "[HKEY_CURRENT_USER";
        for (int i = 0; i < 513; ++i) {
            path += "\\k";
        }
        return path + "]";
    }();
    for (const std::string& text : {
             std::string("[HKEY_CURRENT_USER\\A]\n"),  // no header
             std::string("REGEDIT5\n"),
             std::string("REGEDIT4\n\"v\"=\"outside a key\"\n"),
             std::string("REGEDIT4\n[HKEY_NOWHERE\\A]\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\\\A]\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\"b\"\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:1g\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:001\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(z):00\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:00,\\\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=word:1\n"),
             std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\nv=\"1\"\n"),
             "REGEDIT4\n" + deep + "\n",
         }) {
        EXPECT_FALSE(ParseHive(text)) << text;
    }
    // Deep chains of long names: the parents would dwarf the text.
    std::string chains = "REGEDIT4\n";
    for (int chain = 0; chain < 4; ++chain) {
        chains += "[HKEY_CURRENT_USER";
        for (int level = 0; level < 512; ++level) {
            chains += "\\" + std::string(200, static_cast<char>('a' + chain));
        }
        chains += "]\n";
    }
    std::string error;
    EXPECT_FALSE(ParseHive(chains, &error));
    EXPECT_NE(error.find("larger than the text"), std::string::npos) << error;
    EXPECT_TRUE(ParseHive(""));
    EXPECT_TRUE(ParseHive(" \n\n"));
}

TEST_F(HiveTest, FunctionsFollowWin32Rules) {
    HKEY h{};
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Missing", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "X", 0, KEY_ALL_ACCESS, &h, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "\\A", 0, KEY_ALL_ACCESS, &h, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "A\\\\B", 0, KEY_ALL_ACCESS, &h, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, std::string(256, 'k'), 0, KEY_ALL_ACCESS, &h, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, "A", REG_OPTION_VOLATILE, KEY_ALL_ACCESS, &h, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(std::filesystem::exists(hive_)) << "refused calls write nothing";

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "A\\B\\", 0, KEY_ALL_ACCESS, &h, &disposition), 0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    KeyHandle ab(h);
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "a\\b", 0, KEY_ALL_ACCESS, &h, &disposition), 0);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(h);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);

    const auto text = Text("hello");
    ASSERT_EQ(RegSetValueEx(ab.Get(), "v", REG_SZ, text.data(), 6), 0);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "V", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 6u);
    std::uint8_t small[3];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "v", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "w", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "v", &type, small, nullptr), ERROR_INVALID_PARAMETER);

    // Access rights of the handle, and a subkey opened through a handle.
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_QUERY_VALUE, &h), 0);
    KeyHandle a(h);
    EXPECT_EQ(RegSetValueEx(a.Get(), "v", REG_SZ, text.data(), 6), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegLastFailure().reason, "Access is denied.");
    ASSERT_EQ(RegOpenKeyEx(a.Get(), "b", 0, KEY_READ, &h), 0);
    KeyHandle b(h);
    EXPECT_EQ(RegQueryValueEx(b.Get(), "v", &type, nullptr, &size), 0);
    std::vector<std::uint8_t> huge(kMaxValueDataSize + 1);
    EXPECT_EQ(
        RegSetValueEx(ab.Get(), "big", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(ab.Get(), "line\nbreak", REG_SZ, text.data(), 6),
              ERROR_INVALID_PARAMETER);

    // Another program removes the key: the open handle reports it.
    ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n");
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "v", &type, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(ab.Get(), "v", REG_SZ, text.data(), 6), ERROR_KEY_DELETED);
}

TEST_F(HiveTest, EveryCallSeesTheFileAsItIsNow) {
    ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"v\"=\"1\"\n");
    EXPECT_EQ(Query("K", "v")->data, Text("1"));
    // Same size, replaced at once: the cached hive must not be trusted.
    for (char c = '2'; c <= '9'; ++c) {
        ReplaceHive(std::string("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"v\"=\"") + c + "\"\n");
        EXPECT_EQ(Query("K", "v")->data, Text(std::string(1, c)));
    }
    // A write keeps what another program put there meanwhile.
    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    KeyHandle k(h);
    ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"other\"=\"kept\"\n");
    const auto mine = Text("mine");
    ASSERT_EQ(RegSetValueEx(k.Get(), "w", REG_SZ, mine.data(), 5), 0);
    EXPECT_EQ(Query("K", "other")->data, Text("kept"));
    EXPECT_EQ(Query("K", "w")->data, mine);
    ::unlink(hive_.c_str());
    EXPECT_FALSE(Query("K", "w"));
}

TEST_F(HiveTest, LocationFollowsTheEnvironment) {
    EXPECT_EQ(HivePath(), hive_);
    tv::testing::EnvGuard config("XDG_CONFIG_HOME", dir_ + "/config");
    tv::testing::EnvGuard home("HOME", dir_);
    ::unsetenv("TESSEL_REGISTRY_FILE");
    EXPECT_EQ(HivePath(), dir_ + "/config/tessel-viewer/user.reg");
    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    RegCloseKey(h);
    struct stat st {};
    ASSERT_EQ(::stat((dir_ + "/config/tessel-viewer").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(HivePath(), dir_ + "/.config/tessel-viewer/user.reg");
    ::setenv("TESSEL_REGISTRY_FILE", "rel.reg", 1);
    EXPECT_EQ(HivePath(), std::filesystem::current_path().string() + "/rel.reg");
}

TEST_F(HiveTest, CorruptHiveIsKeptBesideItselfBeforeItIsReplaced) {
    const std::string garbage = "this is not a registry file\n\x01\x02";
    WriteFile(hive_, garbage);
    EXPECT_FALSE(Query("K", "v")) << "reads as empty";
    EXPECT_FALSE(std::filesystem::exists(hive_ + ".corrupt")) << "reading keeps it in place";

    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    KeyHandle k(h);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt"), garbage);
    EXPECT_TRUE(ParseHive(ReadFile(hive_)));
    const auto v = Text("v");
    ASSERT_EQ(RegSetValueEx(k.Get(), "v", REG_SZ, v.data(), 2), 0);

    // A second damaged hive does not overwrite the first copy.
    WriteFile(hive_, "REGEDIT4\n[broken\n");
    EXPECT_EQ(RegSetValueEx(k.Get(), "v", REG_SZ, v.data(), 2), ERROR_KEY_DELETED);
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    k = KeyHandle(h);
    ASSERT_EQ(RegSetValueEx(k.Get(), "v", REG_SZ, v.data(), 2), 0);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt"), garbage);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt.1"), "REGEDIT4\n[broken\n");
    EXPECT_EQ(Query("K", "v")->data, v);
}

TEST_F(HiveTest, UnusableHiveFailsWithoutBeingReplaced) {
    std::filesystem::create_directory(hive_);  // a folder where the file should be
    HKEY h{};
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(hive_));
    std::filesystem::remove(hive_);

    // A hive whose folder cannot exist: the parent is a file.
    WriteFile(dir_ + "/file", "");
    ::setenv("TESSEL_REGISTRY_FILE", (dir_ + "/file/user.reg").c_str(), 1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, &h), 0) << "reads as empty";
    RegCloseKey(h);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(RegLastFailure().path, dir_ + "/file/user.reg");
    EXPECT_EQ(RegLastFailure().reason, "Not a directory");
}

TEST_F(HiveTest, WritesLeaveNoTemporaryFilesAndKeepTheFileMode) {
    WriteFile(hive_ + ".tmp", "left by a killed writer");
    WriteFile(hive_, "REGEDIT4\n");
    ::chmod(hive_.c_str(), 0644);
    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    RegCloseKey(h);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"user.reg", "user.reg.lock"}));
    struct stat st {};
    ASSERT_EQ(::stat(hive_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

}  // namespace
}  // namespace tv::reg
