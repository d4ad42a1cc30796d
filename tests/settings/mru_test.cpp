// The recent-files list: order, limits and its registry form.
#include "settings/cMRU.h"

#include "tests/settings/temp_hive.h"

namespace tv {
namespace {

using tv::testing::TempHiveTest;

const std::string kRecentKey = "SOFTWARE\\Norvane\\Tessel Viewer\\FileOpenMRU";

std::vector<std::string> Items(const cMRU& mru) {
    std::vector<std::string> items;
    for (std::int32_t i = 1; i <= mru.Count(); ++i) {
        items.push_back(mru.Item(i));
    }
    return items;
}

cRegistry RecentKey() {
    cRegistry r;
    r.ClassKey(static_cast<std::int32_t>(0x80000001));
    r.SectionKey(kRecentKey);
    return r;
}

using Names = std::vector<std::string>;

TEST(MruList, AddOrdersMostRecentFirstWithoutDuplicates) {
    cMRU mru;
    for (const char* p : {"A", "B", "C"}) {
        mru.Add(p);
    }
    EXPECT_EQ(Items(mru), (Names{"C", "B", "A"}));
    mru.Add("B");
    EXPECT_EQ(Items(mru), (Names{"B", "C", "A"}));
    mru.Add("B");
    EXPECT_EQ(Items(mru), (Names{"B", "C", "A"}));
    mru.Add("a");  // letter case counts
    EXPECT_EQ(Items(mru), (Names{"a", "B", "C", "A"}));
}

TEST(MruList, FullListDropsTheOldestAndMaxCountCuts) {
    cMRU mru;
    for (int i = 1; i <= 16; ++i) {
        mru.Add("f" + std::to_string(i));
    }
    mru.Add("new");
    EXPECT_EQ(mru.Count(), 16);
    EXPECT_EQ(mru.Item(1), "new");
    EXPECT_EQ(mru.Item(16), "f2");
    mru.Add("f9");  // re-adding from the middle keeps the count
    EXPECT_EQ(mru.Item(1), "f9");
    EXPECT_EQ(mru.Item(16), "f2");

    mru.MaxCount(3);
    EXPECT_EQ(Items(mru), (Names{"f9", "new", "f16"}));
    for (std::int32_t bad : {0, -1, cMRU::kLimitMaxCount + 1}) {
        EXPECT_THROW(mru.MaxCount(bad), AppError);
    }
    try {
        mru.Item(4);
        ADD_FAILURE();
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrSubscript);
    }
}

class MruRegistryTest : public TempHiveTest {};

TEST_F(MruRegistryTest, SerialiseWritesTheFormatAndLeavesStaleItems) {
    cMRU five;
    for (const char* p : {"1", "2", "3", "4", "5"}) {
        five.Add(p);
    }
    cRegistry r = RecentKey();
    five.Serialise(r);
    cMRU three;
    for (const char* p : {"x", "y", "z"}) {
        three.Add(p);
    }
    three.Serialise(r);

    EXPECT_EQ(Query(kRecentKey, "MaxCount")->type, reg::REG_DWORD);
    EXPECT_EQ(Query(kRecentKey, "MaxCount")->data, Dword(16));
    EXPECT_EQ(Query(kRecentKey, "Count")->type, reg::REG_SZ);
    EXPECT_EQ(Query(kRecentKey, "Count")->data, Text("3"));
    EXPECT_EQ(Query(kRecentKey, "Item1")->data, Text("z"));
    EXPECT_EQ(Query(kRecentKey, "Item3")->data, Text("x"));
    EXPECT_EQ(Query(kRecentKey, "Item4")->data, Text("2")) << "stale item stays";
    EXPECT_EQ(Query(kRecentKey, "Item5")->data, Text("1"));

    cMRU loaded;
    loaded.DeSerialise(r);
    EXPECT_EQ(Items(loaded), (Names{"z", "y", "x"}));
}

TEST_F(MruRegistryTest, DeSerialiseRepairsLimitsAndKeepsTheListOnBadNumbers) {
    auto load = [&](const std::string& values) {
        ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\" + kRecentKey + "]\n" + values);
        cMRU mru;
        mru.Add("previous");
        cRegistry r = RecentKey();
        try {
            mru.DeSerialise(r);
        } catch (const AppError& e) {
            EXPECT_EQ(Items(mru), Names{"previous"}) << "a failed load changes nothing";
            return std::make_pair(mru, e.Number());
        }
        return std::make_pair(mru, 0L);
    };
    std::string twenty = "\"MaxCount\"=dword:00000010\n\"Count\"=\"20\"\n";
    for (int i = 1; i <= 20; ++i) {
        twenty += "\"Item" + std::to_string(i) + "\"=\"p" + std::to_string(i) + "\"\n";
    }
    auto [mru, error] = load(twenty);
    EXPECT_EQ(mru.Count(), 16);
    EXPECT_EQ(mru.Item(16), "p16");

    std::tie(mru, error) = load(
        "\"MaxCount\"=dword:00000000\n\"Count\"=dword:00000002\n"
        "\"Item1\"=\"only\"\n");
    EXPECT_EQ(mru.MaxCount(), 16);
    EXPECT_EQ(Items(mru), (Names{"only", ""})) << "a missing item is empty";

    std::tie(mru, error) = load("\"MaxCount\"=dword:7fffffff\n\"Count\"=\"2147483647\"\n");
    EXPECT_EQ(mru.MaxCount(), cMRU::kLimitMaxCount);
    EXPECT_EQ(mru.Count(), cMRU::kLimitMaxCount);

    std::tie(mru, error) = load("\"Count\"=\"-4\"\n");
    EXPECT_EQ(mru.MaxCount(), 16);
    EXPECT_EQ(mru.Count(), 0);

    std::tie(mru, error) = load("\"Count\"=\"abc\"\n");
    EXPECT_EQ(error, kErrTypeMismatch);
    std::tie(mru, error) = load("\"MaxCount\"=\"99999999999\"\n");
    EXPECT_EQ(error, kErrOverflow);
}

TEST_F(MruRegistryTest, PathWithPercentReferenceIsExpandedOnLoad) {
    tv::testing::EnvGuard env("TV_MRU_DIR", "/data");
    cMRU mru;
    mru.Add("%TV_MRU_DIR%/pkg.zip");
    cRegistry r = RecentKey();
    mru.Serialise(r);
    EXPECT_EQ(Query(kRecentKey, "Item1")->type, reg::REG_EXPAND_SZ);
    cMRU loaded;
    loaded.DeSerialise(r);
    EXPECT_EQ(loaded.Item(1), "/data/pkg.zip");
}

}  // namespace
}  // namespace tv
