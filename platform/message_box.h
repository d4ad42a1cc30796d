#pragma once
// The one way the program shows a message: text, style, title.
//
// Every message is also written to standard error as one line,
// "message: <title>: <text>" with line breaks written as "\n", so a user who started
// the viewer from a terminal, and a script, can see what was shown. The window layer
// installs a handler that shows a real box; tests install a recorder.
#include <functional>
#include <string>

namespace tv {

// Style bits and answers, as the classic message box defines them.
enum MsgStyle : int {
    kOkOnly = 0,
    kOkCancel = 1,
    kYesNo = 4,
    kCritical = 16,
    kQuestion = 32,
    kExclamation = 48,
    kInformation = 64,
};
enum MsgAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

using MessageBoxHandler =
    std::function<int(const std::string& text, int style, const std::string& title)>;

// Shows the message through the installed handler (none: answers OK) and logs it.
int MsgBox(const std::string& text, int style, const std::string& title);

// Installs a handler; returns the one it replaces. An empty handler restores the default.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The standard-error line for a message (without the trailing newline).
std::string MessageLogLine(const std::string& text, const std::string& title);

}  // namespace tv
