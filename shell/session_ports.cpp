#include "shell/session_ports.h"

#include "platform/message_box.h"
#include "render/launch.h"

namespace tv {

void BrowserLauncher::Launch(const std::string& programPath, const std::string& target,
                             const std::string& workingDirectory) {
    LaunchInBrowser(programPath, target, workingDirectory);
}

void MessageBoxSink::Show(const std::string& text, int style, const std::string& title) {
    MsgBox(text, style, title);
}

}  // namespace tv
