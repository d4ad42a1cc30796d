#pragma once
// Starting a program "through the shell" without ever involving one: the program gets
// the target as its single argument and runs detached from the viewer.
//
// What StartDetached promises:
// - argv is exactly { program, argument }; no shell, no splitting, no quoting rules.
//   A program name without "/" is looked up in PATH; a relative path is taken against
//   the viewer's current folder.
// - The program runs in its own session (setsid), with standard input, output and
//   error on /dev/null, no other descriptor of the viewer, an empty signal mask and
//   default signal dispositions.
// - Working folder: workingDirectory with one pair of enclosing double quotes removed
//   ("c:\" in quotes becomes c:\); when that is no existing folder the program may
//   enter, the viewer's own current folder.
// - The call returns at once; the child is reaped by a small thread of its own, so no
//   zombie is left and no SIGCHLD handler is installed (an event loop or another
//   waiter for other children is not disturbed). Nobody else may wait for its pid.
// - A missing or non-executable program is a returned Status (kErrFileNotFound,
//   kErrPermission; another failure's number from its errno); nothing is shown.
//
// Tests replace the starter with SetProcessLauncher to record launches instead.
#include <functional>
#include <string>

#include "platform/error.h"

namespace tv {

// The started program's process id, or why it did not start.
Result<long> StartDetached(const std::string& program, const std::string& argument,
                           const std::string& workingDirectory);

// The folder a program started with workingDirectory runs in: the text without its
// enclosing double quotes when that names an existing, enterable folder, otherwise ""
// (meaning the viewer's current folder).
std::string ResolveWorkingDirectory(const std::string& workingDirectory);

// Receives StartDetached's arguments exactly as its caller gave them.
using ProcessLauncher = std::function<Result<long>(
    const std::string& program, const std::string& argument, const std::string& workingDirectory)>;

// Makes StartDetached call launcher instead of starting anything; an empty function
// restores the real start. Returns the launcher that was in place before.
ProcessLauncher SetProcessLauncher(ProcessLauncher launcher);

// Installs a launcher for one scope and puts the previous one back.
class ScopedProcessLauncher {
  public:
    explicit ScopedProcessLauncher(ProcessLauncher launcher)
        : previous_(SetProcessLauncher(std::move(launcher))) {}
    ~ScopedProcessLauncher() {
        try {
            SetProcessLauncher(std::move(previous_));
        } catch (...) {
        }
    }
    ScopedProcessLauncher(const ScopedProcessLauncher&) = delete;
    ScopedProcessLauncher& operator=(const ScopedProcessLauncher&) = delete;

  private:
    ProcessLauncher previous_;
};

}  // namespace tv
