#include "platform/environment.h"

#include <gtest/gtest.h>

#include "tests/platform/test_env.h"

namespace tv {
namespace {

// Unknown names and stray "%" stay as written; scanning resumes after an unknown name's
// closing "%", so "%TV_NO%TV_A%" does not expand TV_A.
TEST(Environment, ExpandEnvironmentStrings) {
    test::ScopedEnv a("TV_A", "alpha");
    test::ScopedEnv empty("TV_E", "");
    test::ScopedEnv nope("TV_NO", std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"x%TV_A%y%TV_A%", "xalphayalpha"},
        {"%TV_E%|", "|"},
        {"%TV_NO% and %TV_A%", "%TV_NO% and alpha"},
        {"%TV_NO%TV_A%", "%TV_NO%TV_A%"},
        {"100%", "100%"},
        {"a%%b", "a%%b"},
        {"%%TV_A%%", "%alpha%"},
        {"%TV_A", "%TV_A"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ExpandEnvironmentStrings(in), out) << in;
    }
}

// WithTrailingSeparator and the login name are exercised through the shell's folders.
TEST(Environment, FoldersEndWithSeparator) {
    {
        test::ScopedEnv tmp("TMPDIR", std::nullopt);
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    test::ScopedEnv tmp("TMPDIR", "/some/tmp");
    EXPECT_EQ(TempFolder(), "/some/tmp/");
    test::ScopedEnv home("HOME", "/home/ann");
    EXPECT_EQ(HomeFolder(), "/home/ann/");
    EXPECT_EQ(ExecutableFolder().back(), kPathSeparator);
}

}  // namespace
}  // namespace tv
