#pragma once
// Recording fakes for the rendering ports.
#include <functional>
#include <string>
#include <vector>

#include "render/ports.h"

namespace tv::render::fake {

struct Launch {
    std::string program, target, folder;
    bool operator==(const Launch&) const = default;
};

struct Message {
    std::string text;
    int style = 0;
    std::string title;
    bool operator==(const Message&) const = default;
};

// Records launches, messages and tool command lines in one event log, in order.
struct Recorder : Launcher, MessageSink, ToolRunner {
    void Launch(const std::string& p, const std::string& t, const std::string& w) override {
        launches.push_back({p, t, w});
        events.push_back("open " + t);
    }
    void Show(const std::string& text, int style, const std::string& title) override {
        messages.push_back({text, style, title});
        events.push_back("message");
    }
    Status Run(const ToolCommand& c, long lTimeOut) override {
        tools.push_back(c.line);
        timeOuts.push_back(lTimeOut);
        events.push_back("tool " + c.line);
        if (onRun) {
            onRun(c.line);
        }
        return runResult;
    }
    std::vector<fake::Launch> launches;
    std::vector<Message> messages;
    std::vector<std::string> tools;
    std::vector<long> timeOuts;
    std::vector<std::string> events;
    std::function<void(const std::string&)> onRun;
    Status runResult;  // what every run returns
};

}  // namespace tv::render::fake
