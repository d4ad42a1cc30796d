// cRegistry's conversions between registry types and program values.
#include "settings/cRegistry.h"

#include "tests/platform/registry/temp_hive.h"

namespace tv {
namespace {

using tv::testing::Dword;
using tv::testing::Text;

const std::string kSection = "SOFTWARE\\Norvane\\Tessel Viewer";

class RegistryClassTest : public tv::testing::TempHiveTest {
  protected:
    static cRegistry At(const std::string& name, std::int32_t type = 1) {
        cRegistry r;
        r.ClassKey(static_cast<std::int32_t>(0x80000001));
        r.SectionKey(kSection);
        r.ValueKey(name);
        r.ValueType(type);
        return r;
    }

    static std::optional<Stored> Write(std::int32_t type, const RegVariant& v) {
        At("V", type).Value(v);
        return Query(kSection, "V");
    }
};

TEST_F(RegistryClassTest, TextTypesBecomeExpandableOnlyForPercentSomethingPercent) {
    tv::testing::EnvGuard env("TV_REG_CLASS", "expanded");
    const std::vector<std::string> plain = {"50%", "%%", ""},
                                   expandable = {"a%b%", "%%a%", "%TV_REG_CLASS%\\x"};
    for (std::int32_t type : {1, 2}) {
        for (reg::DWORD stored : {reg::REG_SZ, reg::REG_EXPAND_SZ}) {
            for (const std::string& text : stored == reg::REG_SZ ? plain : expandable) {
                auto written = Write(type, text);
                ASSERT_TRUE(written) << text;
                EXPECT_EQ(written->type, stored) << text << " as type " << type;
                EXPECT_EQ(written->data, Text(text)) << "with its NUL; empty is one NUL byte";
            }
        }
    }
    cRegistry r = At("V");
    EXPECT_EQ(r.Value(), RegVariant(std::string("expanded\\x")));
    EXPECT_EQ(r.ValueType(), reg::REG_EXPAND_SZ);
    Write(1, std::string());
    EXPECT_EQ(At("V").Value(), RegVariant(std::string()));
}

TEST_F(RegistryClassTest, IntegersAsTextOrDwordAndWhatWritesNothing) {
    const std::tuple<std::int32_t, RegVariant, reg::DWORD, tv::testing::Bytes> cases[] = {
        {1, std::int16_t{33}, reg::REG_SZ, Text("33")},
        {1, std::int32_t{-70000}, reg::REG_SZ, Text("-70000")},
        {4, std::int16_t{33}, reg::REG_DWORD, Dword(33)},
        {4, std::int16_t{-1}, reg::REG_DWORD, Dword(0xFFFFFFFF)},  // sign-extended
        {4, std::int32_t{0x12345678}, reg::REG_DWORD, Dword(0x12345678)},
        {5, std::int32_t{0x01020304}, reg::REG_DWORD, Dword(0x01020304)}};
    for (const auto& [type, value, storedType, data] : cases) {
        auto stored = Write(type, value);
        EXPECT_EQ(stored->type, storedType) << "type " << type;
        EXPECT_EQ(stored->data, data) << "type " << type;
    }
    cRegistry r = At("V", 1);
    EXPECT_EQ(r.Value(), RegVariant(std::int32_t{0x01020304}));
    EXPECT_EQ(r.ValueType(), reg::REG_DWORD);

    for (std::int32_t type : {4, 5}) {  // text or empty under a number type
        Write(type, std::string("1"));
        Write(type, RegVariant{});
    }
    for (std::int32_t type : {0, 3, 6, 7, 11}) {
        Write(type, std::int32_t{1});
    }
    EXPECT_EQ(Query(kSection, "V")->data, Dword(0x01020304)) << "nothing was written";
}

TEST_F(RegistryClassTest, ReadingByStoredTypeAndDefaults) {
    WriteFile(hive_,
              "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
              "@=\"unnamed\"\n\"Dw\"=dword:ffffffff\n\"Big\"=hex(5):12,34,56,78\n"
              "\"Multi\"=hex(7):61,00,62,00,00\n\"Short\"=hex(4):01,02\n"
              "\"NoNul\"=hex(1):61,62\n\"Zero\"=hex(1):\n");
    const std::pair<std::string, RegVariant> cases[] = {{"", std::string("unnamed")},
                                                        {"Dw", std::int32_t{-1}},
                                                        {"Big", std::int32_t{0x12345678}},
                                                        {"Multi", std::string("a\0b\0", 4)},
                                                        {"Short", std::vector<std::uint8_t>{1, 2}},
                                                        {"NoNul", std::string("ab")}};
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(At(name).Value(), expected) << name;
    }
    cRegistry r = At("Big");
    r.Value();
    EXPECT_EQ(r.ValueType(), reg::REG_DWORD_BIG_ENDIAN);
    try {
        At("Zero").Value();
        ADD_FAILURE() << "a stored text without its NUL cannot be read";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrRegistryBadText);
    }

    r = At("Missing", 7);
    r.Default(std::string("fallback"));
    EXPECT_EQ(r.Value(), RegVariant(std::string("fallback")));
    EXPECT_EQ(r.ValueType(), 7) << "a missing value leaves the type";
    r.SectionKey("SOFTWARE\\Nowhere");
    EXPECT_EQ(r.Value(), RegVariant(std::string("fallback")));
    EXPECT_FALSE(r.KeyExists());
    r.ClassKey(0);
    r.SectionKey(kSection);
    EXPECT_FALSE(r.KeyExists());
}

// What a load may meet, and the classic number of each refusal (0: converts).
TEST(RegistryConversion, NumbersFromTextOrIntegersWithTheirFailures) {
    const std::pair<RegVariant, long> cases[] = {
        {std::string(" -33 "), 0},
        {std::string("32768"), kErrOverflow},
        {std::string("abc"), kErrTypeMismatch},
        {std::vector<std::uint8_t>{1}, kErrTypeMismatch},
        {std::int32_t{-32769}, kErrOverflow},
        {RegVariant{}, 0},
    };
    for (const auto& [value, number] : cases) {
        const Result<std::int16_t> n = RegVariantToInt16(value);
        EXPECT_EQ(n.Ok() ? 0 : n.status().Number(), number) << RegVariantText(value);
    }
    EXPECT_EQ(*RegVariantToInt32(std::string("+70000")), 70000);
}

TEST_F(RegistryClassTest, WritesCreateParentsAndAKeyThatCannotBeCreatedRaises26001) {
    cRegistry unnamed = At("");
    unnamed.SectionKey("SOFTWARE\\A\\B\\C");
    unnamed.Value(std::string("default"));
    EXPECT_EQ(Query("software\\a\\b\\c", "")->data, Text("default"));
    unnamed.SectionKey("SOFTWARE\\A");
    EXPECT_TRUE(unnamed.KeyExists());

    WriteFile(dir_ + "/file", "");
    const std::string hive = dir_ + "/file/user.reg";
    ::setenv("TESSEL_REGISTRY_FILE", hive.c_str(), 1);
    try {
        At("IE11Path").Value(std::string("/usr/bin/x-www-browser"));
        ADD_FAILURE() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(e.Source(), "tessel-viewer.cRegistry");
        EXPECT_EQ(e.Description(),
                  "Failed to set registry value Key: '-2147483647',Section: 'SOFTWARE\\Norvane\\"
                  "Tessel Viewer',Key: 'IE11Path' to value: '/usr/bin/x-www-browser'");
        EXPECT_EQ(e.HivePath(), hive);
        EXPECT_EQ(e.Reason(), "Not a directory");
    }
}

}  // namespace
}  // namespace tv
