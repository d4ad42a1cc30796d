#pragma once
// Runs the real tessel-viewer executable for end-to-end tests: a temporary HOME, a
// temporary hive and the offscreen platform, standard output and error in files, the
// viewer's current folder the temporary root; ended the way a session ends (SIGTERM).
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

namespace tv::e2e {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& p) {
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
        env.insert(env.end(), extraEnv_.begin(), extraEnv_.end());
        return env;
    }

    void Start(const std::vector<std::string>& args, bool withDisplay = true) {
        std::vector<std::string> argv = {viewer_.string()};
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
        posix_spawn_file_actions_addchdir_np(&actions, root_.c_str());
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

    fs::path viewer_ = TESSEL_VIEWER_BINARY;
    fs::path root_, hive_, stderr_;
    std::vector<std::string> extraEnv_;  // NAME=value, added to the viewer's environment
    pid_t pid_ = -1;
};

}  // namespace tv::e2e
