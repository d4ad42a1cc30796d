// Loading and saving the viewer's settings, and what a failed save tells the user.
#include "settings/settings_store.h"

#include <unistd.h>

#include <cerrno>

#include "settings/settings_table.h"
#include "tests/platform/registry/temp_hive.h"

namespace tv {
namespace {

using tv::testing::Dword;
using tv::testing::Text;

const std::string kProduct = "SOFTWARE\\Norvane\\Tessel Viewer";
const std::string kRecent = kProduct + "\\FileOpenMRU";
constexpr std::int32_t kRoot = HKEY_CURRENT_USER_ROOT;

class SettingsStoreTest : public tv::testing::TempHiveTest {
  protected:
    void WriteProductKey(const std::string& values) {
        ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\" + kProduct + "]\n" + values);
    }
    void Load() { LoadOptionSettings(kRoot, members, options, mru); }
    void Save() { SaveSettings(kRoot, members, options, mru); }

    // The message of the error the save raises ("" when it raised none).
    std::string FailedSave() {
        try {
            Save();
        } catch (const AppError& e) {
            return SaveFailureMessage(e);
        }
        return "";
    }

    SettingsMembers members;
    ArchiveOptions options;
    cMRU mru;
    std::string appPath = "unchanged", appDataPath = "unchanged";
};

// Each identifier reaches its own member and no other; a value of the other kind, or a
// setting kept outside the members, stores nothing.
TEST(SettingsByIdentifier, EachIdReachesOnlyItsOwnMember) {
    for (const Setting& s : SettingsTable()) {
        SettingsMembers m;
        const SettingValue mine = s.text != nullptr     ? SettingValue{std::string(s.name)}
                                  : s.number != nullptr ? SettingValue{std::int16_t{-7}}
                                                        : SettingValue{};
        const SettingValue other =
            s.number != nullptr ? SettingValue{std::string("x")} : SettingValue{std::int16_t{3}};
        EXPECT_FALSE(m.Store(s.id, other)) << s.name;
        EXPECT_FALSE(m.Store(s.id, SettingValue{})) << s.name;
        EXPECT_EQ(m.Store(s.id, mine), mine.index() != 0) << s.name;
        for (const Setting& t : SettingsTable()) {
            const SettingValue initial = t.text != nullptr     ? SettingValue{std::string()}
                                         : t.number != nullptr ? SettingValue{std::int16_t{0}}
                                                               : SettingValue{};
            EXPECT_EQ(m.Value(t.id), t.id == s.id ? mine : initial) << s.name << " / " << t.name;
        }
    }
    SettingsMembers m;
    m.Store(SettingId::EspacenetUrl, std::string("https://e"));
    m.Store(SettingId::NavigationOption, std::int16_t{1});
    EXPECT_EQ(m.m_EspacenetUrl, "https://e");
    EXPECT_EQ(m.m_NavigationOption, 1);
    EXPECT_EQ(TextOf(m.Value(SettingId::NavigationOption)), "");
    EXPECT_EQ(NumberOf(m.Value(SettingId::EspacenetUrl)), 0);
}

TEST_F(SettingsStoreTest, FirstRunLoadsNothingAndTheFirstSaveCreatesEveryValue) {
    options = {true, true};
    EXPECT_FALSE(LoadPathSettings(kRoot, members, appPath, appDataPath));
    EXPECT_FALSE(LoadOptionSettings(kRoot, members, options, mru));
    EXPECT_EQ(appPath, "unchanged");
    EXPECT_TRUE(options.useFolderNames && options.promptToOverwrite) << "left to the component";
    EXPECT_FALSE(std::filesystem::exists(hive_)) << "loads create nothing";

    options = {};
    for (int i = 1; i <= 16; ++i) {
        mru.Add("/p/" + std::to_string(i) + ".zip");
    }
    Save();
    for (const char* name : {"SpecificationRenderOption", "NavigationOption", "ZornRenderOption"}) {
        EXPECT_EQ(Query(kProduct, name)->type, reg::REG_SZ) << name;
        EXPECT_EQ(Query(kProduct, name)->data, Text("0")) << name;
    }
    for (const char* name : {"IE11Path", "ChromePath", "VantorDavUrl", "EspacenetUrl", "GrantexUrl",
                             "PubexUrl", "GooglePatentsUrl"}) {
        EXPECT_EQ(Query(kProduct, name).value_or(Stored{}).data, Text("")) << name;
    }
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(0));
    EXPECT_EQ(Query(kProduct, "OverwritePrompt")->type, reg::REG_DWORD);
    EXPECT_FALSE(Query(kProduct, "AppPath")) << "only the installation writes it";
    EXPECT_EQ(Query(kRecent, "MaxCount")->data, Dword(16));
    cMRU loaded;
    EXPECT_TRUE(LoadOptionSettings(kRoot, members, options, loaded));
    ASSERT_EQ(loaded.Count(), 16);
    EXPECT_EQ(loaded.Item(1), "/p/16.zip");
}

TEST_F(SettingsStoreTest, NumbersLoadFromTextOrDwordBadOnesLeaveZeroAndFlagsWriteBackOne) {
    WriteProductKey("\"SpecificationRenderOption\"=\"33\"\n\"ZornRenderOption\"=dword:00000021\n");
    Load();
    EXPECT_EQ(members.m_SpecificationRenderOption, 33);
    EXPECT_EQ(members.m_ZornRenderOption, 33);

    members = {};
    members.m_IE11Path = "kept";
    WriteProductKey(
        "\"SpecificationRenderOption\"=\"abc\"\n\"ZornRenderOption\"=\"40000\"\n"
        "\"NavigationOption\"=dword:00010000\n\"IE11Path\"=hex:01\n"
        "\"UseFolderNames\"=dword:00000005\n\"OverwritePrompt\"=\"0\"\n");
    options = {false, true};
    Load();
    EXPECT_EQ(members.m_SpecificationRenderOption, 0);
    EXPECT_EQ(members.m_ZornRenderOption, 0);
    EXPECT_EQ(members.m_NavigationOption, 0);
    EXPECT_EQ(members.m_IE11Path, "kept") << "binary data is no text";
    EXPECT_TRUE(options.useFolderNames);
    EXPECT_FALSE(options.promptToOverwrite);
    Save();
    EXPECT_EQ(Query(kProduct, "SpecificationRenderOption")->data, Text("0"));
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(1));

    WriteProductKey("");
    Load();
    EXPECT_FALSE(options.useFolderNames) << "missing under an existing key reads as 0";
}

TEST_F(SettingsStoreTest, TextsRoundTripIncludingExpandableAndCarriedValues) {
    tv::testing::EnvGuard env("TV_STORE_HOST", "example.org");
    WriteProductKey(
        "\"AppPath\"=\"/opt/tessel/\"\n\"AppDataPath\"=\"/var/tessel/\"\n"
        "\"VantorDavUrl\"=\"https://dav.example/v\"\n");
    ASSERT_TRUE(LoadPathSettings(kRoot, members, appPath, appDataPath));
    EXPECT_EQ(appPath + appDataPath, "/opt/tessel//var/tessel/");
    members.m_GrantexUrl = "http://%TV_STORE_HOST%/q";
    members.m_EspacenetUrl = "https://x.example/search?q=%20us%20";
    Save();
    EXPECT_EQ(Query(kProduct, "GrantexUrl")->type, reg::REG_EXPAND_SZ);
    EXPECT_EQ(Query(kProduct, "EspacenetUrl")->type, reg::REG_EXPAND_SZ);
    for (int start = 0; start < 3; ++start) {
        SettingsMembers next;
        ASSERT_TRUE(LoadPathSettings(kRoot, next, appPath, appDataPath));
        EXPECT_EQ(next.m_VantorDavUrl, "https://dav.example/v");
        EXPECT_EQ(next.m_GrantexUrl, "http://example.org/q");
        EXPECT_EQ(next.m_EspacenetUrl, members.m_EspacenetUrl) << "%20us% names no variable";
        SaveSettings(kRoot, next, options, mru);
    }
    EXPECT_EQ(Query(kProduct, "AppPath")->data, Text("/opt/tessel/"));
}

TEST_F(SettingsStoreTest, FailedSavesTellTheUserWhereAndWhy) {
    // A single refused value: the save goes on and reports it at the end.
    Save();
    members.m_IE11Path = std::string(2 * 1024 * 1024, 'x');  // more than a value may hold
    members.m_GooglePatentsUrl = "after the refused one";
    options.useFolderNames = true;
    try {
        Save();
        ADD_FAILURE() << "the save reported success";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), kErrRegistryWriteFailed);
        EXPECT_NE(e.Description().find("'IE11Path'"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(Query(kProduct, "GooglePatentsUrl")->data, Text("after the refused one"));
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(1));

    members.m_IE11Path = "changed";
    reg::testing::SetWriteFault(ENOSPC);
    EXPECT_EQ(FailedSave(),
              "Your settings could not be saved to " + hive_ + ": No space left on device.");
    reg::testing::SetWriteFault(0);
    EXPECT_EQ(Query(kProduct, "GooglePatentsUrl")->data, Text("after the refused one"));

    if (::geteuid() != 0) {  // permissions do not stop the superuser
        ASSERT_EQ(::chmod(dir_.c_str(), 0500), 0);
        EXPECT_EQ(FailedSave(),
                  "Your settings could not be saved to " + hive_ + ": Permission denied.");
        ::chmod(dir_.c_str(), 0700);
    }
}

TEST_F(SettingsStoreTest, InstallationFillsOnlyWhatTheUserHasNotChosen) {
    WriteProductKey("\"ChromePath\"=\"/opt/my-browser\"\n\"PubexUrl\"=\"\"\n");
    reg::testing::SetWriteFault(ENOSPC);
    const Result<WrittenValues> refused = WriteInstallationValues({"/a/", "/b/", "", ""});
    reg::testing::SetWriteFault(0);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.status().Description(),
              "Your settings could not be saved to " + hive_ + ": No space left on device.");
    const WrittenValues first =
        WriteInstallationValues(
            {"/opt/tessel/", "/var/tessel/", "/opt/tessel/tessel-open", "/usr/bin/chromium"})
            .value();
    const WrittenValues second =
        WriteInstallationValues({"/elsewhere/", "/elsewhere/", "/elsewhere/x", "/elsewhere/y"})
            .value();
    ASSERT_TRUE(LoadPathSettings(kRoot, members, appPath, appDataPath));
    EXPECT_EQ(appPath + appDataPath, "/opt/tessel//var/tessel/");
    const SettingsMembers suggested = SuggestedSettings();
    EXPECT_EQ(members.m_ChromePath, "/opt/my-browser") << "a user's choice stays";
    EXPECT_EQ(members.m_PubexUrl, suggested.m_PubexUrl) << "an empty value is filled";
    EXPECT_EQ(members.m_IE11Path, "/opt/tessel/tessel-open");
    EXPECT_TRUE(second.empty()) << "a second run changes nothing";
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), (std::pair<std::string, std::string>("AppPath", "/opt/tessel/")));
    for (const auto& [name, value] : first) {
        EXPECT_NE(name, "ChromePath") << "only what was written is reported";
    }
}

TEST_F(SettingsStoreTest, TheViewerSetsUpOnlyAnInstallationItRunsFrom) {
    namespace fs = std::filesystem;
    const std::string prefix = dir_ + "/usr/";
    EXPECT_FALSE(SetUpInstallationOf(prefix + "bin/")) << "a build tree is no installation";
    EXPECT_FALSE(fs::exists(hive_));

    fs::create_directories(InstalledAppFolder(prefix));
    WriteFile(InstalledAppFolder(prefix) + "tessel-open", "#!/bin/sh\n");
    fs::permissions(InstalledAppFolder(prefix) + "tessel-open", fs::perms::owner_all);
    WriteProductKey("\"IE11Path\"=\"/opt/my-opener\"\n");
    EXPECT_TRUE(SetUpInstallationOf(prefix + "bin/"));
    EXPECT_FALSE(SetUpInstallationOf(prefix + "bin/")) << "the second start writes nothing";
    ASSERT_TRUE(LoadPathSettings(kRoot, members, appPath, appDataPath));
    EXPECT_EQ(appPath, prefix + "lib/tessel-viewer/");
    EXPECT_EQ(appDataPath, prefix + "share/tessel-viewer/");
    EXPECT_EQ(members.m_IE11Path, "/opt/my-opener") << "a user's choice stays";
}

}  // namespace
}  // namespace tv
