// Tool command lines and the wait for them: real processes (small shell scripts).
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/command_line.h"
#include "platform/process/shell_wait.h"
#include "tests/platform/process_gone.h"
#include "tests/platform/test_env.h"

namespace tv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProcessCommandLine, SplitsTextWithoutProbingForTheProgram) {
    struct Case {
        std::string line;
        std::string program;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {R"(/opt/My Viewer/Perl/PathMend "/w/a b.xml")",
         "/opt/My",
         {"Viewer/Perl/PathMend", "/w/a b.xml"}},
        {R"("/opt/x y/t" a)", "/opt/x y/t", {"a"}},
        {R"(/bin/tool a\\"b c" d)", "/bin/tool", {R"(a\b c)", "d"}},
        {R"(/bin/tool a\"b "x""y" c\d)", "/bin/tool", {R"(a"b)", R"(x"y)", R"(c\d)"}},
        {"  /bin/tool\t a  ", "/bin/tool", {"a"}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const SplitCommand cmd = SplitToolCommandLine(c.line);
        EXPECT_EQ(cmd.program, c.program) << c.line;
        EXPECT_EQ(cmd.arguments, c.args) << c.line;
    }
}

class ShellWaitTest : public ::testing::Test {
  protected:
    // An executable script at a path below the temporary folder.
    std::string Script(const std::string& name, const std::string& body) {
        const std::string path = tmp_ / name;
        test::WriteFile(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    test::TempFolder tmp_;
};

// The program is the file named, in a folder whose name holds a space, with an
// executable named like the folder's first word beside it; quotes, spaces and
// backslashes in arguments reach it unchanged.
TEST_F(ShellWaitTest, StartsExactlyTheNamedProgramWithExactArguments) {
    const std::string record = tmp_ / "argv.txt";
    Script("app", "echo decoy >> \"" + record + "\"");
    const std::string tool =
        Script("app folder/Perl/PathMend", "printf '%s\\n' \"$0\" \"$@\" >> \"" + record + "\"");
    const std::vector<std::vector<std::string>> cases = {
        {"/w/my \"draft\".xml", "/d/DTDs/c.txt"},
        {"/w/p\" \"--evil\".xml"},
        {"a\\\"b", "", " lead", "x\\"},
    };
    for (const auto& args : cases) {
        std::filesystem::remove(record);
        std::string error = "unchanged";
        EXPECT_TRUE(ShellAndWaitForTermination(SplitCommand{tool, args}, error, 10000));
        EXPECT_EQ(error, "unchanged");
        std::string expected = tool + "\n";
        for (const std::string& a : args) {
            expected += a + "\n";
        }
        EXPECT_EQ(Read(record), expected) << args[0];
    }
}

TEST_F(ShellWaitTest, NoticesTheExitWithoutWaitingForATick) {
    const std::string tool = Script("quick", "exit 3");
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

TEST_F(ShellWaitTest, StartFailuresGiveTheirTexts) {
    const std::string plain = tmp_ / "plain";
    test::WriteFile(plain, "not a program");
    const struct {
        SplitCommand command;
        const char* text;
    } cases[] = {
        {{tmp_ / "none", {"x"}}, "File not found: "}, {{"", {}}, "File not found: "},
        {{plain, {}}, "Permission denied: "},         {{tmp_.Path(), {}}, "Permission denied: "},
        {{"sh", {"-c", "true"}}, "File not found: "},  // never looked up in PATH
    };
    for (const auto& c : cases) {
        std::string error;
        long pid = -1;
        EXPECT_FALSE(ShellAndWaitForTermination(c.command, error, 1000, {}, &pid));
        EXPECT_EQ(error.rfind(c.text, 0), 0u) << error;
        EXPECT_EQ(pid, 0);
    }
}

// However the wait ends while the tool runs, the tool does not run on, even when it
// ignores SIGTERM; with the wait's process group so does the child it started. Each
// case runs the wait in a process of its own that stands for the viewer.
TEST_F(ShellWaitTest, NoToolOutlivesItsWait) {
    enum class End { TimeOut, PumpThrows, ExitInPump, WaiterKilled };
    const std::string base = tmp_ / "pid";
    const std::string tool = Script("stubborn",
                                    "trap '' TERM\n"
                                    "sleep 30 &\n"
                                    "echo $! > \"$1.child.tmp\"; mv \"$1.child.tmp\" \"$1.child\"\n"
                                    "echo $$ > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"\n"
                                    "while :; do wait; done");
    const struct {
        End end;
        bool childToo;  // the backstop reaches the tool alone
    } cases[] = {{End::TimeOut, true},
                 {End::PumpThrows, true},
                 {End::ExitInPump, true},
                 {End::WaiterKilled, false}};
    for (const auto& c : cases) {
        const int which = static_cast<int>(c.end);
        std::filesystem::remove(base);
        std::filesystem::remove(base + ".child");
        const pid_t waiter = fork();
        ASSERT_GE(waiter, 0);
        if (waiter == 0) {
            auto pump = [&](int fd, int ms) {
                if (std::filesystem::exists(base)) {
                    if (c.end == End::PumpThrows) {
                        throw which;
                    }
                    if (c.end == End::ExitInPump) {
                        std::exit(0);
                    }
                } else if (c.end == End::TimeOut) {
                    std::this_thread::sleep_for(20ms);  // the time-out only once it runs
                    return;
                }
                PollPump(fd, ms);
            };
            std::string error;
            const long timeOut = c.end == End::TimeOut ? 200 : 60000;
            try {
                ShellAndWaitForTermination(SplitCommand{tool, {base}}, error, timeOut, pump);
            } catch (int) {
            }
            _exit(error == kTimedOutText ? 3 : 0);
        }
        for (auto end = Clock::now() + 10s; !std::filesystem::exists(base) && Clock::now() < end;) {
            std::this_thread::sleep_for(10ms);
        }
        const long pid = std::atol(Read(base).c_str());
        const long child = std::atol(Read(base + ".child").c_str());
        if (c.end == End::WaiterKilled) {
            kill(waiter, SIGKILL);
        }
        int status = 0;
        waitpid(waiter, &status, 0);
        ASSERT_GT(pid, 0) << which;
        ASSERT_GT(child, 0) << which;
        if (c.end == End::TimeOut) {
            EXPECT_EQ(WEXITSTATUS(status), 3);
        }
        EXPECT_TRUE(test::ProcessGoneWithin(pid, 3s)) << which;
        if (c.childToo) {
            EXPECT_TRUE(test::ProcessGoneWithin(child, 3s)) << which;
        }
        for (long p : {pid, child}) {
            if (!test::ProcessGone(p)) {
                kill(static_cast<pid_t>(p), SIGKILL);
            }
        }
    }
    EXPECT_EQ(SweepLeftTools(), 0);
}

}  // namespace
}  // namespace tv
