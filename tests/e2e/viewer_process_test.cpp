// End-to-end: the real tessel-viewer executable, started with a temporary HOME, a
// temporary hive and the offscreen platform, closed the way a session ends (SIGTERM).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class ViewerProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tessel-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        fs::create_directories(root_ / "home" / "Documents");
        hive_ = root_ / "user.reg";
        stderr_ = root_ / "stderr.txt";
    }
    void TearDown() override {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        fs::remove_all(root_);
    }

    std::vector<std::string> Environment(bool withDisplay) const {
        std::vector<std::string> env = {
            "HOME=" + (root_ / "home").string(),
            "XDG_CONFIG_HOME=" + (root_ / "home" / ".config").string(),
            "XDG_DOCUMENTS_DIR=" + (root_ / "home" / "Documents").string(),
            "XDG_RUNTIME_DIR=" + root_.string(),
            "TESSEL_REGISTRY_FILE=" + hive_.string(),
            "PATH=/usr/bin:/bin",
        };
        if (withDisplay) {
            env.push_back("QT_QPA_PLATFORM=offscreen");
        }
        return env;
    }

    void Start(const std::vector<std::string>& args, bool withDisplay = true) {
        std::vector<std::string> argv = {TESSEL_VIEWER_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        std::vector<std::string> env = Environment(withDisplay);
        std::vector<char*> cenv;
        for (auto& e : env) cenv.push_back(e.data());
        cenv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (root_ / "stdout.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, stderr_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        ASSERT_EQ(posix_spawn(&pid_, cargv[0], &actions, nullptr, cargv.data(), cenv.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // Waits until standard error holds text; false after the time-out.
    bool WaitForStderr(const std::string& text,
                       std::chrono::seconds limit = std::chrono::seconds(20)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (ReadFile(stderr_).find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    int WaitForExit(std::chrono::seconds limit = std::chrono::seconds(20)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

    fs::path root_, hive_, stderr_;
    pid_t pid_ = -1;
};

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
