#include "platform/process/shell_wait.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/error.h"
#include "platform/fd.h"
#include "platform/process/spawn_posix.h"

namespace tv {
namespace {

using Clock = std::chrono::steady_clock;

// How long a tool killed with SIGKILL may take to go before it is left to a reaper.
constexpr int kReapWaitMs = 2000;

int PidfdOpen(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

std::string StartErrorText(int err, const std::string& program) {
    const char* what = "Could not start the program";
    switch (ErrorNumberFromErrno(err)) {
        case kErrFileNotFound:
            what = "File not found";
            break;
        case kErrPathNotFound:
            what = "Path not found";
            break;
        case kErrPermission:
            what = "Permission denied";
            break;
        default:
            break;
    }
    return std::string(what) + ": " + program + " (" + std::strerror(err) + ")";
}

// The process groups of the tools being waited for, with the process that waits for
// each (a child forked from the viewer inherits the list but not the tools), killed at
// exit().
struct Running {
    pid_t owner;
    pid_t group;
};
std::mutex g_runningMutex;
std::vector<Running> g_running;

void Register(pid_t group) noexcept {
    static std::once_flag once;
    try {
        std::call_once(once, [] { std::atexit(EndRunningTools); });
        std::lock_guard lock(g_runningMutex);
        g_running.push_back({getpid(), group});
    } catch (...) {
        // Only the exit() path loses the tool; every other way out still ends it.
    }
}

void Unregister(pid_t group) noexcept {
    std::lock_guard lock(g_runningMutex);
    std::erase_if(g_running, [group](const Running& r) { return r.group == group; });
}

// A descriptor numbered 3 or above, so the child's standard streams never collide
// with it; close-on-exec.
UniqueFd AboveStandard(int fd) {
    UniqueFd owned(fd);
    if (fd >= 0 && fd <= STDERR_FILENO) {
        return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
    }
    return owned;
}

// Everything the child needs between fork and exec, prepared before the fork: the
// child only makes async-signal-safe calls.
struct ChildPlan {
    const char* path;
    char* const* argv;
    char* const* envp;
    pid_t parent;
    int devNull;
    int errorFd;  // gets the errno when the exec fails; closes at a successful one
    int fdLimit;
};

[[noreturn]] void RunChild(const ChildPlan& p) {
    int err = 0;
    // The tool dies with the thread that waits for it; gone already means nobody waits.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        err = errno;
    } else if (getppid() != p.parent) {
        _exit(127);
    }
    if (err == 0 && setpgid(0, 0) != 0) {
        err = errno;
    }
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        (void)sigaction(sig, &dfl, nullptr);  // fails for SIGKILL, SIGSTOP: harmless
    }
    sigset_t none;
    sigemptyset(&none);
    (void)sigprocmask(SIG_SETMASK, &none, nullptr);
    if (err == 0 && dup2(p.devNull, STDIN_FILENO) < 0) {
        err = errno;
    }
    if (err == 0 && close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = STDERR_FILENO + 1; fd < p.fdLimit; ++fd) {
            (void)fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    if (err == 0) {
        execve(p.path, p.argv, p.envp);
        err = errno;
    }
    (void)!write(p.errorFd, &err, sizeof err);
    _exit(127);
}

// Starts the tool; 0, or the errno of what failed (the exec's own included).
int StartTool(const SplitCommand& cmd, pid_t& pid) {
    if (cmd.program.empty()) {
        return ENOENT;
    }
    std::vector<std::string> strings;
    strings.reserve(cmd.arguments.size() + 1);
    strings.push_back(cmd.program);
    strings.insert(strings.end(), cmd.arguments.begin(), cmd.arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    const UniqueFd devNull = AboveStandard(open("/dev/null", O_RDONLY | O_CLOEXEC));
    int ends[2] = {-1, -1};
    if (!devNull.Valid() || pipe2(ends, O_CLOEXEC) != 0) {
        return EMFILE;
    }
    const UniqueFd readEnd = AboveStandard(ends[0]);
    UniqueFd writeEnd = AboveStandard(ends[1]);
    if (!readEnd.Valid() || !writeEnd.Valid()) {
        return EMFILE;
    }
    const long openMax = sysconf(_SC_OPEN_MAX);
    const ChildPlan plan{cmd.program.c_str(),
                         argv.data(),
                         environ,
                         getpid(),
                         devNull.Get(),
                         writeEnd.Get(),
                         static_cast<int>(std::clamp(openMax, 64L, 65536L))};

    // No handler of the viewer may run in the child before its signals are reset.
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    pid = fork();
    if (pid == 0) {
        RunChild(plan);
    }
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (pid < 0) {
        return forkError;
    }
    writeEnd.Reset();
    (void)setpgid(pid, pid);  // the child does the same; whichever comes first

    int childError = 0;
    ssize_t got;
    while ((got = read(readEnd.Get(), &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof childError)) {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid = 0;
        return childError != 0 ? childError : ENOEXEC;
    }
    return 0;
}

// A started tool and its process group. Whatever way the wait is left, the group is
// ended and the tool reaped here.
class ToolProcess {
  public:
    explicit ToolProcess(pid_t pid) : pid_(pid), pidfd_(PidfdOpen(pid)) { Register(pid_); }
    ~ToolProcess() {
        End();
        Unregister(pid_);
    }
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool Watchable() const { return pidfd_.Valid(); }
    int Fd() const { return pidfd_.Get(); }
    // True once the tool has ended; it stays unreaped until End, so its process id,
    // and with it the group's, cannot be taken by another process meanwhile.
    bool Ended() const { return WaitForEnd(0); }

  private:
    bool WaitForEnd(int ms) const {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        while (true) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            pollfd p{pidfd_.Get(), POLLIN, 0};
            const int r = poll(&p, 1, static_cast<int>(std::max<long>(0, left)));
            if (r > 0) {
                return true;
            }
            if (r == 0 || errno != EINTR) {
                return false;
            }
        }
    }

    void End() noexcept {
        if (!Watchable()) {
            kill(-pid_, SIGKILL);
            spawn::ReapInBackground(pid_);
            return;
        }
        if (!Ended()) {
            kill(-pid_, SIGTERM);
            WaitForEnd(kEndGraceMs);
        }
        // Also what the tool left running in its group when it ended by itself.
        kill(-pid_, SIGKILL);
        if (WaitForEnd(kReapWaitMs)) {
            while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        } else {
            spawn::ReapInBackground(pid_);  // stuck in the kernel; reaped once it goes
        }
    }

    pid_t pid_;
    UniqueFd pidfd_;
};

}  // namespace

Status ToolWaitStatus(long number) {
    const char* text = number == kErrToolNotWatched ? kNotDeterminedText
                       : number == kErrToolTimedOut ? kTimedOutText
                                                    : kAbandonedText;
    return Status(number, ErrorSource("ShellAndWaitForTermination"), text);
}

bool PollPump(int fd, int maxWaitMs) {
    pollfd p{fd, POLLIN, 0};
    (void)poll(&p, 1, maxWaitMs < 0 ? 0 : maxWaitMs);
    return true;
}

int SweepLeftTools() {
    return spawn::SweepUnreaped();
}

void EndRunningTools() {
    std::lock_guard lock(g_runningMutex);
    const pid_t self = getpid();
    for (const Running& r : g_running) {
        if (r.owner == self) {
            kill(-r.group, SIGKILL);
        }
    }
}

Status RunToolAndWait(const SplitCommand& command, long lTimeOut, const EventPump& pump,
                      long* plProcessId) {
    SweepLeftTools();
    if (plProcessId) {
        *plProcessId = 0;
    }
    pid_t pid = 0;
    if (const int err = StartTool(command, pid); err != 0) {
        return Status(ErrorNumberFromErrno(err), ErrorSource("ShellAndWaitForTermination"),
                      StartErrorText(err, command.program), err);
    }
    if (plProcessId) {
        *plProcessId = pid;
    }
    const ToolProcess tool(pid);
    if (!tool.Watchable()) {
        return ToolWaitStatus(kErrToolNotWatched);
    }
    const auto start = Clock::now();
    while (!tool.Ended()) {
        const long elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        if (elapsed > lTimeOut) {
            return ToolWaitStatus(kErrToolTimedOut);
        }
        // The pump wakes at the exit, or after one tick (or at the time-out) at most.
        const long left = lTimeOut - elapsed + 1;
        const int wait = static_cast<int>(left < kPumpTickMs ? left : kPumpTickMs);
        if (!(pump ? pump(tool.Fd(), wait) : PollPump(tool.Fd(), wait))) {
            return ToolWaitStatus(kErrToolAbandoned);
        }
    }
    return Status();
}

bool ShellAndWaitForTermination(const SplitCommand& command, std::string& sError, long lTimeOut,
                                const EventPump& pump, long* plProcessId) {
    const Status status = RunToolAndWait(command, lTimeOut, pump, plProcessId);
    if (!status.Ok()) {
        sError = status.Description();
    }
    return status.Ok();
}

bool ShellAndWaitForTermination(const std::string& sShell, std::string& sError, long lTimeOut,
                                const EventPump& pump, long* plProcessId) {
    return ShellAndWaitForTermination(SplitToolCommandLine(sShell), sError, lTimeOut, pump,
                                      plProcessId);
}

}  // namespace tv
