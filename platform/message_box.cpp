#include "platform/message_box.h"

#include <cstdio>
#include <utility>

namespace tv {
namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

namespace {
// Line breaks as "\n", so that the message stays one line of the log.
void AppendOneLine(std::string& line, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // a CR LF pair is one break
        }
        if (text[i] == '\n' || text[i] == '\r') {
            line += "\\n";
        } else {
            line += text[i];
        }
    }
}
}  // namespace

std::string MessageLogLine(const std::string& text, const std::string& title) {
    std::string line = "message: ";
    AppendOneLine(line, title);
    line += ": ";
    AppendOneLine(line, text);
    return line;
}

int MsgBox(const std::string& text, int style, const std::string& title) {
    std::fprintf(stderr, "%s\n", MessageLogLine(text, title).c_str());
    std::fflush(stderr);
    if (Handler()) {
        return Handler()(text, style, title);
    }
    return kAnswerOk;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace tv
