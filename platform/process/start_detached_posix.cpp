#include "platform/process/start_detached.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/process/spawn_posix.h"

namespace tv {
namespace {

std::mutex g_launcherMutex;
ProcessLauncher g_launcher;

// Not found and not executable by the program's own errno values; any other failure
// by the usual numbers, which never give 53 or 70 for these.
Status Failure(int err, const std::string& program) {
    long number = ErrorNumberFromErrno(err);
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            number = kErrFileNotFound;
            break;
        case EACCES:
        case EPERM:
        case ENOEXEC:
        case EISDIR:
            number = kErrPermission;
            break;
        default:
            break;
    }
    return Status(number, ErrorSource("StartDetached"),
                  "cannot start " + program + ": " + std::strerror(err), err);
}

int AddActions(spawn::FileActions& actions, const std::string& folder) {
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

Result<long> RealStart(const std::string& program, const std::string& argument,
                       const std::string& workingDirectory) {
    spawn::SweepUnreaped();
    if (program.empty()) {
        return Failure(ENOENT, program);
    }
    const bool searchPath = program.find('/') == std::string::npos;
    std::string path = program;
    if (!searchPath && program.front() != '/') {
        // The child changes folder before exec; keep the path meaning what it meant here.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(program, ec);
        if (ec) {
            return Failure(ec.value(), program);
        }
        path = absolute.string();
    }

    spawn::FileActions actions;
    spawn::Attributes attr;
    if (!actions.ok() || !attr.ok()) {
        return Failure(ENOMEM, program);
    }
    if (int rc = AddActions(actions, ResolveWorkingDirectory(workingDirectory)); rc != 0) {
        return Failure(rc, program);
    }
    if (int rc = spawn::ResetSignals(attr, POSIX_SPAWN_SETSID); rc != 0) {
        return Failure(rc, program);
    }

    std::string arg0 = program;
    std::string arg1 = argument;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = searchPath
                       ? posix_spawnp(&pid, path.c_str(), actions.get(), attr.get(), argv, environ)
                       : posix_spawn(&pid, path.c_str(), actions.get(), attr.get(), argv, environ);
    if (rc != 0) {
        return Failure(rc, program);
    }
    spawn::ReapInBackground(pid);
    return static_cast<long>(pid);
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

Result<long> StartDetached(const std::string& program, const std::string& argument,
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
