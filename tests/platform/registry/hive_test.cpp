// The hive text format and the registry functions over the hive file.
#include "platform/registry/hive.h"

#include <sys/stat.h>

#include <numeric>

#include "tests/platform/registry/temp_hive.h"

namespace tv::reg {
namespace {

using tv::testing::Bytes;
using tv::testing::Dword;
using tv::testing::Text;

class HiveTest : public tv::testing::TempHiveTest {
  protected:
    // Creates the key when needed and sets one value in it.
    static LONG Set(const std::string& key, const std::string& name, DWORD type,
                    const Bytes& data) {
        HKEY h{};
        LONG status = RegCreateKeyEx(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &h, nullptr);
        if (status == 0) {
            KeyHandle handle(h);
            status = RegSetValueEx(h, name, type, data.data(), static_cast<DWORD>(data.size()));
        }
        return status;
    }
};

TEST_F(HiveTest, HandWrittenFileReadsThroughTheFunctions) {
    WriteFile(hive_,
              "\xEF\xBB\xBFREGEDIT4\r\n\r\n; written by hand\r\n"
              "[HKEY_CURRENT_USER\\Software\\Norvane\\Tessel Viewer]\r\n"
              "@=\"the default\"\r\n"
              "\"IE11Path\"=\"C:\\\\Program Files\\\\say \\\"hi\\\"\"\r\n"
              "\"Loose\"=\"C:\\Temp\"\r\n"
              "  \"UseFolderNames\" = dword:0000001F\r\n"
              "\"Expand\"=hex(2):25,54,56,5f,48,49,56,45,25,2f,78,00\r\n"
              "\"Multi\"=hex(7):61,00,62,63,00,\\\r\n    00\r\n"
              "\"Big\"=hex(5):00,00,01,02\r\n"
              "\"Empty\"=hex:\r\n"
              "[hkey_current_user\\SOFTWARE\\norvane\\tessel viewer\\FileOpenMRU]\r\n"
              "\"Count\"=\"1\"\r\n");
    const std::string key = "SOFTWARE\\NORVANE\\tessel viewer";
    EXPECT_EQ(Query(key, "")->data, Text("the default"));
    EXPECT_EQ(Query(key, "ie11path")->data, Text("C:\\Program Files\\say \"hi\""));
    EXPECT_EQ(Query(key, "Loose")->data, Text("C:\\Temp")) << "a lone backslash stays";
    EXPECT_EQ(Query(key, "USEFOLDERNAMES")->type, REG_DWORD);
    EXPECT_EQ(Query(key, "USEFOLDERNAMES")->data, Dword(31));
    EXPECT_EQ(Query(key, "Expand")->type, REG_EXPAND_SZ);
    EXPECT_EQ(Query(key, "Expand")->data, Text("%TV_HIVE%/x"));
    EXPECT_EQ(Query(key, "Multi")->data, (Bytes{'a', 0, 'b', 'c', 0, 0}));
    EXPECT_EQ(Query(key, "Big")->type, REG_DWORD_BIG_ENDIAN);
    EXPECT_TRUE(Query(key, "Empty")->data.empty());
    EXPECT_EQ(Query(key + "\\fileopenmru", "count")->data, Text("1"));
    HKEY h{};
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\norvane", 0, KEY_READ, &h), 0)
        << "parents exist though only the deepest keys are written";
    RegCloseKey(h);
}

TEST_F(HiveTest, WrittenHiveReadsBackIdenticallyAndKeepsCreationCase) {
    Bytes longData(300);
    std::iota(longData.begin(), longData.end(), std::uint8_t{0});
    const std::string key = "Software\\New Key";
    ASSERT_EQ(Set(key, "Long", REG_BINARY, longData), 0);
    ASSERT_EQ(Set(key, "Lines", REG_SZ, Text("two\nlines")), 0);
    ASSERT_EQ(Set(key, "Odd \"name\"", REG_SZ, Text("say \"x\" \\ y")), 0);
    ASSERT_EQ(Set(key, "Typed", 0x20, {}), 0);
    ASSERT_EQ(Set(key, "MixedCase", REG_DWORD, Dword(1)), 0);
    ASSERT_EQ(Set(key, "MIXEDCASE", REG_DWORD, Dword(1)), 0);
    const std::string text = ReadFile(hive_);
    for (const char* line :
         {"REGEDIT4\n", "[HKEY_CURRENT_USER\\Software\\New Key]\n",
          "\"MixedCase\"=dword:00000001\n", "\"Odd \\\"name\\\"\"=\"say \\\"x\\\" \\\\ y\"\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.find("MIXEDCASE"), std::string::npos) << "the first spelling stays";
    auto parsed = ParseHive(text);
    ASSERT_TRUE(parsed) << parsed.status().Description();
    EXPECT_EQ(SerializeHive(*parsed), text);
    EXPECT_EQ(Query("software\\new key", "long")->data, longData);
    EXPECT_EQ(Query(key, "Lines")->data, Text("two\nlines"));
    EXPECT_EQ(Query(key, "Typed")->type, 0x20u);
}

TEST(HiveFormat, Version5TextInUtf16WithRemovalLines) {
    std::string utf16 = "\xFF\xFE";
    for (char c :
         std::string("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\\B]\r\n"
                     "\"E\"=hex(2):25,00,58,00,25,00,e9,00,00,00\r\n\"Gone\"=\"x\"\r\n"
                     "\"Gone\"=-\r\n[HKEY_CURRENT_USER\\A\\C]\r\n"
                     "[-HKEY_CURRENT_USER\\A\\C]\r\n\"ignored\"=\"x\"\r\n")) {
        utf16 += {c, '\0'};
    }
    auto hive = ParseHive(utf16);
    ASSERT_TRUE(hive);
    const HiveKey* b = hive->FindKey("HKEY_CURRENT_USER\\A\\B");
    EXPECT_EQ(b->FindValue("E")->data, (Bytes{'%', 'X', '%', 0xC3, 0xA9, 0})) << "as UTF-8";
    EXPECT_EQ(b->FindValue("Gone"), nullptr);
    EXPECT_EQ(hive->FindKey("HKEY_CURRENT_USER\\A\\C"), nullptr);
}

TEST(HiveFormat, MalformedTextsDoNotParse) {
    using namespace std::string_literals;
    const std::string key = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n";
    std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER", chains = "REGEDIT4\n";
    for (int i = 0; i < 513; ++i) {
        deep += "\\k";
    }
    for (const std::string& text :
         {"[HKEY_CURRENT_USER\\A]\n"s, "REGEDIT5\n"s, "REGEDIT4\n\"v\"=\"outside a key\"\n"s,
          "REGEDIT4\n[HKEY_NOWHERE\\A]\n"s, "REGEDIT4\n[HKEY_CURRENT_USER\\\\A]\n"s,
          "REGEDIT4\n[HKEY_CURRENT_USER\\A\n"s, deep + "]\n", key + "\"v\"=\"open\n",
          key + "\"v\"=\"a\"b\"\n", key + "\"v\"=dword:123456789\n", key + "\"v\"=dword:\n",
          key + "\"v\"=hex:1g\n", key + "\"v\"=hex:001\n", key + "\"v\"=hex(z):00\n",
          key + "\"v\"=hex:00,\\\n", key + "\"v\"=word:1\n", key + "v=\"1\"\n"}) {
        EXPECT_FALSE(ParseHive(text)) << text;
    }
    // Deep chains of long names: their parents would dwarf the text.
    for (char chain = 'a'; chain < 'e'; ++chain) {
        chains += "[HKEY_CURRENT_USER";
        for (int level = 0; level < 512; ++level) {
            chains += "\\" + std::string(200, chain);
        }
        chains += "]\n";
    }
    const std::string error = ParseHive(chains).status().Description();
    EXPECT_NE(error.find("larger than the text"), std::string::npos) << error;
    EXPECT_TRUE(ParseHive(" \n\n")) << "a blank file is an empty hive";
}

TEST_F(HiveTest, FunctionsFollowWin32Rules) {
    HKEY h{};
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Missing", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Set("\\A", "", REG_SZ, {}), ERROR_BAD_PATHNAME);
    EXPECT_EQ(Set("A\\\\B", "", REG_SZ, {}), ERROR_BAD_PATHNAME);
    EXPECT_FALSE(std::filesystem::exists(hive_)) << "refused calls write nothing";

    ASSERT_EQ(Set("A\\B\\", "v", REG_SZ, Text("hello")), 0);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "a\\b", 0, KEY_ALL_ACCESS, &h), 0);
    KeyHandle ab(h);
    DWORD type = 0, size = 3;
    std::uint8_t small[3] = {'x', 'y', 0};
    EXPECT_EQ(RegQueryValueEx(h, "v", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueEx(h, "w", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_READ, &h), 0);
    EXPECT_EQ(RegSetValueEx(h, "v", REG_SZ, small, 3), ERROR_ACCESS_DENIED) << "a read handle";
    RegCloseKey(h);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);

    ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n");  // another program removes A\B
    EXPECT_EQ(RegQueryValueEx(ab.Get(), "v", &type, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(ab.Get(), "v", REG_SZ, small, 3), ERROR_KEY_DELETED);
}

TEST_F(HiveTest, EveryCallSeesTheFileAsItIsNow) {
    for (char c = '1'; c <= '9'; ++c) {  // same size, replaced at once
        ReplaceHive(std::string("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"v\"=\"") + c + "\"\n");
        EXPECT_EQ(Query("K", "v")->data, Text(std::string(1, c)));
    }
    HKEY h{};
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &h, nullptr), 0);
    KeyHandle k(h);
    ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"other\"=\"kept\"\n");
    const Bytes mine = Text("mine");
    ASSERT_EQ(RegSetValueEx(k.Get(), "w", REG_SZ, mine.data(), 5), 0);
    EXPECT_EQ(Query("K", "other")->data, Text("kept")) << "a write keeps what is on disk";
    EXPECT_EQ(Query("K", "w")->data, mine);
}

TEST_F(HiveTest, LocationFolderModeAndTemporaryFiles) {
    EXPECT_EQ(HivePath(), hive_);
    tv::testing::EnvGuard config("XDG_CONFIG_HOME", dir_ + "/config");
    tv::testing::EnvGuard home("HOME", dir_);
    ::unsetenv("TESSEL_REGISTRY_FILE");
    const std::string folder = dir_ + "/config/tessel-viewer";
    EXPECT_EQ(HivePath(), folder + "/user.reg");
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/user.reg.tmp", "left by a killed writer");
    ASSERT_EQ(Set("K", "v", REG_SZ, Text("1")), 0);
    EXPECT_FALSE(std::filesystem::exists(folder + "/user.reg.tmp"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(HivePath(), dir_ + "/.config/tessel-viewer/user.reg");

    // A missing folder is made private; a hive's own mode is kept.
    const std::string hive = dir_ + "/new/user.reg";
    ::setenv("TESSEL_REGISTRY_FILE", hive.c_str(), 1);
    ASSERT_EQ(Set("K", "v", REG_SZ, Text("1")), 0);
    ::chmod(hive.c_str(), 0644);
    ASSERT_EQ(Set("K", "v", REG_SZ, Text("2")), 0);
    struct stat st {};
    ASSERT_EQ(::stat((dir_ + "/new").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(hive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(HiveTest, CorruptHiveIsKeptLinkedLockIsReplacedAndAnUnusableHiveFails) {
    const std::string garbage = "this is not a registry file\n\x01\x02";
    WriteFile(hive_, garbage);
    EXPECT_FALSE(Query("K", "v")) << "reads as empty";
    EXPECT_FALSE(std::filesystem::exists(hive_ + ".corrupt")) << "reading keeps it in place";
    ASSERT_EQ(Set("K", "v", REG_SZ, Text("v")), 0);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt"), garbage);
    EXPECT_TRUE(ParseHive(ReadFile(hive_)));

    WriteFile(hive_, "REGEDIT4\n[broken\n");  // a second one does not replace the first copy
    ASSERT_EQ(Set("K", "v", REG_SZ, Text("v")), 0);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt"), garbage);
    EXPECT_EQ(ReadFile(hive_ + ".corrupt.1"), "REGEDIT4\n[broken\n");

    // A lock file that is a link is replaced, never followed.
    WriteFile(dir_ + "/elsewhere", "keep");
    for (const std::string& target : {dir_ + "/elsewhere", dir_ + "/dangling"}) {
        std::filesystem::remove(hive_ + ".lock");
        std::filesystem::create_symlink(target, hive_ + ".lock");
        ASSERT_EQ(Set("K", "v", REG_SZ, Text(target)), 0) << target;
        EXPECT_TRUE(
            std::filesystem::is_regular_file(std::filesystem::symlink_status(hive_ + ".lock")));
    }
    EXPECT_EQ(ReadFile(dir_ + "/elsewhere"), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/dangling"));

    std::filesystem::remove(hive_);  // unusable, unlike a corrupt one: never replaced
    std::filesystem::create_directory(hive_);
    HKEY h{};
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Set("K", "v", REG_SZ, Text("v")), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(hive_));
}

}  // namespace
}  // namespace tv::reg
