// The recent-files list: order, limits and its registry form.
#include "settings/cMRU.h"

#include "tests/platform/registry/temp_hive.h"

namespace tv {
namespace {

using Names = std::vector<std::string>;
using tv::testing::Text;
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

TEST(MruList, OrderReAddCaseAndTheSixteenLimit) {
    cMRU mru = ListOf({"A", "B", "C", "B", "B", "a"});  // letter case counts
    EXPECT_EQ(Items(mru), (Names{"a", "B", "C", "A"}));

    Names seventeen;
    for (int i = 1; i <= 17; ++i) {
        seventeen.push_back("f" + std::to_string(i));
    }
    mru = ListOf(seventeen);
    mru.Add("f9");  // from the middle of a full list: the count stays
    EXPECT_EQ(mru.Count(), 16);
    EXPECT_EQ(mru.Item(1), "f9");
    EXPECT_EQ(mru.Item(16), "f2") << "the oldest dropped";
    mru.MaxCount(3);
    EXPECT_EQ(Items(mru), (Names{"f9", "f17", "f16"}));
    for (std::int32_t bad : {0, cMRU::kLimitMaxCount + 1}) {
        EXPECT_THROW(mru.MaxCount(bad), AppError);
    }
    EXPECT_THROW(mru.Item(4), AppError);
}

class MruRegistryTest : public tv::testing::TempHiveTest {
  protected:
    cRegistry RecentKey() {
        cRegistry r;
        r.ClassKey(static_cast<std::int32_t>(0x80000001));
        r.SectionKey(kRecentKey);
        return r;
    }
};

TEST_F(MruRegistryTest, SerialiseWritesTheFormatAndLeavesStaleItems) {
    cRegistry r = RecentKey();
    ListOf({"1", "2", "3", "4", "5"}).Serialise(r);
    ListOf({"x", "y", "z"}).Serialise(r);
    EXPECT_EQ(Query(kRecentKey, "MaxCount")->type, reg::REG_DWORD);
    EXPECT_EQ(Query(kRecentKey, "MaxCount")->data, tv::testing::Dword(16));
    EXPECT_EQ(Query(kRecentKey, "Count")->type, reg::REG_SZ);
    EXPECT_EQ(Query(kRecentKey, "Count")->data, Text("3"));
    EXPECT_EQ(Query(kRecentKey, "Item1")->data, Text("z"));
    EXPECT_EQ(Query(kRecentKey, "Item4")->data, Text("2")) << "stale items stay";
    cMRU loaded;
    loaded.DeSerialise(r);
    EXPECT_EQ(Items(loaded), (Names{"z", "y", "x"})) << "and are not read back";
}

TEST_F(MruRegistryTest, DeSerialiseRepairsLimitsAndKeepsTheListOnBadNumbers) {
    std::string twenty = "\"MaxCount\"=dword:00000010\n\"Count\"=\"20\"\n";
    for (int i = 1; i <= 20; ++i) {
        twenty += "\"Item" + std::to_string(i) + "\"=\"p" + std::to_string(i) + "\"\n";
    }
    struct Case {
        std::string values;
        std::int32_t maxCount, count;  // after the load
        std::string last;              // the last item after the load
        long error;
    } const cases[] = {
        {twenty, 16, 16, "p16", 0},  // Count above MaxCount is cut
        {"\"MaxCount\"=dword:00000000\n\"Count\"=dword:00000002\n\"Item1\"=\"only\"\n", 16, 2, "",
         0},  // a missing item is empty
        {"\"MaxCount\"=dword:7fffffff\n\"Count\"=\"2147483647\"\n", cMRU::kLimitMaxCount,
         cMRU::kLimitMaxCount, "", 0},
        {"\"Count\"=\"-4\"\n", 16, 0, "", 0},
        {"\"Count\"=\"abc\"\n", 16, 1, "previous", kErrTypeMismatch},
        {"\"MaxCount\"=\"99999999999\"\n", 16, 1, "previous", kErrOverflow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        ReplaceHive("REGEDIT4\n[HKEY_CURRENT_USER\\" + kRecentKey + "]\n" + c.values);
        cMRU mru = ListOf({"previous"});
        cRegistry r = RecentKey();
        long error = 0;
        try {
            mru.DeSerialise(r);
        } catch (const AppError& e) {
            error = e.Number();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(mru.MaxCount(), c.maxCount);
        ASSERT_EQ(mru.Count(), c.count);
        EXPECT_EQ(c.count > 0 ? mru.Item(c.count) : "", c.last) << "a failed load leaves the list";
    }
}

}  // namespace
}  // namespace tv
