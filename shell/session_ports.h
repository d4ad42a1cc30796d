#pragma once
// The ports a running viewer gives its package session: browsers are started with
// LaunchInBrowser, messages go to the message box (MsgBox, which the window layer
// shows in a real box).
#include "render/ports.h"

namespace tv {

class BrowserLauncher : public render::Launcher {
  public:
    void Launch(const std::string& programPath, const std::string& target,
                const std::string& workingDirectory) override;
};

class MessageBoxSink : public render::MessageSink {
  public:
    void Show(const std::string& text, int style, const std::string& title) override;
};

}  // namespace tv
