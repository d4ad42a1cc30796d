#include "platform/process/shell_wait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/fd.h"
#include "platform/process/command_line.h"
#include "platform/process/spawn_posix.h"

namespace tv {
namespace {

int PidfdOpen(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Reaps the child when it has ended; true then.
bool Ended(pid_t pid) {
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    return r == pid || (r < 0 && errno == ECHILD);
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

int Spawn(const SplitCommand& cmd, pid_t& pid) {
    if (cmd.program.empty()) {
        return ENOENT;
    }
    const std::string path = FindExecutable(cmd.program);
    if (path.empty()) {
        const bool present =
            cmd.program.find('/') != std::string::npos && access(cmd.program.c_str(), F_OK) == 0;
        return present ? EACCES : ENOENT;
    }
    spawn::FileActions actions;
    spawn::Attributes attr;
    if (!actions.ok() || !attr.ok()) {
        return ENOMEM;
    }
    int rc =
        posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (rc == 0) {
        rc = posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    }
    if (rc == 0) {
        rc = spawn::ResetSignals(attr);
    }
    if (rc != 0) {
        return rc;
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
    return posix_spawn(&pid, path.c_str(), actions.get(), attr.get(), argv.data(), environ);
}

}  // namespace

void PollPump(int fd, int maxWaitMs) {
    pollfd p{fd, POLLIN, 0};
    (void)poll(&p, 1, maxWaitMs < 0 ? 0 : maxWaitMs);
}

int SweepLeftTools() {
    return spawn::SweepUnreaped();
}

bool ShellAndWaitForTermination(const std::string& sShell, std::string& sError, long lTimeOut,
                                const EventPump& pump, long* plProcessId) {
    using Clock = std::chrono::steady_clock;
    SweepLeftTools();
    if (plProcessId) {
        *plProcessId = 0;
    }
    const SplitCommand cmd = SplitToolCommandLine(sShell);
    pid_t pid = 0;
    if (const int err = Spawn(cmd, pid); err != 0) {
        sError = StartErrorText(err, cmd.program);
        return false;
    }
    if (plProcessId) {
        *plProcessId = pid;
    }
    // The child is not reaped before the descriptor exists, so its id cannot be reused.
    const UniqueFd pidfd(PidfdOpen(pid));
    if (pidfd.Get() < 0) {
        spawn::ReapInBackground(pid);
        sError = kNotDeterminedText;
        return false;
    }
    const auto start = Clock::now();
    while (true) {
        if (Ended(pid)) {
            return true;
        }
        const long elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        if (elapsed > lTimeOut) {
            spawn::ReapInBackground(pid);
            sError = kTimedOutText;
            return false;
        }
        // The pump wakes at the exit, or after one tick (or at the time-out) at most.
        const long left = lTimeOut - elapsed + 1;
        const int wait = static_cast<int>(left < kPumpTickMs ? left : kPumpTickMs);
        try {
            if (pump) {
                pump(pidfd.Get(), wait);
            } else {
                PollPump(pidfd.Get(), wait);
            }
        } catch (...) {
            spawn::ReapInBackground(pid);  // still reaped when it ends
            throw;
        }
    }
}

}  // namespace tv
