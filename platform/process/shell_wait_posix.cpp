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
#include "platform/process/command_line.h"

namespace tv {
namespace {

// Owns one descriptor.
class Fd {
  public:
    explicit Fd(int fd = -1) noexcept : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            if (fd_ >= 0) {
                close(fd_);
            }
            fd_ = std::exchange(o.fd_, -1);
        }
        return *this;
    }
    int get() const noexcept { return fd_; }

  private:
    int fd_;
};

class FileActions {
  public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&a_) == 0; }
    ~FileActions() {
        if (ok_) {
            posix_spawn_file_actions_destroy(&a_);
        }
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &a_; }

  private:
    posix_spawn_file_actions_t a_{};
    bool ok_ = false;
};

class Attributes {
  public:
    Attributes() { ok_ = posix_spawnattr_init(&a_) == 0; }
    ~Attributes() {
        if (ok_) {
            posix_spawnattr_destroy(&a_);
        }
    }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;
    bool ok() const { return ok_; }
    posix_spawnattr_t* get() { return &a_; }

  private:
    posix_spawnattr_t a_{};
    bool ok_ = false;
};

// Tools left running whose waiter thread could not be created.
std::mutex g_leftMutex;
std::vector<pid_t> g_left;

void LeaveRunning(pid_t pid) {
    try {
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(g_leftMutex);
        g_left.push_back(pid);
    }
}

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
    FileActions actions;
    Attributes attr;
    if (!actions.ok() || !attr.ok()) {
        return ENOMEM;
    }
    int rc =
        posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (rc == 0) {
        rc = posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    }
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    if (rc == 0) {
        rc = posix_spawnattr_setflags(attr.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    if (rc == 0) {
        rc = posix_spawnattr_setsigmask(attr.get(), &none);
    }
    if (rc == 0) {
        rc = posix_spawnattr_setsigdefault(attr.get(), &all);
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
    std::lock_guard lock(g_leftMutex);
    std::erase_if(g_left, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
    return static_cast<int>(g_left.size());
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
    const Fd pidfd(PidfdOpen(pid));
    if (pidfd.get() < 0) {
        LeaveRunning(pid);
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
            LeaveRunning(pid);
            sError = kTimedOutText;
            return false;
        }
        // The pump wakes at the exit, or after one tick (or at the time-out) at most.
        const long left = lTimeOut - elapsed + 1;
        const int wait = static_cast<int>(left < kPumpTickMs ? left : kPumpTickMs);
        try {
            if (pump) {
                pump(pidfd.get(), wait);
            } else {
                PollPump(pidfd.get(), wait);
            }
        } catch (...) {
            LeaveRunning(pid);  // still reaped when it ends
            throw;
        }
    }
}

}  // namespace tv
