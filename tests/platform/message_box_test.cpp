#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tv {
namespace {

// CR LF, CR and LF are each one break.
TEST(MessageBox, LogLineIsOneLine) {
    EXPECT_EQ(MessageLogLine("plain", "T"), "message: T: plain");
    EXPECT_EQ(MessageLogLine("a\r\n\r\nb\rc\n", "T"), "message: T: a\\n\\nb\\nc\\n");
    EXPECT_EQ(MessageLogLine("", "Two\r\nlines"), "message: Two\\nlines: ");
}

TEST(MessageBox, RecorderReceivesMessageAndStderrGetsTheLine) {
    std::vector<std::tuple<std::string, int, std::string>> shown;
    MessageBoxHandler previous =
        SetMessageBoxHandler([&](const std::string& text, int style, const std::string& title) {
            shown.emplace_back(text, style, title);
            return kAnswerNo;
        });
    testing::internal::CaptureStderr();
    const int answer = MsgBox("Line 1\r\nLine 2", kYesNo | kQuestion, "Tessel Viewer");
    const std::string err = testing::internal::GetCapturedStderr();
    SetMessageBoxHandler(previous);

    EXPECT_EQ(answer, kAnswerNo);
    // The box gets the text unchanged; only the log line is flattened.
    EXPECT_EQ(shown, (decltype(shown){{"Line 1\r\nLine 2", kYesNo | kQuestion, "Tessel Viewer"}}));
    EXPECT_EQ(err, "message: Tessel Viewer: Line 1\\nLine 2\n");

    // Without a handler the message is still logged and answered with OK.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox("Done", kOkOnly, "T"), kAnswerOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "message: T: Done\n");
}

}  // namespace
}  // namespace tv
