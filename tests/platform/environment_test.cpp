#include "platform/environment.h"

#include <gtest/gtest.h>

#include "tests/platform/test_env.h"

namespace tv {
namespace {

TEST(Environment, ExpandEnvironmentStrings) {
    test::ScopedEnv a("TV_TEST_A", "alpha");
    test::ScopedEnv empty("TV_TEST_EMPTY", "");
    test::ScopedEnv nope("TV_TEST_NOPE", std::nullopt);
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"%TV_TEST_A%", "alpha"},
        {"x%TV_TEST_A%y%TV_TEST_A%", "xalphayalpha"},
        {"%TV_TEST_EMPTY%|", "|"},
        {"%TV_TEST_NOPE%", "%TV_TEST_NOPE%"},  // unknown stays as written
        {"%TV_TEST_NOPE% and %TV_TEST_A%", "%TV_TEST_NOPE% and alpha"},
        {"%TV_TEST_NOPE%TV_TEST_A%", "%TV_TEST_NOPE%TV_TEST_A%"},  // scanning resumes after it
        {"100%", "100%"},
        {"%", "%"},
        {"%%", "%%"},
        {"a%%b", "a%%b"},
        {"%%TV_TEST_A%%", "%alpha%"},
        {"%TV_TEST_A", "%TV_TEST_A"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandEnvironmentStrings(c.in), c.out) << c.in;
    }
}

TEST(Environment, FoldersEndWithSeparator) {
    EXPECT_EQ(WithTrailingSeparator("/a"), "/a/");
    EXPECT_EQ(WithTrailingSeparator("/a/"), "/a/");
    {
        test::ScopedEnv tmp("TMPDIR", "/some/tmp");
        EXPECT_EQ(TempFolder(), "/some/tmp/");
    }
    {
        test::ScopedEnv tmp("TMPDIR", std::nullopt);
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    test::ScopedEnv home("HOME", "/home/ann");
    EXPECT_EQ(HomeFolder(), "/home/ann/");
    EXPECT_EQ(ExecutableFolder().back(), kPathSeparator);
    EXPECT_FALSE(LoginName().empty());
}

}  // namespace
}  // namespace tv
