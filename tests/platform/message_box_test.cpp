#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tv {
namespace {

TEST(MessageBox, LogLineIsOneLine) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"plain", "message: T: plain"},
        {"a\r\nb", "message: T: a\\nb"},  // CR LF is one break
        {"a\nb", "message: T: a\\nb"},
        {"a\rb", "message: T: a\\nb"},
        {"a\r\n\r\nb\n", "message: T: a\\n\\nb\\n"},
        {"", "message: T: "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageLogLine(c.text, "T"), c.line) << c.text;
    }
    EXPECT_EQ(MessageLogLine("x", "Two\r\nlines"), "message: Two\\nlines: x");
}

TEST(MessageBox, RecorderReceivesMessageAndStderrGetsTheLine) {
    struct Shown {
        std::string text;
        int style;
        std::string title;
    };
    std::vector<Shown> shown;
    MessageBoxHandler previous =
        SetMessageBoxHandler([&](const std::string& text, int style, const std::string& title) {
            shown.push_back({text, style, title});
            return kAnswerNo;
        });
    testing::internal::CaptureStderr();
    const int answer = MsgBox("Line 1\r\nLine 2", kYesNo | kQuestion, "Tessel Viewer");
    const std::string err = testing::internal::GetCapturedStderr();
    SetMessageBoxHandler(previous);

    EXPECT_EQ(answer, kAnswerNo);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Line 1\r\nLine 2");  // the box gets the text unchanged
    EXPECT_EQ(shown[0].style, kYesNo | kQuestion);
    EXPECT_EQ(shown[0].title, "Tessel Viewer");
    EXPECT_EQ(err, "message: Tessel Viewer: Line 1\\nLine 2\n");

    // Without a handler the message is still logged and answered with OK.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox("Done", kOkOnly, "T"), kAnswerOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "message: T: Done\n");
}

}  // namespace
}  // namespace tv
