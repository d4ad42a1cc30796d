#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace tv {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;  // pattern, text

// File names: "*.*" exactly also matches a name without a dot; no character sets.
// Entry names: "[...]" sets ("!" or "^" negates; an unclosed "[" is an ordinary one).
// Both: case as written.
TEST(Wildcard, FileNameAndEntryNameDialects) {
    const Pairs both = {{"*.*", "a.b.c"}, {"?.txt", "a.txt"}, {"abc**", "abc"},
                        {"", ""},         {"[abc", "[abc"},   {"*", "dir/name"}};
    const Pairs fileOnly = {{"*.*", "README"}, {"[ab].txt", "[ab].txt"}};
    const Pairs entryOnly = {{"[ab].txt", "a.txt"},
                             {"[a-c]x", "cx"},
                             {"[!a]x", "bx"},
                             {"[]]", "]"},
                             {"[a-]", "-"},
                             {"[^a]x", "bx"},
                             {"*[0-9].tif", "page12.tif"}};
    const Pairs neither = {{"*.*x", "README"},  {"*.xml", "doc.XML"}, {"*.xml", "doc.xml.bak"},
                           {"?.txt", "ab.txt"}, {"?.txt", ".txt"},    {"a*", ""},
                           {"", "a"},           {"[a-c]x", "dx"},     {"[!a]x", "ax"},
                           {"[^a]x", "ax"},     {"[abc", "a"},        {"*[0-9].tif", "pageX.tif"},
                           {"[A-C]", "b"}};
    const auto check = [](const Pairs& pairs, bool file, bool entry) {
        for (const auto& [pattern, text] : pairs) {
            EXPECT_EQ(WildcardMatch(pattern, text), file) << pattern << " ~ " << text;
            EXPECT_EQ(WildcardMatch(pattern, text, kEntryNameWildcards), entry)
                << pattern << " ~ " << text << " (entry names)";
        }
    };
    check(both, true, true);
    check(fileOnly, true, false);
    check(entryOnly, false, true);
    check(neither, false, false);
}

TEST(Wildcard, IgnoreCaseAndHasWildcards) {
    EXPECT_TRUE(WildcardMatch("Doc?.Xml", "dOC1.xML", {true, true, false}));
    EXPECT_TRUE(WildcardMatch("[A-C]*", "beta", {true, false, true}));
    EXPECT_FALSE(WildcardMatch("[!A-C]*", "Beta", {true, false, true}));
    EXPECT_TRUE(HasWildcards("a?"));
    EXPECT_FALSE(HasWildcards("a[b]"));
    EXPECT_TRUE(HasWildcards("a[b]", kEntryNameWildcards));
}

// A backtracking matcher would take exponential time here.
TEST(Wildcard, HostilePatternStaysFast) {
    const std::string text(200000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*b", text));
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*b", text, kEntryNameWildcards));
    EXPECT_FALSE(WildcardMatch("*aaaaaaaaaaaaaaaaaaaab", text));
    EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*", text));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace tv
