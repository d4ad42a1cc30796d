// Loading and saving the viewer's settings, and what a failed save tells the user.
#include "settings/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "lookup/hosts.h"
#include "platform/strings.h"
#include "settings/settings_table.h"
#include "tests/settings/temp_hive.h"

namespace tv {
namespace {

using tv::testing::TempHiveTest;

const std::string kProduct = "SOFTWARE\\Norvane\\Tessel Viewer";
const std::string kRecent = kProduct + "\\FileOpenMRU";

class SettingsStoreTest : public TempHiveTest {
  protected:
    void WriteProductKey(const std::string& values) {
        ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\" + kProduct + "]\n" + values);
    }

    SettingsMembers members;
    ArchiveOptions options;
    cMRU mru;
    std::string appPath = "unchanged";
    std::string appDataPath = "unchanged";
};

TEST_F(SettingsStoreTest, FirstRunLoadsNothingAndTheFirstSaveCreatesEveryValue) {
    options = {true, true};
    EXPECT_FALSE(LoadPathSettings(HKEY_CURRENT_USER_ROOT, members, appPath, appDataPath));
    EXPECT_FALSE(LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, mru));
    EXPECT_EQ(appPath, "unchanged");
    EXPECT_TRUE(options.useFolderNames && options.promptToOverwrite) << "left to the component";
    EXPECT_FALSE(std::filesystem::exists(hive_)) << "loads create nothing";

    options = {};
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    for (const char* name : {"SpecificationRenderOption", "NavigationOption", "ZornRenderOption"}) {
        EXPECT_EQ(Query(kProduct, name)->type, reg::REG_SZ) << name;
        EXPECT_EQ(Query(kProduct, name)->data, Text("0")) << name;
    }
    for (const char* name : {"IE11Path", "ChromePath", "VantorDavUrl", "EspacenetUrl", "GrantexUrl",
                             "PubexUrl", "GooglePatentsUrl"}) {
        ASSERT_TRUE(Query(kProduct, name)) << name;
        EXPECT_EQ(Query(kProduct, name)->data, Text("")) << name;
    }
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(0));
    EXPECT_EQ(Query(kProduct, "OverwritePrompt")->type, reg::REG_DWORD);
    EXPECT_FALSE(Query(kProduct, "AppPath")) << "only the installation writes it";
    EXPECT_EQ(Query(kRecent, "MaxCount")->data, Dword(16));
    EXPECT_EQ(Query(kRecent, "Count")->data, Text("0"));

    EXPECT_TRUE(LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, mru));
}

TEST_F(SettingsStoreTest, OptionNumbersLoadFromTextOrDwordAndBadOnesAreSkipped) {
    WriteProductKey(
        "\"SpecificationRenderOption\"=\"33\"\n\"ZornRenderOption\"=dword:00000021\n"
        "\"NavigationOption\"=\"2\"\n");
    LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    EXPECT_EQ(members.m_SpecificationRenderOption, 33);
    EXPECT_EQ(members.m_ZornRenderOption, 33);
    EXPECT_EQ(members.m_NavigationOption, 2);

    SettingsMembers fresh;
    WriteProductKey(
        "\"SpecificationRenderOption\"=\"abc\"\n\"ZornRenderOption\"=\"40000\"\n"
        "\"NavigationOption\"=dword:00010000\n\"IE11Path\"=hex:01\n");
    fresh.m_IE11Path = "kept";
    LoadOptionSettings(HKEY_CURRENT_USER_ROOT, fresh, options, mru);
    EXPECT_EQ(fresh.m_SpecificationRenderOption, 0);
    EXPECT_EQ(fresh.m_ZornRenderOption, 0);
    EXPECT_EQ(fresh.m_NavigationOption, 0);
    EXPECT_EQ(fresh.m_IE11Path, "kept") << "binary data is no text";
    SaveSettings(HKEY_CURRENT_USER_ROOT, fresh, options, mru);
    EXPECT_EQ(Query(kProduct, "SpecificationRenderOption")->data, Text("0"));
    EXPECT_EQ(Query(kProduct, "ZornRenderOption")->type, reg::REG_SZ);
}

TEST_F(SettingsStoreTest, ArchiveOptionsAreNonZeroDwordsAndWrittenBackAsOne) {
    WriteProductKey("\"UseFolderNames\"=dword:00000005\n\"OverwritePrompt\"=\"0\"\n");
    options = {false, true};
    ASSERT_FALSE(LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, mru))
        << "no recent-files key yet";
    EXPECT_TRUE(options.useFolderNames);
    EXPECT_FALSE(options.promptToOverwrite);
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(1));
    EXPECT_EQ(Query(kProduct, "OverwritePrompt")->data, Dword(0));

    WriteProductKey("");
    options = {true, true};
    LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    EXPECT_FALSE(options.useFolderNames) << "missing under an existing key reads as 0";
}

TEST_F(SettingsStoreTest, TextsRoundTripIncludingExpandableAndCarriedValues) {
    tv::testing::EnvGuard env("TV_STORE_HOST", "example.org");
    WriteProductKey(
        "\"AppPath\"=\"/opt/tessel/\"\n\"AppDataPath\"=\"/var/tessel/\"\n"
        "\"VantorDavUrl\"=\"https://dav.example/v\"\n");
    ASSERT_TRUE(LoadPathSettings(HKEY_CURRENT_USER_ROOT, members, appPath, appDataPath));
    EXPECT_EQ(appPath, "/opt/tessel/");
    EXPECT_EQ(appDataPath, "/var/tessel/");
    members.m_GrantexUrl = "http://%TV_STORE_HOST%/q?a=%41";
    members.m_IE11Path = "/usr/bin/x-www-browser";
    for (int start = 0; start < 3; ++start) {
        SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        SettingsMembers next;
        ASSERT_TRUE(LoadPathSettings(HKEY_CURRENT_USER_ROOT, next, appPath, appDataPath));
        EXPECT_EQ(next.m_VantorDavUrl, "https://dav.example/v");
        EXPECT_EQ(next.m_IE11Path, "/usr/bin/x-www-browser");
        members = next;
    }
    EXPECT_EQ(Query(kProduct, "AppPath")->data, Text("/opt/tessel/")) << "never rewritten";
    EXPECT_EQ(members.m_GrantexUrl, "http://example.org/q?a=%41");
    EXPECT_EQ(Query(kProduct, "GrantexUrl")->type, reg::REG_SZ) << "expanded text is saved";
}

TEST_F(SettingsStoreTest, UrlWithTwoPercentEscapesIsExpandableText) {
    members.m_EspacenetUrl = "https://x.example/search?q=%20us%20";
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    EXPECT_EQ(Query(kProduct, "EspacenetUrl")->type, reg::REG_EXPAND_SZ);
    SettingsMembers loaded;
    LoadPathSettings(HKEY_CURRENT_USER_ROOT, loaded, appPath, appDataPath);
    EXPECT_EQ(loaded.m_EspacenetUrl, members.m_EspacenetUrl) << "%20us% names no variable";
}

TEST_F(SettingsStoreTest, RecentFilesSurviveASaveAndLoad) {
    for (int i = 1; i <= 16; ++i) {
        mru.Add("/p/" + std::to_string(i) + ".zip");
    }
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    cMRU loaded;
    ASSERT_TRUE(LoadOptionSettings(HKEY_CURRENT_USER_ROOT, members, options, loaded));
    ASSERT_EQ(loaded.Count(), 16);
    EXPECT_EQ(loaded.Item(1), "/p/16.zip");
    EXPECT_EQ(loaded.Item(16), "/p/1.zip");
}

TEST_F(SettingsStoreTest, KeyThatCannotBeCreatedEndsTheSaveWithAMessageNamingTheHive) {
    WriteFile(dir_ + "/file", "");
    const std::string hive = dir_ + "/file/user.reg";
    ::setenv("TESSEL_REGISTRY_FILE", hive.c_str(), 1);
    try {
        SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        ADD_FAILURE() << "the save reported success";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(SaveFailureMessage(e),
                  "Your settings could not be saved to " + hive + ": Not a directory.");
    }
}

TEST_F(SettingsStoreTest, RefusedValuesDoNotStopTheSaveButAreReportedAtItsEnd) {
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    members.m_IE11Path = std::string(2 * 1024 * 1024, 'x');  // more than a value may hold
    members.m_GooglePatentsUrl = "after the refused one";
    options.useFolderNames = true;
    try {
        SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        ADD_FAILURE() << "the save reported success";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), kErrRegistryWriteFailed);
        EXPECT_NE(e.Description().find("'IE11Path'"), std::string::npos) << e.Description();
        EXPECT_EQ(e.HivePath(), hive_);
    }
    EXPECT_EQ(Query(kProduct, "GooglePatentsUrl")->data, Text("after the refused one"));
    EXPECT_EQ(Query(kProduct, "UseFolderNames")->data, Dword(1));

    reg::testing::SetWriteFault(ENOSPC);
    members.m_IE11Path = "changed";
    try {
        SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        ADD_FAILURE() << "the save reported success";
    } catch (const AppError& e) {
        EXPECT_EQ(SaveFailureMessage(e),
                  "Your settings could not be saved to " + hive_ + ": No space left on device.");
    }
}

TEST_F(SettingsStoreTest, ReadOnlyHiveFolderIsReported) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser";
    }
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    ASSERT_EQ(::chmod(dir_.c_str(), 0500), 0);
    members.m_ChromePath = "/usr/bin/chromium";
    try {
        SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        ADD_FAILURE() << "the save reported success";
    } catch (const AppError& e) {
        EXPECT_EQ(SaveFailureMessage(e),
                  "Your settings could not be saved to " + hive_ + ": Permission denied.");
    }
    ::chmod(dir_.c_str(), 0700);
}

TEST_F(SettingsStoreTest, SuggestedAndInstallationValues) {
    const SettingsMembers suggested = SuggestedSettings();
    EXPECT_EQ(suggested.m_IE11Path, "/usr/bin/x-www-browser");
    EXPECT_EQ(suggested.m_ChromePath, "/usr/bin/chromium");
    EXPECT_EQ(suggested.m_EspacenetUrl, "https://worldwide.espacenet.com/patent/search?q=us");
    EXPECT_EQ(suggested.m_GooglePatentsUrl, "https://patents.google.com/patent/US");
    EXPECT_EQ(suggested.m_GrantexUrl,
              std::string("http://") + kGrantSearchHost + "/netahtml/NVO/srchnum.htm");
    EXPECT_EQ(suggested.m_PubexUrl,
              std::string("http://") + kPublicationSearchHost + "/netahtml/NVO/srchnum.html");
    EXPECT_TRUE(suggested.m_VantorDavUrl.empty());

    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);  // empty texts
    WriteProductKey("\"ChromePath\"=\"/opt/my-browser\"\n\"PubexUrl\"=\"\"\n");
    WriteInstallationValues("/opt/tessel/", "/var/tessel/");
    SettingsMembers loaded;
    ASSERT_TRUE(LoadPathSettings(HKEY_CURRENT_USER_ROOT, loaded, appPath, appDataPath));
    EXPECT_EQ(appPath, "/opt/tessel/");
    EXPECT_EQ(appDataPath, "/var/tessel/");
    EXPECT_EQ(loaded.m_ChromePath, "/opt/my-browser") << "a user's choice stays";
    EXPECT_EQ(loaded.m_PubexUrl, suggested.m_PubexUrl) << "an empty value is filled";
    EXPECT_EQ(loaded.m_IE11Path, suggested.m_IE11Path);
    WriteInstallationValues("/elsewhere/", "/elsewhere/");
    LoadPathSettings(HKEY_CURRENT_USER_ROOT, loaded, appPath, appDataPath);
    EXPECT_EQ(appPath, "/opt/tessel/");
}

TEST(SettingsTable, EveryNameIsUniqueAndMembersAreMapped) {
    std::set<std::string> names;
    int texts = 0;
    for (const Setting& s : SettingsTable()) {
        EXPECT_TRUE(names.insert(ToLower(s.name)).second) << s.name;
        texts += s.text != nullptr;
    }
    EXPECT_EQ(texts, 7);
    EXPECT_EQ(SettingKeyPath(SettingKey::RecentFiles), kRecent);
}

}  // namespace
}  // namespace tv
