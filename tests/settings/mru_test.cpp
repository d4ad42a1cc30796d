// The recent-files list: order, limits and its registry form.
#include "settings/cMRU.h"

#include "tests/settings/temp_hive.h"

namespace tv {
namespace {

using Names = std::vector<std::string>;
const std::string kRecentKey = "SOFTWARE\\Norvane\\Tessel Viewer\\FileOpenMRU";

Names Items(const cMRU& mru) {
    Names items;
    for (std::int32_t i = 1; i <= mru.Count(); ++i) {
        items.push_back(mru.Item(i));
    }
    return items;
}

cMRU ListOf(const Names& added) {
    cMRU mru;
    for (const std::string& path : added) {
        mru.Add(path);
    }
    return mru;
}

cRegistry RecentKey() {
    cRegistry r;
    r.ClassKey(static_cast<std::int32_t>(0x80000001));
    r.SectionKey(kRecentKey);
    return r;
}

TEST(MruList, AddOrdersMostRecentFirstWithoutDuplicates) {
    cMRU mru = ListOf({"A", "B", "C"});
    EXPECT_EQ(Items(mru), (Names{"C", "B", "A"}));
    mru.Add("B");
    EXPECT_EQ(Items(mru), (Names{"B", "C", "A"}));
    mru.Add("B");
    EXPECT_EQ(Items(mru), (Names{"B", "C", "A"}));
    mru.Add("a");  // letter case counts
    EXPECT_EQ(Items(mru), (Names{"a", "B", "C", "A"}));
}

TEST(MruList, FullListDropsTheOldestAndMaxCountCuts) {
    Names sixteen;
    for (int i = 1; i <= 16; ++i) {
        sixteen.push_back("f" + std::to_string(i));
    }
    cMRU mru = ListOf(sixteen);
    mru.Add("new");
    EXPECT_EQ(mru.Count(), 16);
    EXPECT_EQ(mru.Item(1), "new");
    EXPECT_EQ(mru.Item(16), "f2");
    mru.Add("f9");  // from the middle: the count stays
    EXPECT_EQ(mru.Item(16), "f2");
    mru.MaxCount(3);
    EXPECT_EQ(Items(mru), (Names{"f9", "new", "f16"}));
    for (std::int32_t bad : {0, cMRU::kLimitMaxCount + 1}) {
        EXPECT_THROW(mru.MaxCount(bad), AppError);
    }
    EXPECT_THROW(mru.Item(4), AppError);
}

class MruRegistryTest : public tv::testing::TempHiveTest {
  protected:
    // Loads from a key holding values; the error number when the load raised.
    std::pair<cMRU, long> Load(const std::string& values) {
        ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\" + kRecentKey + "]\n" + values);
        cMRU mru = ListOf({"previous"});
        cRegistry r = RecentKey();
        try {
            mru.DeSerialise(r);
        } catch (const AppError& e) {
            EXPECT_EQ(Items(mru), Names{"previous"}) << "a failed load changes nothing";
            return {mru, e.Number()};
        }
        return {mru, 0};
    }
};

TEST_F(MruRegistryTest, SerialiseWritesTheFormatAndLeavesStaleItems) {
    cRegistry r = RecentKey();
    ListOf({"1", "2", "3", "4", "5"}).Serialise(r);
    ListOf({"x", "y", "z"}).Serialise(r);
    EXPECT_EQ(Query(kRecentKey, "MaxCount")->type, reg::REG_DWORD);
    EXPECT_EQ(Query(kRecentKey, "MaxCount")->data, Dword(16));
    EXPECT_EQ(Query(kRecentKey, "Count")->type, reg::REG_SZ);
    EXPECT_EQ(Query(kRecentKey, "Count")->data, Text("3"));
    EXPECT_EQ(Query(kRecentKey, "Item1")->data, Text("z"));
    EXPECT_EQ(Query(kRecentKey, "Item3")->data, Text("x"));
    EXPECT_EQ(Query(kRecentKey, "Item4")->data, Text("2")) << "stale items stay";
    EXPECT_EQ(Query(kRecentKey, "Item5")->data, Text("1"));
    cMRU loaded;
    loaded.DeSerialise(r);
    EXPECT_EQ(Items(loaded), (Names{"z", "y", "x"}));
}

TEST_F(MruRegistryTest, DeSerialiseRepairsLimitsAndKeepsTheListOnBadNumbers) {
    std::string twenty = "\"MaxCount\"=dword:00000010\n\"Count\"=\"20\"\n";
    for (int i = 1; i <= 20; ++i) {
        twenty += "\"Item" + std::to_string(i) + "\"=\"p" + std::to_string(i) + "\"\n";
    }
    auto [mru, error] = Load(twenty);
    EXPECT_EQ(mru.Count(), 16);
    EXPECT_EQ(mru.Item(16), "p16");

    std::tie(mru, error) = Load(
        "\"MaxCount\"=dword:00000000\n\"Count\"=dword:00000002\n"
        "\"Item1\"=\"only\"\n");
    EXPECT_EQ(mru.MaxCount(), 16);
    EXPECT_EQ(Items(mru), (Names{"only", ""})) << "a missing item is empty";
    std::tie(mru, error) = Load("\"MaxCount\"=dword:7fffffff\n\"Count\"=\"2147483647\"\n");
    EXPECT_EQ(mru.Count(), cMRU::kLimitMaxCount);
    std::tie(mru, error) = Load("\"Count\"=\"-4\"\n");
    EXPECT_EQ(mru.MaxCount(), 16);
    EXPECT_EQ(mru.Count(), 0);
    EXPECT_EQ(Load("\"Count\"=\"abc\"\n").second, kErrTypeMismatch);
    EXPECT_EQ(Load("\"MaxCount\"=\"99999999999\"\n").second, kErrOverflow);
}

}  // namespace
}  // namespace tv
