// Browser launch: the stand-in programs of tests/tools are really started.
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

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string part; std::getline(in, part, sep);) {
        out.push_back(part);
    }
    if (!line.empty() && line.back() == sep) {
        out.emplace_back();
    }
    return out;
}

class LaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tools = std::getenv("TESSEL_TEST_TOOLS");
        ASSERT_NE(tools, nullptr);
        tools_ = tools;
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

    // The log's lines once it holds count of them (fails after ten seconds).
    std::vector<std::string> WaitForLines(std::size_t count) {
        std::vector<std::string> lines;
        for (auto end = std::chrono::steady_clock::now() + 10s;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(20ms)) {
            lines.clear();
            std::ifstream in(log_);
            for (std::string line; std::getline(in, line);) {
                lines.push_back(line);
            }
            if (lines.size() >= count) {
                break;
            }
        }
        EXPECT_EQ(lines.size(), count);
        return lines;
    }

    std::string FakeBrowser() const { return (tools_ / "fake-browser").string(); }

    fs::path tools_;
    fs::path dir_;
    fs::path log_;
};

TEST_F(LaunchTest, BrowserGetsTheTargetAsItsOnlyArgumentInTheUnquotedFolder) {
    // Characters a shell would act on reach the browser untouched.
    const std::string address = "http://h.example/.piw?Docid=0&u=%2F a;b|c $(x) `y` \"q\" 'z'";
    LaunchInBrowser(FakeBrowser(), address, "\"" + dir_.string() + "\"");
    LaunchInBrowser(FakeBrowser(), "", dir_.string() + "/");

    const auto lines = WaitForLines(2);
    ASSERT_EQ(lines.size(), 2u);
    // The two runs may finish in either order.
    const std::string first = dir_.string() + "\t" + address;
    const std::string second = dir_.string() + "\t";
    EXPECT_TRUE((lines[0] == first && lines[1] == second) ||
                (lines[0] == second && lines[1] == first))
        << lines[0] << "\n"
        << lines[1];
}

TEST_F(LaunchTest, NoSuchFolderMeansTheViewersOwn) {
    const std::string own = fs::canonical(fs::current_path()).string();
    for (const std::string& wd :
         std::vector<std::string>{R"("c:\")", R"("")", "", "\"", (dir_ / "missing").string()}) {
        fs::remove(log_);
        LaunchInBrowser(FakeBrowser(), "x", wd);
        const auto lines = WaitForLines(1);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], own + "\tx") << "working directory " << wd;
    }
    EXPECT_EQ(ResolveWorkingDirectory("\"" + dir_.string() + "\""), dir_.string());
    EXPECT_EQ(ResolveWorkingDirectory(R"("c:\")"), "");
}

TEST_F(LaunchTest, ProgramPathWithSpaces) {
    const fs::path folder = dir_ / "Program Files (x86)" / "Fake Browser";
    fs::create_directories(folder);
    const fs::path program = folder / "fake browser";
    fs::copy_file(FakeBrowser(), program);
    fs::permissions(program, fs::perms::owner_all);

    const StartResult r = StartDetached(program.string(), "http://a.example/x y", R"("c:\")");
    EXPECT_EQ(r.status, StartStatus::Started);
    const auto lines = WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Split(lines[0], '\t').back(), "http://a.example/x y");
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
    // "sleep" is found on PATH and keeps running while its process is inspected.
    const auto start = std::chrono::steady_clock::now();
    const StartResult r = StartDetached("sleep", "2", "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "the start waited";
    ASSERT_EQ(r.status, StartStatus::Started);
    const fs::path proc = "/proc/" + std::to_string(r.processId);

    // Own session: the session id (sixth field of stat) is the process's own id.
    std::string stat;
    std::getline(std::ifstream(proc / "stat"), stat);
    const auto fields = Split(stat.substr(stat.rfind(')') + 2), ' ');
    ASSERT_GE(fields.size(), 4u) << stat;
    EXPECT_EQ(fields[3], std::to_string(r.processId)) << stat;

    // Standard streams on /dev/null and nothing else of ours inherited.
    std::vector<std::string> fds;
    for (const auto& e : fs::directory_iterator(proc / "fd")) {
        fds.push_back(e.path().filename().string() + " " + fs::read_symlink(e.path()).string());
    }
    std::sort(fds.begin(), fds.end());
    EXPECT_EQ(fds, (std::vector<std::string>{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));

    // Once it ends its entry goes: it was reaped, not left as a zombie.
    auto end = std::chrono::steady_clock::now() + 15s;
    while (fs::exists(proc) && std::chrono::steady_clock::now() < end) {
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
        LaunchInBrowser(FakeBrowser(), "http://x.example/", R"("c:\")");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{FakeBrowser(), "http://x.example/", R"("c:\")"}));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(fs::exists(log_));
    // The real start is back.
    EXPECT_EQ(StartDetached(FakeBrowser(), "y", "").status, StartStatus::Started);
    EXPECT_EQ(WaitForLines(1).size(), 1u);
}

}  // namespace
}  // namespace tv
