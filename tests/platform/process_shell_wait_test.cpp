// Tool command lines and the wait for them: real processes (small shell scripts).
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/command_line.h"
#include "platform/process/shell_wait.h"
#include "tests/platform/test_env.h"

namespace tv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ProcessCommandLine, SplitsLikeTheSystemProcessStart) {
    const std::set<std::string> executables = {"/opt/My Viewer/Perl/PathMend", "/bin/tool"};
    auto probe = [&](const std::string& n) { return executables.count(n) > 0; };
    struct Case {
        std::string line;
        std::string program;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {R"(/opt/My Viewer/Perl/PathMend "/w/a b.xml" "/d/DTDs/c.txt")",
         "/opt/My Viewer/Perl/PathMend",
         {"/w/a b.xml", "/d/DTDs/c.txt"}},
        {"/opt/My Viewer/Perl/PathMend", "/opt/My Viewer/Perl/PathMend", {}},
        {R"("/opt/x y/t" a)", "/opt/x y/t", {"a"}},
        {"/missing dir/t a", "/missing", {"dir/t", "a"}},
        {R"(/bin/tool a\\"b c" d)", "/bin/tool", {R"(a\b c)", "d"}},
        {R"(/bin/tool a\"b "x""y" c\d)", "/bin/tool", {R"(a"b)", R"(x"y)", R"(c\d)"}},
        {"  /bin/tool\t a  ", "/bin/tool", {"a"}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const SplitCommand cmd = SplitToolCommandLine(c.line, probe);
        EXPECT_EQ(cmd.program, c.program) << c.line;
        EXPECT_EQ(cmd.arguments, c.args) << c.line;
    }
}

class ShellWaitTest : public ::testing::Test {
  protected:
    // An executable script in a folder whose name holds a space.
    std::string Tool(const std::string& name, const std::string& body) {
        const std::string path = tmp_ / ("Tool Folder/" + name);
        test::WriteFile(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    test::TempFolder tmp_;
};

TEST_F(ShellWaitTest, UnquotedProgramWithSpacesGetsItsQuotedArguments) {
    const std::string out = tmp_ / "args.txt";
    const std::string tool = Tool("record", "printf '%s|' \"$@\" > \"" + out + "\"");
    std::string error = "unchanged";
    EXPECT_TRUE(ShellAndWaitForTermination(tool + " \"a b.xml\" \"c\"", error, 10000));
    EXPECT_EQ(error, "unchanged");
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a b.xml|c|");
}

TEST_F(ShellWaitTest, NoticesTheExitWithoutWaitingForATick) {
    const std::string tool = Tool("quick", "exit 3");
    std::vector<int> waits;
    auto pump = [&](int fd, int maxWaitMs) {
        waits.push_back(maxWaitMs);
        PollPump(fd, maxWaitMs);
    };
    std::string error;
    const auto start = Clock::now();
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(ShellAndWaitForTermination(tool, error, 10000, pump));  // exit code ignored
    }
    EXPECT_LT(Clock::now() - start, 400ms);
    for (int w : waits) {
        EXPECT_LE(w, kPumpTickMs);
    }
}

TEST_F(ShellWaitTest, StartFailuresAndTimeOutGiveTheirTexts) {
    std::string error;
    long pid = -1;
    EXPECT_FALSE(
        ShellAndWaitForTermination(tmp_ / "Tool Folder/none \"x\"", error, 1000, {}, &pid));
    EXPECT_EQ(error.rfind("File not found: ", 0), 0u) << error;
    EXPECT_EQ(pid, 0);

    const std::string plain = tmp_ / "plain";
    test::WriteFile(plain, "not a program");
    EXPECT_FALSE(ShellAndWaitForTermination(plain, error, 1000));
    EXPECT_EQ(error.rfind("Permission denied: ", 0), 0u) << error;

    // A timed-out tool keeps running and is reaped once it ends: no zombie.
    const std::string done = tmp_ / "done";
    const std::string tool = Tool("slow", "sleep 0.4; touch \"" + done + "\"");
    const auto start = Clock::now();
    EXPECT_FALSE(ShellAndWaitForTermination(tool, error, 150, {}, &pid));
    EXPECT_EQ(error, kTimedOutText);
    EXPECT_LT(Clock::now() - start, 350ms);
    EXPECT_FALSE(std::filesystem::exists(done));
    ASSERT_GT(pid, 0);
    const std::string proc = "/proc/" + std::to_string(pid);
    for (auto end = Clock::now() + 5s; std::filesystem::exists(proc) && Clock::now() < end;) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(std::filesystem::exists(done));
    EXPECT_FALSE(std::filesystem::exists(proc));
    EXPECT_EQ(SweepLeftTools(), 0);
}

}  // namespace
}  // namespace tv
