#include "shell/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tv {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitCommandLine) {
    const struct {
        const char* line;
        int lMax;
        Args args;  // element 0 is always empty
    } cases[] = {
        // Quote mode: a quote anywhere switches the whole line, so spaces and tabs no
        // longer split and the text between two quoted arguments is an argument itself.
        {R"("/data/my pkg/US1.ZIP")", 10, {"", "/data/my pkg/US1.ZIP"}},
        {R"("/a b/1.zip" "/c d/2.xml")", 10, {"", "/a b/1.zip", " ", "/c d/2.xml"}},
        {R"("/a b/1.zip""/c/2.xml")", 10, {"", "/a b/1.zip", "/c/2.xml"}},
        {"a b\t\"c d", 10, {"", "a b\t", "c d"}},
        {"\"\"\"\"", 10, {""}},
        {R"("a" "b" "c")", 2, {"", "a", " "}},
        // Space mode
        {"/data/my pkg/US1.zip", 10, {"", "/data/my", "pkg/US1.zip"}},
        {"  a\tb \t\tc  ", 10, {"", "a", "b", "c"}},
        {" \t ", 10, {""}},
        {"1 2 3 4 5 6 7 8 9 10 11", 10, {"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {"a b", 0, {""}},
        {"a b", -1, {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line, c.lMax), c.args) << c.line << " max " << c.lMax;
    }
}

TEST(CommandLine, ProcessArgumentsAtMostTheMaximum) {
    Args process;
    for (int i = 1; i <= 11; ++i) {
        process.push_back("/tmp/with space " + std::to_string(i) + ".zip");
    }
    SetProcessArguments(process);
    Args expected{""};  // element 0, then ten arguments already split by the system
    expected.insert(expected.end(), process.begin(), process.begin() + 10);
    EXPECT_EQ(GetCmdLine(), expected);
    EXPECT_EQ(GetCmdLine(3).size(), 4u);
    SetProcessArguments({});
    EXPECT_EQ(GetCmdLine(), Args{""});
}

// The extension is the text after the last "." (the whole argument without one).
TEST(CommandLine, ClassifyArgumentByExtension) {
    EXPECT_EQ(ClassifyArgument("/data/US1.ZIP"), ArgumentKind::Package);
    EXPECT_EQ(ClassifyArgument("/data/doc.XmL"), ArgumentKind::XmlFile);
    for (const char* arg : {"/data/US1.zip.bak", "/data/zip", "/data.zip/file", " ", ""}) {
        EXPECT_EQ(ClassifyArgument(arg), ArgumentKind::Ignored) << '"' << arg << '"';
    }
}

}  // namespace
}  // namespace tv
