#pragma once
// The real Launcher and MessageSink: the browser launch and the program's message box.
// With ProcessToolRunner (render/tools.h) and CUnzipExtractor (render/cunzip_extractor.h)
// they are everything a Renderer or TransformXmlFile needs outside tests.
#include "platform/message_box.h"
#include "render/launch.h"
#include "render/ports.h"

namespace tv::render {

class BrowserLauncher : public Launcher {
  public:
    void Launch(const std::string& programPath, const std::string& target,
                const std::string& workingDirectory) override {
        LaunchInBrowser(programPath, target, workingDirectory);
    }
};

class MsgBoxSink : public MessageSink {
  public:
    void Show(const std::string& text, int style, const std::string& title) override {
        (void)MsgBox(text, style, title);
    }
};

}  // namespace tv::render
