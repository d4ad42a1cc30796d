#include "platform/process/start_detached.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tv {
namespace {

std::mutex g_launcherMutex;
ProcessLauncher g_launcher;

// Children whose reaper thread could not be created; swept at the next start.
std::mutex g_unreapedMutex;
std::vector<pid_t> g_unreaped;

class SpawnFileActions {
  public:
    SpawnFileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnFileActions() {
        if (ok_) {
            posix_spawn_file_actions_destroy(&actions_);
        }
    }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

class SpawnAttributes {
  public:
    SpawnAttributes() { ok_ = posix_spawnattr_init(&attr_) == 0; }
    ~SpawnAttributes() {
        if (ok_) {
            posix_spawnattr_destroy(&attr_);
        }
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    bool ok() const { return ok_; }
    posix_spawnattr_t* get() { return &attr_; }

  private:
    posix_spawnattr_t attr_{};
    bool ok_ = false;
};

StartResult Failure(int err) {
    StartResult r;
    r.error = err;
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            r.status = StartStatus::ProgramNotFound;
            break;
        case EACCES:
        case EPERM:
        case ENOEXEC:
        case EISDIR:
            r.status = StartStatus::NotExecutable;
            break;
        default:
            r.status = StartStatus::Failed;
            break;
    }
    return r;
}

void SweepUnreaped() {
    std::lock_guard lock(g_unreapedMutex);
    std::erase_if(g_unreaped, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

void Reap(pid_t pid) {
    try {
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(g_unreapedMutex);
        g_unreaped.push_back(pid);
    }
}

int AddActions(SpawnFileActions& actions, const std::string& folder) {
    int rc = 0;
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        const int flags = fd == STDIN_FILENO ? O_RDONLY : O_WRONLY;
        if (rc == 0) {
            rc = posix_spawn_file_actions_addopen(actions.get(), fd, "/dev/null", flags, 0);
        }
    }
    if (rc == 0) {
        rc = posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    }
    if (rc == 0 && !folder.empty()) {
        rc = posix_spawn_file_actions_addchdir_np(actions.get(), folder.c_str());
    }
    return rc;
}

int SetAttributes(SpawnAttributes& attr) {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int rc = posix_spawnattr_setflags(
        attr.get(), POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (rc == 0) {
        rc = posix_spawnattr_setsigmask(attr.get(), &none);
    }
    if (rc == 0) {
        rc = posix_spawnattr_setsigdefault(attr.get(), &all);
    }
    return rc;
}

StartResult RealStart(const std::string& program, const std::string& argument,
                      const std::string& workingDirectory) {
    SweepUnreaped();
    if (program.empty()) {
        return Failure(ENOENT);
    }
    const bool searchPath = program.find('/') == std::string::npos;
    std::string path = program;
    if (!searchPath && program.front() != '/') {
        // The child changes folder before exec; keep the path meaning what it meant here.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(program, ec);
        if (ec) {
            return Failure(ec.value());
        }
        path = absolute.string();
    }

    SpawnFileActions actions;
    SpawnAttributes attr;
    if (!actions.ok() || !attr.ok()) {
        return Failure(ENOMEM);
    }
    if (int rc = AddActions(actions, ResolveWorkingDirectory(workingDirectory)); rc != 0) {
        return Failure(rc);
    }
    if (int rc = SetAttributes(attr); rc != 0) {
        return Failure(rc);
    }

    std::string arg0 = program;
    std::string arg1 = argument;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = searchPath
                       ? posix_spawnp(&pid, path.c_str(), actions.get(), attr.get(), argv, environ)
                       : posix_spawn(&pid, path.c_str(), actions.get(), attr.get(), argv, environ);
    if (rc != 0) {
        return Failure(rc);
    }
    Reap(pid);
    StartResult r;
    r.status = StartStatus::Started;
    r.processId = pid;
    return r;
}

}  // namespace

std::string ResolveWorkingDirectory(const std::string& workingDirectory) {
    std::string folder = workingDirectory;
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
        folder = folder.substr(1, folder.size() - 2);
    }
    std::error_code ec;
    // A folder the child could not enter would make the whole start fail.
    if (folder.empty() || !std::filesystem::is_directory(folder, ec) ||
        access(folder.c_str(), X_OK) != 0) {
        return {};
    }
    return folder;
}

ProcessLauncher SetProcessLauncher(ProcessLauncher launcher) {
    std::lock_guard lock(g_launcherMutex);
    return std::exchange(g_launcher, std::move(launcher));
}

StartResult StartDetached(const std::string& program, const std::string& argument,
                          const std::string& workingDirectory) {
    ProcessLauncher launcher;
    {
        std::lock_guard lock(g_launcherMutex);
        launcher = g_launcher;
    }
    if (launcher) {
        return launcher(program, argument, workingDirectory);
    }
    return RealStart(program, argument, workingDirectory);
}

}  // namespace tv
