#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace tv {
namespace {

struct Case {
    const char* pattern;
    const char* text;
    bool expected;
};

TEST(Wildcard, FileNameDialect) {
    const Case cases[] = {
        {"*.*", "README", true},  // Windows: also a name without a dot
        {"*.*", "a.b.c", true},
        {"*.xml", "doc.xml", true},
        {"*.xml", "doc.XML", false},  // case as written
        {"*.xml", "doc.xml.bak", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"?.txt", ".txt", false},
        {"a*", "a", true},
        {"a*", "", false},
        {"*", "dir/name", true},
        {"abc**", "abc", true},
        {"", "", true},
        {"", "a", false},
        {"[ab].txt", "a.txt", false},  // no character sets here
        {"[ab].txt", "[ab].txt", true},
        {"*.*x", "README", false},  // only the exact "*.*" matches everything
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.expected) << c.pattern << " ~ " << c.text;
    }
}

TEST(Wildcard, EntryNameDialect) {
    const Case cases[] = {
        {"*.*", "README", false},
        {"*.*", "a.txt", true},
        {"[abc]x", "bx", true},
        {"[abc]x", "dx", false},
        {"[a-c]x", "cx", true},
        {"[a-c]x", "dx", false},
        {"[!a]x", "bx", true},
        {"[!a]x", "ax", false},
        {"[^a]x", "ax", false},
        {"[]]", "]", true},
        {"[a-]", "-", true},
        {"[abc", "[abc", true},  // unclosed: an ordinary "["
        {"[abc", "a", false},
        {"*[0-9].tif", "page12.tif", true},
        {"*[0-9].tif", "pageX.tif", false},
        {"[A-C]", "b", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.text, kEntryNameWildcards), c.expected)
            << c.pattern << " ~ " << c.text;
    }
}

TEST(Wildcard, IgnoreCaseWhenAsked) {
    const WildcardOptions files{true, true, false};
    EXPECT_TRUE(WildcardMatch("*.xml", "DOC.XML", files));
    EXPECT_TRUE(WildcardMatch("Doc?.Xml", "dOC1.xML", files));
    const WildcardOptions entries{true, false, true};
    EXPECT_TRUE(WildcardMatch("[A-C]*", "beta", entries));
    EXPECT_FALSE(WildcardMatch("[!A-C]*", "Beta", entries));
}

TEST(Wildcard, HasWildcards) {
    EXPECT_TRUE(HasWildcards("a*"));
    EXPECT_TRUE(HasWildcards("a?"));
    EXPECT_FALSE(HasWildcards("a[b]"));
    EXPECT_TRUE(HasWildcards("a[b]", kEntryNameWildcards));
    EXPECT_FALSE(HasWildcards("plain.txt"));
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
