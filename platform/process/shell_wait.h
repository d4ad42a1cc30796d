#pragma once
// Running a preparation tool and waiting for it (ShellAndWaitForTermination).
//
// What the wait promises:
// - The program is exactly the file named (a relative name is taken against the
//   viewer's current folder); it is never looked up in PATH, and no shorter or longer
//   prefix of it is ever tried. The tool's argv is { program, arguments... } exactly as
//   given: no shell, no quoting. The text form splits its line first
//   (platform/process/command_line.h) and is only for command lines that exist as text.
// - The tool inherits the viewer's current folder, environment, standard output and
//   error; its standard input is /dev/null, it gets no other descriptor of the viewer,
//   no blocked signal and default signal dispositions.
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
//     the pump gave the wait up      false, "The wait for the tool was abandoned."
//   The exit code is not interpreted. RunToolAndWait gives the same outcomes as a
//   Status: the start error's number (53, 76, 70, ...), or kErrToolNotWatched,
//   kErrToolTimedOut, kErrToolAbandoned, each with the text above.
// - No tool outlives its wait. The classic call left a timed-out process running; a
//   document built to keep a tool busy then kept a processor busy long after the
//   viewer had given up on it, or had closed. Here the tool leads a process group of
//   its own, and whenever the wait ends (time-out, no descriptor, or the pump giving
//   up because the window closes) that group gets SIGTERM, then SIGKILL after
//   kEndGraceMs, and the tool is reaped before the call returns or the exception
//   leaves it. When the tool ends by itself, whatever it left running in its group is
//   killed too. Should the viewer exit() during a wait, the group is killed at exit.
// - Backstop: the tool gets SIGKILL when the thread that started it ends
//   (PR_SET_PDEATHSIG), so a viewer that is killed or crashes takes its tool with it.
//   The starting thread is the waiting one, which outlives the wait. A tool that
//   leaves its group or forks a child of its own before such a death is out of reach
//   of the backstop alone.
// - The window style of the classic call has no meaning here and is not taken.
#include <functional>
#include <string>

#include "platform/error.h"
#include "platform/process/command_line.h"

namespace tv {

inline constexpr int kPumpTickMs = 100;
// How long a tool that has been asked to end (SIGTERM) gets before SIGKILL.
inline constexpr int kEndGraceMs = 300;

inline constexpr const char* kNotDeterminedText =
    "This program could not determine whether the process started. Please watch the "
    "program and check it completes.";
inline constexpr const char* kTimedOutText = "The process has timed out.";
inline constexpr const char* kAbandonedText = "The wait for the tool was abandoned.";

// Numbers of the wait's own failures.
inline constexpr long kErrToolNotWatched = 27001;  // no process descriptor
inline constexpr long kErrToolTimedOut = 27002;    // still running after the time-out
inline constexpr long kErrToolAbandoned = 27003;   // the pump gave the wait up

// The Status of one of the three numbers above, with its text.
Status ToolWaitStatus(long number);

// "Process the window's events for up to maxWaitMs, returning early when fd becomes
// readable." The fd is the tool's process descriptor; it becomes readable when the
// tool ends. The pump must not read from or close it. A Qt pump: a QSocketNotifier on
// fd (Read) and a single-shot timer of maxWaitMs, both quitting a local QEventLoop;
// or QCoreApplication::processEvents(QEventLoop::AllEvents, maxWaitMs) followed by
// a poll() of fd for what is left of maxWaitMs. It returns false to give the wait up
// at once (the window is closing); the tool is ended first. An exception leaving the
// pump ends the tool the same way.
using EventPump = std::function<bool(int fd, int maxWaitMs)>;

// The pump without a window: poll() on fd for up to maxWaitMs; never gives up.
bool PollPump(int fd, int maxWaitMs);

// Starts command.program with command.arguments and waits up to lTimeOut milliseconds
// (a negative time-out gives up after the first check). pump empty means PollPump.
// plProcessId, when given, receives the started process's id (0 when none started).
Status RunToolAndWait(const SplitCommand& command, long lTimeOut, const EventPump& pump = {},
                      long* plProcessId = nullptr);

// RunToolAndWait with the classic result: true, or false with the failure's text in
// sError.
bool ShellAndWaitForTermination(const SplitCommand& command, std::string& sError, long lTimeOut,
                                const EventPump& pump = {}, long* plProcessId = nullptr);

// The same for a command line given as text, split by SplitToolCommandLine.
bool ShellAndWaitForTermination(const std::string& sShell, std::string& sError, long lTimeOut,
                                const EventPump& pump = {}, long* plProcessId = nullptr);

// Kills (SIGKILL) the process group of every tool being waited for. Runs by itself at
// exit(); a program may call it earlier on a way out that does not unwind the wait.
void EndRunningTools();

// Reaps children that could not be reaped at once (a tool stuck in the kernel after
// SIGKILL) and have ended since. Returns how many are still running.
int SweepLeftTools();

}  // namespace tv
