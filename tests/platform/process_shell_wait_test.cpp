// Tool command lines and the wait for them: real processes (small shell scripts).
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Ended within the limit; a zombie nobody reaps (its parent gone) counts as ended.
bool Gone(long pid, std::chrono::milliseconds limit = {}) {
    for (auto end = Clock::now() + limit;; std::this_thread::sleep_for(20ms)) {
        const std::string stat = Read("/proc/" + std::to_string(pid) + "/stat");
        const auto name = stat.rfind(')');  // "<pid> (<name>) <state> ..."
        if (name == std::string::npos || stat.compare(name + 2, 1, "Z") == 0) {
            return true;
        }
        if (Clock::now() > end) {
            return false;
        }
    }
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

TEST_F(ShellWaitTest, NoticesTheExitWithoutWaitingForATick) {
    const std::string tool = Script("quick", "exit 3");
    std::vector<int> waits;
    auto pump = [&](int fd, int maxWaitMs) {
        waits.push_back(maxWaitMs);
        return PollPump(fd, maxWaitMs);
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
    test::WriteFile(tmp_ / "plain", "not a program");
    for (const auto& [program, text] : {std::pair{tmp_ / "none", "File not found: "},
                                        {"sh", "File not found: "},  // no PATH look-up
                                        {tmp_ / "plain", "Permission denied: "}}) {
        std::string error;
        long pid = -1;
        EXPECT_FALSE(ShellAndWaitForTermination(SplitCommand{program, {}}, error, 1000, {}, &pid));
        EXPECT_EQ(error.rfind(text, 0), 0u) << error;
        EXPECT_EQ(pid, 0);
    }
}

// However its wait ends, a tool ignoring SIGTERM does not run on, nor (but for the
// killed waiter) its child. Each wait runs in a forked process standing for the viewer.
TEST_F(ShellWaitTest, NoToolOutlivesItsWait) {
    enum End { kTimeOut, kPumpGivesUp, kPumpThrows, kExitInPump, kWaiterKilled };
    prctl(PR_SET_CHILD_SUBREAPER, 1);  // orphans come here to be reaped, not to stay zombies
    const std::string pids = tmp_ / "pids";
    const std::string tool = Script("stubborn",
                                    "trap '' TERM; sleep 30 & echo $$ $! > \"$1.tmp\"\n"
                                    "mv \"$1.tmp\" \"$1\"; while :; do wait; done");
    for (const End end : {kTimeOut, kPumpGivesUp, kPumpThrows, kExitInPump, kWaiterKilled}) {
        std::filesystem::remove(pids);
        const pid_t waiter = fork();
        if (waiter == 0) {
            auto pump = [&](int fd, int ms) {
                for (int i = 0; i < 1000 && !std::filesystem::exists(pids); ++i) {
                    std::this_thread::sleep_for(10ms);  // the time-out only once it runs
                }
                if (end == kPumpThrows) {
                    throw 0;
                }
                if (end == kExitInPump) {
                    std::exit(0);
                }
                return end != kPumpGivesUp && PollPump(fd, ms);
            };
            std::string error;
            try {
                ShellAndWaitForTermination({tool, {pids}}, error, end == kTimeOut ? 0 : 60000,
                                           pump);
            } catch (int) {
            }
            _exit(error == kTimedOutText ? 3 : error == kAbandonedText ? 4 : 0);
        }
        long pid = 0, child = 0;
        for (auto until = Clock::now() + 10s; pid == 0 && Clock::now() < until;) {
            std::this_thread::sleep_for(10ms);
            std::istringstream(Read(pids)) >> pid >> child;
        }
        if (end == kWaiterKilled) {
            kill(waiter, SIGKILL);
        }
        int status = 0;
        waitpid(waiter, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), end == kTimeOut ? 3 : end == kPumpGivesUp ? 4 : 0) << end;
        EXPECT_TRUE(pid > 0 && Gone(pid, 3s)) << end;
        EXPECT_TRUE(end == kWaiterKilled || Gone(child, 3s)) << end;
        for (long p : {pid, child}) {
            if (p > 0 && !Gone(p)) {
                kill(static_cast<pid_t>(p), SIGKILL);
            }
        }
    }
    while (waitpid(-1, nullptr, 0) > 0) {
    }
}

}  // namespace
}  // namespace tv
