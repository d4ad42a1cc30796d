#pragma once
// The narrow interfaces rendering works through. The package session implements them
// over the archive component, the process layer, the browser launch and the message
// box; tests implement them with fakes that record what rendering asked for.
#include <string>
#include <vector>

#include "platform/error.h"

namespace tv::render {

// The listed package as rendering sees it: its entries, numbered from 1, and their
// extraction.
class PackageExtractor {
  public:
    virtual ~PackageExtractor() = default;
    virtual int FileCount() const = 0;
    // Extracts the entries numbered in `entries` into `folder` (nothing for an empty
    // set); the failure otherwise.
    virtual Status Extract(const std::vector<int>& entries, const std::string& folder) = 0;
};

// One run of a preparation tool. The program starts with exactly these arguments; the
// command line text stands for them in logs and messages and is never split again (a
// double quote in a file name would change what it means).
struct ToolCommand {
    std::string line;
    std::string program;                 // exactly the file started
    std::vector<std::string> arguments;  // argv after the program, exactly
};

// Runs one preparation tool and waits for it (ShellAndWaitForTermination).
class ToolRunner {
  public:
    virtual ~ToolRunner() = default;
    // Success when the program started and ended within lTimeOut milliseconds; otherwise
    // why not (the numbers of platform/process/shell_wait.h).
    virtual Status Run(const ToolCommand& command, long lTimeOut) = 0;
};

// Opens a file or address in a browser program (LaunchInBrowser).
class Launcher {
  public:
    virtual ~Launcher() = default;
    virtual void Launch(const std::string& programPath, const std::string& target,
                        const std::string& workingDirectory) = 0;
};

// Shows a message to the user (style and title as the message box takes them).
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Show(const std::string& text, int style, const std::string& title) = 0;
};

}  // namespace tv::render
