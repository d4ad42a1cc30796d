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
#include "tests/platform/test_env.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

class LaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tools = std::getenv("TESSEL_TEST_TOOLS");
        ASSERT_NE(tools, nullptr);
        browser_ = std::string(tools) + "/fake-browser";
    }

    // The log's lines, sorted, once it holds count of them (gives up after ten seconds).
    Lines WaitForLines(std::size_t count) {
        Lines lines;
        for (auto end = std::chrono::steady_clock::now() + 10s;
             lines.size() < count && std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms)) {
            std::ifstream in(log_);
            lines.clear();
            for (std::string line; std::getline(in, line);) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines.size(), count);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    test::TempFolder tmp_;
    const std::string dir_ = fs::canonical(tmp_.Path()).string();  // as the browser sees it
    const std::string log_ = dir_ + "/launches.log";
    const std::string own_ = fs::canonical(fs::current_path()).string();
    test::ScopedEnv logVariable_{"TESSEL_FAKE_LOG", log_};
    std::string browser_;
};

TEST_F(LaunchTest, TargetIsTheOnlyArgumentInTheNamedFolderOrTheViewersOwn) {
    // Spaces in the program's path and characters a shell would act on need no quoting.
    const fs::path spaced = fs::path(dir_) / "Program Files (x86)" / "fake browser";
    fs::create_directories(spaced.parent_path());
    fs::copy_file(browser_, spaced);
    fs::permissions(spaced, fs::perms::owner_all);
    const std::string address = "http://h.example/.piw?Docid=0&u=%2F a;b|c $(x) `y` \"q\" 'z'";
    LaunchInBrowser(spaced.string(), address, "\"" + dir_ + "\"");
    LaunchInBrowser(browser_, "", dir_ + "/");
    Lines expected{dir_ + "\t", dir_ + "\t" + address};
    for (const std::string wd : {R"("c:\")", R"("")", "", "\"", "/no/such/folder"}) {
        LaunchInBrowser(browser_, "in " + wd, wd);
        expected.push_back(own_ + "\tin " + wd);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(WaitForLines(expected.size()), expected);
}

TEST_F(LaunchTest, MissingOrUnusableProgramIsAStatusNotACrash) {
    const std::string plain = dir_ + "/not-executable";
    test::WriteFile(plain, "#!/bin/sh\n");
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    for (const std::string& p :
         {dir_ + "/no-such-browser", std::string(), std::string("no-such-xyz")}) {
        EXPECT_EQ(StartDetached(p, "x", "").status().Number(), kErrFileNotFound) << p;
    }
    EXPECT_EQ(StartDetached(plain, "x", "").status().Number(), kErrPermission);
    EXPECT_EQ(StartDetached(dir_, "x", "").status().Number(), kErrPermission);
    LaunchInBrowser("/no/such/browser", "x", R"("c:\")");  // returns quietly
    EXPECT_FALSE(fs::exists(log_));
}

TEST_F(LaunchTest, ProgramRunsDetachedAndIsReaped) {
    // "sleep" is found on PATH and keeps running while its process is inspected (once
    // its own start-up, which opens files of its own, is over).
    const auto start = std::chrono::steady_clock::now();
    const Result<long> r = StartDetached("sleep", "3", "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "the start waited";
    ASSERT_TRUE(r.Ok()) << r.status().Description();
    std::this_thread::sleep_for(500ms);
    const fs::path proc = "/proc/" + std::to_string(*r);

    // Own session: the session id (fourth field after the name) is its own id.
    std::string stat, state, parent, group, session;
    std::getline(std::ifstream(proc / "stat"), stat);
    std::istringstream(stat.substr(stat.rfind(')') + 1)) >> state >> parent >> group >> session;
    EXPECT_EQ(session, std::to_string(*r)) << stat;

    // Standard streams on /dev/null and nothing else of ours inherited.
    Lines fds;
    for (const auto& e : fs::directory_iterator(proc / "fd")) {
        std::error_code ec;
        fds.push_back(e.path().filename().string() + " " + fs::read_symlink(e.path(), ec).string());
    }
    std::sort(fds.begin(), fds.end());
    EXPECT_EQ(fds, (Lines{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));

    // Once it ends its entry goes: it was reaped, not left as a zombie.
    while (fs::exists(proc) && std::chrono::steady_clock::now() < start + 15s) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_FALSE(fs::exists(proc));
}

TEST_F(LaunchTest, ReplacedLauncherRecordsInsteadOfStarting) {
    Lines seen;
    {
        ScopedProcessLauncher recorder([&](const auto& p, const auto& a, const auto& w) {
            seen = {p, a, w};
            return Result<long>(4242);
        });
        LaunchInBrowser(browser_, "http://x.example/", R"("c:\")");
    }
    EXPECT_EQ(seen, (Lines{browser_, "http://x.example/", R"("c:\")"}));
    LaunchInBrowser(browser_, "y", "");  // the real start is back
    EXPECT_EQ(WaitForLines(1), Lines{own_ + "\ty"});
}

}  // namespace
}  // namespace tv
