// Browser launch: programs are really started (the stand-in browser of tests/tools).
#include "render/launch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/start_detached.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class LaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tools = std::getenv("TESSEL_TEST_TOOLS");
        ASSERT_NE(tools, nullptr);
        browser_ = std::string(tools) + "/fake-browser";
        std::string pattern = (fs::temp_directory_path() / "tessel-launch-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = fs::canonical(pattern);
        log_ = dir_ / "launches.log";
        setenv("TESSEL_FAKE_LOG", log_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TESSEL_FAKE_LOG");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // The log's lines once it holds count of them (gives up after ten seconds).
    std::vector<std::string> WaitForLines(std::size_t count) {
        std::vector<std::string> lines;
        for (auto end = std::chrono::steady_clock::now() + 10s;
             lines.size() < count && std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms)) {
            lines.clear();
            std::ifstream in(log_);
            for (std::string line; std::getline(in, line);) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines.size(), count);
        std::sort(lines.begin(), lines.end());  // parallel runs finish in any order
        return lines;
    }

    std::string browser_;
    fs::path dir_;
    fs::path log_;
};

TEST_F(LaunchTest, TargetIsTheOnlyArgumentAndTheQuotedFolderIsEntered) {
    // Characters a shell would act on reach the browser untouched.
    const std::string address = "http://h.example/.piw?Docid=0&u=%2F a;b|c $(x) `y` \"q\" 'z'";
    LaunchInBrowser(browser_, address, "\"" + dir_.string() + "\"");
    LaunchInBrowser(browser_, "", dir_.string() + "/");
    EXPECT_EQ(WaitForLines(2),
              (std::vector<std::string>{dir_.string() + "\t", dir_.string() + "\t" + address}));
}

TEST_F(LaunchTest, NoSuchFolderMeansTheViewersOwn) {
    const std::string own = fs::canonical(fs::current_path()).string();
    for (const std::string& wd :
         std::vector<std::string>{R"("c:\")", R"("")", "", "\"", (dir_ / "missing").string()}) {
        fs::remove(log_);
        LaunchInBrowser(browser_, "x", wd);
        EXPECT_EQ(WaitForLines(1), std::vector<std::string>{own + "\tx"}) << wd;
    }
}

TEST_F(LaunchTest, ProgramPathWithSpaces) {
    const fs::path folder = dir_ / "Program Files (x86)" / "Fake Browser";
    fs::create_directories(folder);
    fs::copy_file(browser_, folder / "fake browser");
    fs::permissions(folder / "fake browser", fs::perms::owner_all);

    LaunchInBrowser((folder / "fake browser").string(), "http://a.example/x y", dir_.string());
    EXPECT_EQ(WaitForLines(1), std::vector<std::string>{dir_.string() + "\thttp://a.example/x y"});
}

TEST_F(LaunchTest, MissingOrUnusableProgramIsAStatusNotACrash) {
    const fs::path plain = dir_ / "not-executable";
    std::ofstream(plain) << "#!/bin/sh\n";
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_EQ(StartDetached((dir_ / "no-such-browser").string(), "x", "").status,
              StartStatus::ProgramNotFound);
    EXPECT_EQ(StartDetached("", "x", "").status, StartStatus::ProgramNotFound);
    EXPECT_EQ(StartDetached("no-such-browser-on-path-xyz", "x", "").status,
              StartStatus::ProgramNotFound);
    EXPECT_EQ(StartDetached(plain.string(), "x", "").status, StartStatus::NotExecutable);
    EXPECT_EQ(StartDetached(dir_.string(), "x", "").status, StartStatus::NotExecutable);
    LaunchInBrowser("/no/such/browser", "x", R"("c:\")");  // returns quietly
    EXPECT_FALSE(fs::exists(log_));
}

TEST_F(LaunchTest, ProgramRunsDetachedAndIsReaped) {
    // "sleep" is found on PATH and keeps running while its process is inspected (once
    // its own start-up, which opens files of its own, is over).
    const auto start = std::chrono::steady_clock::now();
    const StartResult r = StartDetached("sleep", "3", "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "the start waited";
    ASSERT_EQ(r.status, StartStatus::Started);
    std::this_thread::sleep_for(500ms);
    const fs::path proc = "/proc/" + std::to_string(r.processId);

    // Own session: the session id (fourth field after the name) is its own id.
    std::string stat;
    std::getline(std::ifstream(proc / "stat"), stat);
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string state, parent, group, session;
    fields >> state >> parent >> group >> session;
    EXPECT_EQ(session, std::to_string(r.processId)) << stat;

    // Standard streams on /dev/null and nothing else of ours inherited.
    std::vector<std::string> fds;
    for (const auto& e : fs::directory_iterator(proc / "fd")) {
        std::error_code ec;
        fds.push_back(e.path().filename().string() + " " + fs::read_symlink(e.path(), ec).string());
    }
    std::sort(fds.begin(), fds.end());
    EXPECT_EQ(fds, (std::vector<std::string>{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));

    // Once it ends its entry goes: it was reaped, not left as a zombie.
    for (auto end = start + 15s; fs::exists(proc) && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_FALSE(fs::exists(proc));
}

TEST_F(LaunchTest, ReplacedLauncherRecordsInsteadOfStarting) {
    std::vector<std::string> seen;
    {
        ScopedProcessLauncher recorder(
            [&](const std::string& p, const std::string& a, const std::string& w) {
                seen = {p, a, w};
                return StartResult{StartStatus::Started, 0, 4242};
            });
        LaunchInBrowser(browser_, "http://x.example/", R"("c:\")");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{browser_, "http://x.example/", R"("c:\")"}));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(fs::exists(log_));
    // The real start is back.
    LaunchInBrowser(browser_, "y", "");
    EXPECT_EQ(WaitForLines(1).size(), 1u);
}

}  // namespace
}  // namespace tv
