// The window-free rules of the file dialog service: flags passed on, filter pairs,
// the multiple-selection answer and its parser, error numbers, the memory block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/cMemory.h"
#include "dialogs/dialog_rules.h"

namespace tv {
namespace {

using namespace std::string_literals;

TEST(DialogRules, OpenSetupPassesOnlyTheFourSwitches) {
    struct Case {
        std::int32_t flags, filterIndex;
        std::int64_t hInstance;
        bool hook;
        std::int32_t passed, index;
    } cases[] = {
        {OFN_ALLOWMULTISELECT, 1, 0, false, OFN_ALLOWMULTISELECT | OFN_EXPLORER, 1},
        {OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT, 0, 0, false,
         OFN_FILEMUSTEXIST, 1},
        {OFN_READONLY | OFN_HIDEREADONLY | OFN_ENABLEHOOK, 3, 0, false,
         OFN_READONLY | OFN_HIDEREADONLY, 3},
        {OFN_ENABLETEMPLATE, 2, 0, false, 0, 2},                   // no instance: dropped
        {OFN_ENABLETEMPLATE, 2, 7, false, OFN_ENABLETEMPLATE, 2},  // kept with one
        {0, -1, 0, true, OFN_EXPLORER | OFN_ENABLEHOOK, -1},
    };
    for (const Case& c : cases) {
        const OpenDialogSetup s = DecideOpenSetup(c.flags, c.filterIndex, c.hInstance, c.hook);
        EXPECT_EQ(s.flags, c.passed) << std::hex << c.flags;
        EXPECT_EQ(s.filterIndex, c.index);
        EXPECT_EQ(s.multiSelect, (c.flags & OFN_ALLOWMULTISELECT) != 0);
        EXPECT_EQ(s.hooked, c.hook);
    }
}

TEST(DialogRules, FilterBecomesPairs) {
    const std::string program =
        "Zipped Patent Files (*.zip)|*.ZIP|XML Files (*.xml)|*.xml|All Files (*.*)|*.*";
    EXPECT_EQ(ConvertFilter("a|b:c"), "a\0b\0c\0\0"s);
    EXPECT_EQ(FilterPairs(ConvertFilter(program)),
              (std::vector<FilterPair>{{"Zipped Patent Files (*.zip)", "*.ZIP"},
                                       {"XML Files (*.xml)", "*.xml"},
                                       {"All Files (*.*)", "*.*"}}));
    // A ":" cuts a part in two, so the pairs shift and the odd part at the end drops.
    EXPECT_EQ(FilterPairs(ConvertFilter("Drive C: files|*.txt")),
              (std::vector<FilterPair>{{"Drive C", " files"}}));
    EXPECT_TRUE(FilterPairs(ConvertFilter("")).empty());
    EXPECT_EQ(DialogNamePatterns("*.*"), "*");
    EXPECT_EQ(DialogNamePatterns("*.zip; *.ZIP;;"), "*.zip *.ZIP");
}

TEST(DialogRules, MultiSelectAnswerRoundTrips) {
    struct Case {
        std::vector<std::string> paths;
        std::string answer, folder;
        std::vector<std::string> names;
    } cases[] = {
        {{"/data/a.zip"}, "/data/a.zip\0\0"s, "/data", {"a.zip"}},
        {{"/data/a.zip", "/data/b.xml"}, "/data\0a.zip\0b.xml\0\0"s, "/data", {"a.zip", "b.xml"}},
        // The root keeps its separator with several files and loses it with one.
        {{"/a.zip", "/b.zip"}, "/\0a.zip\0b.zip\0\0"s, "/", {"a.zip", "b.zip"}},
        {{"/a.zip"}, "/a.zip\0\0"s, "", {"a.zip"}},
        {{}, "", "", {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MultiSelectAnswer(c.paths), c.answer);
        std::string folder;
        std::vector<std::string> names;
        std::int32_t count = -1;
        ParseMultiFileName(c.answer, folder, names, count);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(count, static_cast<std::int32_t>(c.names.size()));
    }
}

TEST(DialogRules, ParseCutsAtTheFirstPairOfNulsAndKeepsAGivenFolder) {
    std::string folder = "/given";
    std::vector<std::string> names;
    std::int32_t count = 0;
    ParseMultiFileName("/d\0x.zip\0\0/e\0y.zip"s, folder, names, count);
    EXPECT_EQ(folder, "/given");
    EXPECT_EQ(names, std::vector<std::string>{"x.zip"});
    EXPECT_EQ(count, 1);

    folder.clear();
    ParseMultiFileName("plain.zip", folder, names, count);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(names, std::vector<std::string>{"plain.zip"});
}

TEST(DialogRules, LargeSelectionKeepsEveryName) {
    std::vector<std::string> paths;
    for (int i = 0; i < 2000; ++i) {
        paths.push_back("/some/rather/long/folder/name/package-" + std::to_string(i) + ".zip");
    }
    const std::string answer = MultiSelectAnswer(paths);
    ASSERT_GT(answer.size(), 8192u);
    std::string folder;
    std::vector<std::string> names;
    std::int32_t count = 0;
    ParseMultiFileName(answer, folder, names, count);
    EXPECT_EQ(count, 2000);
    EXPECT_EQ(names.back(), "package-1999.zip");
}

TEST(DialogRules, ResultsAndNumbers) {
    EXPECT_FALSE(RaisesOnResult(0));
    EXPECT_FALSE(RaisesOnResult(1));
    EXPECT_TRUE(RaisesOnResult(2));
    EXPECT_EQ(CommonDialogErrorNumber(0x3003), 0x3003 | 13450);
    EXPECT_TRUE(IsRefusedHelpCommand(HELP_MULTIKEY));
    EXPECT_TRUE(IsRefusedHelpCommand(HELP_SETWINPOS));
    EXPECT_FALSE(IsRefusedHelpCommand(HELP_QUIT));
    EXPECT_EQ(ColorRefFromRgb({0x12, 0x34, 0x56}), 0x563412);
    EXPECT_EQ(RgbFromColorRef(0x563412), (Rgb{0x12, 0x34, 0x56}));
}

TEST(Memory, BlockLivesUntilFreedOrHandedOn) {
    cMemory m;
    EXPECT_FALSE(m.AllocateMemory(0, 0));
    EXPECT_EQ(m.LockMemory(), nullptr);
    ASSERT_TRUE(m.AllocateMemory(26, cMemory::GMEM_ZEROINIT));
    EXPECT_EQ(m.Size(), 26u);
    EXPECT_EQ(m.Pointer(), nullptr);  // not locked yet
    auto* p = static_cast<unsigned char*>(m.LockMemory());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[25], 0);
    EXPECT_EQ(m.Pointer(), p);
    EXPECT_TRUE(m.UnlockMemory());
    EXPECT_FALSE(m.UnlockMemory());
    auto block = m.ReleaseDontFreeMemory();
    EXPECT_EQ(static_cast<void*>(block.get()), static_cast<void*>(p));
    EXPECT_EQ(m.Handle(), 0u);
    EXPECT_EQ(m.Size(), 0u);
}

}  // namespace
}  // namespace tv
