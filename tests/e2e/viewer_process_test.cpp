// End-to-end: the real tessel-viewer executable, started with a temporary HOME, a
// temporary hive and the offscreen platform, closed the way a session ends (SIGTERM).
#include "tests/e2e/viewer_fixture.h"

namespace {

using namespace tv::e2e;

TEST_F(ViewerProcess, HelpAndVersionNeedNoDisplay) {
    Start({"--help"}, false);
    ASSERT_EQ(WaitForExit(), 0);
    const std::string usage = ReadFile(root_ / "stdout.txt");
    EXPECT_NE(usage.find("Usage: tessel-viewer"), std::string::npos);
    EXPECT_NE(usage.find("TESSEL_REGISTRY_FILE"), std::string::npos);

    Start({"--version"}, false);
    ASSERT_EQ(WaitForExit(), 0);
    EXPECT_EQ(ReadFile(root_ / "stdout.txt"), "tessel-viewer " TESSEL_VERSION "\n");
}

TEST_F(ViewerProcess, FirstRunWarnsThenSavesEverySettingAtClose) {
    Start({});
    ASSERT_TRUE(
        WaitForStderr("message: Tessel Viewer: Fatal Error: Could not find Internet Explorer.\n"));
    kill(pid_, SIGTERM);
    ASSERT_EQ(WaitForExit(), 0);
    const std::string hive = ReadFile(hive_);
    EXPECT_NE(hive.find("[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]"),
              std::string::npos);
    for (const char* name :
         {"IE11Path", "ChromePath", "VantorDavUrl", "EspacenetUrl", "GrantexUrl", "PubexUrl",
          "GooglePatentsUrl", "SpecificationRenderOption", "NavigationOption", "ZornRenderOption",
          "UseFolderNames", "OverwritePrompt"}) {
        EXPECT_NE(hive.find("\"" + std::string(name) + "\"="), std::string::npos) << name;
    }
    EXPECT_NE(hive.find("FileOpenMRU]"), std::string::npos);
}

TEST_F(ViewerProcess, OpenedPackageEntersTheRecentListAndTheWorkingFolderIsCleaned) {
    {
        std::ofstream out(hive_);
        out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
               "\"IE11Path\"=\"/bin/true\"\n";
    }
    const fs::path package = root_ / "US0001.zip";
    ASSERT_EQ(std::system(("cd " + root_.string() +
                           " && printf '<doc/>' > doc.xml && "
                           "zip -q US0001.zip doc.xml")
                              .c_str()),
              0);
    const fs::path leftover = root_ / "home" / "Documents" / "MyTessel" / "old" / "x.xml";
    fs::create_directories(leftover.parent_path());
    std::ofstream(leftover) << "<x/>";

    Start({package.string(), "ignored.txt"});
    // A close that arrives during start-up is handled once start-up is over; the
    // pause only lets the window come up first.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(pid_, SIGTERM);
    ASSERT_EQ(WaitForExit(), 0);
    EXPECT_EQ(ReadFile(stderr_).find("message:"), std::string::npos) << ReadFile(stderr_);
    const std::string hive = ReadFile(hive_);
    EXPECT_NE(hive.find("\"Item1\"=\"" + package.string() + "\""), std::string::npos) << hive;
    EXPECT_TRUE(fs::exists(root_ / "home" / "Documents" / "MyTessel"));
    EXPECT_FALSE(fs::exists(leftover));
}

}  // namespace
