#include "shell/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tv {
namespace {

using Args = std::vector<std::string>;

// The arguments without the empty element 0.
Args Split(std::string_view line, int lMax = 10) {
    Args all = SplitCommandLine(line, lMax);
    EXPECT_FALSE(all.empty());
    EXPECT_EQ(all.front(), "");
    return Args(all.begin() + 1, all.end());
}

TEST(CommandLine, QuoteMode) {
    EXPECT_EQ(Split(R"("/data/my pkg/US1.ZIP")"), Args{"/data/my pkg/US1.ZIP"});
    // The text between two quoted arguments is an argument of its own.
    EXPECT_EQ(Split(R"("/a b/1.zip" "/c d/2.xml")"), (Args{"/a b/1.zip", " ", "/c d/2.xml"}));
    EXPECT_EQ(Split(R"("/a b/1.zip""/c/2.xml")"), (Args{"/a b/1.zip", "/c/2.xml"}));
    // A quote anywhere switches the whole line: spaces and tabs no longer split.
    EXPECT_EQ(Split("a b\t\"c d"), (Args{"a b\t", "c d"}));
    EXPECT_EQ(Split("\""), Args{});
    EXPECT_EQ(Split("\"\"\"\""), Args{});
}

TEST(CommandLine, SpaceMode) {
    EXPECT_EQ(Split("/data/my pkg/US1.zip"), (Args{"/data/my", "pkg/US1.zip"}));
    EXPECT_EQ(Split("  a\tb \t\tc  "), (Args{"a", "b", "c"}));
    EXPECT_EQ(Split(""), Args{});
    EXPECT_EQ(Split(" \t "), Args{});
}

TEST(CommandLine, AtMostTheMaximum) {
    const Args eleven = Split("1 2 3 4 5 6 7 8 9 10 11");
    EXPECT_EQ(eleven, (Args{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(Split(R"("a" "b" "c")", 2), (Args{"a", " "}));
    EXPECT_EQ(Split("a b", 0), Args{});
    EXPECT_EQ(Split("a b", -1), Args{});

    Args process;
    for (int i = 1; i <= 11; ++i) {
        process.push_back("/tmp/with space " + std::to_string(i) + ".zip");
    }
    SetProcessArguments(process);
    const Args got = GetCmdLine();
    ASSERT_EQ(got.size(), 11u);  // element 0 and ten arguments
    EXPECT_EQ(got[0], "");
    EXPECT_EQ(got[1], process[0]);  // already split by the system: spaces stay
    EXPECT_EQ(got[10], process[9]);
    EXPECT_EQ(GetCmdLine(3).size(), 4u);
    SetProcessArguments({});
    EXPECT_EQ(GetCmdLine(), Args{""});
}

TEST(CommandLine, ClassifyArgument) {
    const struct {
        const char* arg;
        ArgumentKind kind;
    } cases[] = {
        {"/data/US1.ZIP", ArgumentKind::Package},
        {"pkg.Zip", ArgumentKind::Package},
        {"/data/doc.XmL", ArgumentKind::XmlFile},
        {"/data/US1.zip.bak", ArgumentKind::Ignored},
        {"/data/README", ArgumentKind::Ignored},
        {"/data/zip", ArgumentKind::Ignored},  // no ".": the whole argument is compared
        {"package", ArgumentKind::Ignored},
        {"/data.zip/file", ArgumentKind::Ignored},
        {" ", ArgumentKind::Ignored},
        {"", ArgumentKind::Ignored},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyArgument(c.arg), c.kind) << '"' << c.arg << '"';
    }
}

TEST(CommandLine, CatalogTable) {
    const struct {
        int navigation;
        bool prizm;
        const char* catalog;
    } cases[] = {
        {1, true, "TVWcatalog-embed-toc.txt"}, {1, false, "TVWcatalog-toc.txt"},
        {0, true, "TVWcatalog-embed.txt"},     {0, false, "TVWcatalog.txt"},
        {2, true, "TVWcatalog-embed.txt"},  // only 1 means navigation
        {2, false, "TVWcatalog.txt"},          {-1, false, "TVWcatalog.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseCatalogFileName(c.navigation, c.prizm), c.catalog)
            << c.navigation << " " << c.prizm;
    }
}

}  // namespace
}  // namespace tv
