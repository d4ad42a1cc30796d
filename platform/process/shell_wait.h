#pragma once
// Running a preparation tool and waiting for it (ShellAndWaitForTermination).
//
// What the wait promises:
// - sShell is split by SplitToolCommandLine (platform/process/command_line.h); no shell
//   is involved. The tool inherits the viewer's current folder, environment, standard
//   output and error; its standard input is /dev/null and it gets no other descriptor
//   of the viewer.
// - The exit is noticed at once through a process descriptor (pidfd): between its
//   checks the wait hands the descriptor to the event pump for at most kPumpTickMs, so
//   the window processes its events while the tool runs and the render goes on as soon
//   as the tool ends. There is no busy wait.
// - Result and sError, exactly:
//     program cannot be started      false, the start error's description
//                                    ("File not found: <program>", ...)
//     no process descriptor          false, "This program could not determine whether
//                                    the process started. Please watch the program and
//                                    check it completes."
//     still running after lTimeOut   false, "The process has timed out."
//     ended                          true, sError unchanged
//   The exit code is not interpreted.
// - A timed-out tool (or one without a descriptor) is left running. It is reaped when
//   it ends (a small waiter thread; should none be available, the next call sweeps),
//   so no zombie stays behind. No SIGCHLD handler is installed.
// - The window style of the classic call has no meaning here and is not taken.
#include <functional>
#include <string>

namespace tv {

inline constexpr int kPumpTickMs = 100;

inline constexpr const char* kNotDeterminedText =
    "This program could not determine whether the process started. Please watch the "
    "program and check it completes.";
inline constexpr const char* kTimedOutText = "The process has timed out.";

// "Process the window's events for up to maxWaitMs, returning early when fd becomes
// readable." The fd is the tool's process descriptor; it becomes readable when the
// tool ends. The pump must not read from or close it. A Qt pump: a QSocketNotifier on
// fd (Read) and a single-shot timer of maxWaitMs, both quitting a local QEventLoop;
// or QCoreApplication::processEvents(QEventLoop::AllEvents, maxWaitMs) followed by
// a poll() of fd for what is left of maxWaitMs.
using EventPump = std::function<void(int fd, int maxWaitMs)>;

// The pump without a window: poll() on fd for up to maxWaitMs.
void PollPump(int fd, int maxWaitMs);

// Runs sShell and waits up to lTimeOut milliseconds (a negative time-out gives up
// after the first check). pump empty means PollPump. plProcessId, when given,
// receives the started process's id (0 when none started).
bool ShellAndWaitForTermination(const std::string& sShell, std::string& sError, long lTimeOut,
                                const EventPump& pump = {}, long* plProcessId = nullptr);

// Reaps tools left running by earlier calls that have ended since (the same sweep each
// call makes). Returns how many are still running.
int SweepLeftTools();

}  // namespace tv
