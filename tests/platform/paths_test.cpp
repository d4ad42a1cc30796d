#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

TEST(Paths, SplitJoinAndTrailingSeparators) {
    using Split = std::pair<std::string, std::string>;
    EXPECT_EQ(SplitAtLastSeparator("a/b/c.txt"), Split("a/b/", "c.txt"));
    EXPECT_EQ(SplitAtLastSeparator("/c"), Split("/", "c"));
    EXPECT_EQ(SplitAtLastSeparator("a/"), Split("a/", ""));
    EXPECT_EQ(SplitAtLastSeparator("c.txt"), Split("", "c.txt"));

    const struct {
        const char *folder, *joined, *with, *without;
    } cases[] = {
        {"", "x", "/", ""},       {"/", "/x", "/", "/"},       {"a", "a/x", "a/", "a"},
        {"a/", "a/x", "a/", "a"}, {"a//", "a//x", "a//", "a"}, {"//", "//x", "//", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.folder, "x"), c.joined) << c.folder;
        EXPECT_EQ(WithTrailingSeparator(c.folder), c.with) << c.folder;
        EXPECT_EQ(WithoutTrailingSeparator(c.folder), c.without) << c.folder;
    }
    EXPECT_EQ(BackslashesToSeparators("C:\\a\\b/c"), "C:/a/b/c");
}

}  // namespace
}  // namespace tv
