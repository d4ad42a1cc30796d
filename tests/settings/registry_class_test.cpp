// cRegistry's conversions between registry types and program values.
#include "settings/cRegistry.h"

#include <cerrno>

#include "tests/settings/temp_hive.h"

namespace tv {
namespace {

using tv::testing::TempHiveTest;

constexpr std::int32_t kCurrentUser = static_cast<std::int32_t>(0x80000001);
const std::string kSection = "SOFTWARE\\Norvane\\Tessel Viewer";

class RegistryClassTest : public TempHiveTest {
  protected:
    cRegistry At(const std::string& name, std::int32_t type = 1) {
        cRegistry r;
        r.ClassKey(kCurrentUser);
        r.SectionKey(kSection);
        r.ValueKey(name);
        r.ValueType(type);
        return r;
    }

    void Write(const std::string& name, std::int32_t type, const RegVariant& v) {
        cRegistry r = At(name, type);
        r.Value(v);
    }

    std::optional<Stored> Stored_(const std::string& name) { return Query(kSection, name); }
};

TEST_F(RegistryClassTest, TextTypesBecomeExpandableOnlyForPercentSomethingPercent) {
    tv::testing::EnvGuard env("TV_REG_CLASS", "expanded");
    struct Case {
        std::string text;
        reg::DWORD stored;
    };
    const Case cases[] = {{"50%", reg::REG_SZ},
                          {"%%", reg::REG_SZ},
                          {"%TV_REG_CLASS%\\x", reg::REG_EXPAND_SZ},
                          {"a%b%", reg::REG_EXPAND_SZ},
                          {"%%a%", reg::REG_EXPAND_SZ},
                          {"", reg::REG_SZ}};
    for (std::int32_t type : {1, 2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text + " as type " + std::to_string(type));
            Write("T", type, c.text);
            auto stored = Stored_("T");
            ASSERT_TRUE(stored);
            EXPECT_EQ(stored->type, c.stored);
            EXPECT_EQ(stored->data, Text(c.text));  // with its NUL; "" is one NUL byte
        }
    }
    Write("T", 1, std::string("%TV_REG_CLASS%\\x"));
    cRegistry r = At("T", 1);
    EXPECT_EQ(r.Value(), RegVariant(std::string("expanded\\x")));
    EXPECT_EQ(r.ValueType(), reg::REG_EXPAND_SZ);
    Write("T", 1, std::string());
    EXPECT_EQ(At("T").Value(), RegVariant(std::string()));
}

TEST_F(RegistryClassTest, IntegersAsTextOrDwordAndWhatWritesNothing) {
    Write("S16", 1, std::int16_t{33});
    EXPECT_EQ(Stored_("S16")->type, reg::REG_SZ);
    EXPECT_EQ(Stored_("S16")->data, Text("33"));
    Write("S32", 1, std::int32_t{-70000});
    EXPECT_EQ(Stored_("S32")->data, Text("-70000"));

    Write("D16", 4, std::int16_t{33});
    EXPECT_EQ(Stored_("D16")->type, reg::REG_DWORD);
    EXPECT_EQ(Stored_("D16")->data, Dword(33));
    Write("D16", 4, std::int16_t{-1});
    EXPECT_EQ(Stored_("D16")->data, Dword(0xFFFFFFFF)) << "sign-extended";
    Write("D32", 4, std::int32_t{0x12345678});
    EXPECT_EQ(Stored_("D32")->data, Dword(0x12345678));

    // Type 5 is written as a plain double word and reads back as type 4.
    Write("B", 5, std::int32_t{0x01020304});
    EXPECT_EQ(Stored_("B")->type, reg::REG_DWORD);
    cRegistry r = At("B", 1);
    EXPECT_EQ(r.Value(), RegVariant(std::int32_t{0x01020304}));
    EXPECT_EQ(r.ValueType(), reg::REG_DWORD);

    // Text under type 4, and types without a write rule: nothing, and no error.
    for (std::int32_t type : {4, 5}) {
        Write("None", type, std::string("1"));
        Write("None", type, RegVariant{});
    }
    for (std::int32_t type : {0, 3, 6, 7, 11}) {
        Write("None", type, std::int32_t{1});
    }
    EXPECT_FALSE(Stored_("None"));
}

TEST_F(RegistryClassTest, ReadingByStoredType) {
    WriteFile(hive_,
              "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
              "@=\"unnamed\"\n"
              "\"Dw\"=dword:ffffffff\n"
              "\"Big\"=hex(5):12,34,56,78\n"
              "\"Multi\"=hex(7):61,00,62,00,00\n"
              "\"Bin\"=hex:01,02\n"
              "\"Short\"=hex(4):01,02\n"
              "\"NoNul\"=hex(1):61,62\n"
              "\"Zero\"=hex(1):\n");
    cRegistry r = At("");
    EXPECT_EQ(r.Value(), RegVariant(std::string("unnamed")));
    r.ValueKey("Dw");
    EXPECT_EQ(r.Value(), RegVariant(std::int32_t{-1}));
    EXPECT_EQ(r.ValueType(), reg::REG_DWORD);
    r.ValueKey("Big");
    EXPECT_EQ(r.Value(), RegVariant(std::int32_t{0x12345678}));
    EXPECT_EQ(r.ValueType(), reg::REG_DWORD_BIG_ENDIAN);
    r.ValueKey("Multi");
    EXPECT_EQ(r.Value(), RegVariant(std::string("a\0b\0", 4)));
    r.ValueKey("Bin");
    EXPECT_EQ(r.Value(), RegVariant(std::vector<std::uint8_t>{1, 2}));
    r.ValueKey("Short");
    EXPECT_EQ(r.Value(), RegVariant(std::vector<std::uint8_t>{1, 2}));
    r.ValueKey("NoNul");
    EXPECT_EQ(r.Value(), RegVariant(std::string("ab")));
    r.ValueKey("Zero");
    try {
        r.Value();
        ADD_FAILURE() << "a stored text without its NUL cannot be read";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrRegistryBadText);
    }

    // Missing value or key: Default, and ValueType stays.
    r.ValueKey("Missing");
    r.ValueType(7);
    EXPECT_EQ(r.Value(), RegVariant{});
    r.Default(std::string("fallback"));
    EXPECT_EQ(r.Value(), RegVariant(std::string("fallback")));
    EXPECT_EQ(r.ValueType(), 7);
    r.SectionKey("SOFTWARE\\Nowhere");
    EXPECT_EQ(r.Value(), RegVariant(std::string("fallback")));
    EXPECT_FALSE(r.KeyExists());
    r.SectionKey(kSection);
    EXPECT_TRUE(r.KeyExists());
    r.ClassKey(0);
    EXPECT_FALSE(r.KeyExists());
}

TEST_F(RegistryClassTest, WritingCreatesParentsAndTheUnnamedValue) {
    cRegistry r = At("");
    r.SectionKey("SOFTWARE\\A\\B\\C");
    r.Value(std::string("default"));
    EXPECT_EQ(Query("SOFTWARE\\A\\B\\C", "")->data, Text("default"));
    r.SectionKey("SOFTWARE\\A");
    EXPECT_TRUE(r.KeyExists());
    r.SectionKey("software\\a\\b\\c");
    EXPECT_EQ(r.Value(), RegVariant(std::string("default")));
}

TEST_F(RegistryClassTest, KeyThatCannotBeCreatedRaises26001) {
    WriteFile(dir_ + "/file", "");
    const std::string hive = dir_ + "/file/user.reg";
    ::setenv("TESSEL_REGISTRY_FILE", hive.c_str(), 1);
    cRegistry r = At("IE11Path");
    try {
        r.Value(std::string("/usr/bin/x-www-browser"));
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
    r.ClassKey(0);  // no such root
    r.ValueType(4);
    try {
        r.Value(std::int16_t{5});
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Description(),
                  "Failed to set registry value Key: '0',Section: 'SOFTWARE\\Norvane\\Tessel "
                  "Viewer',Key: 'IE11Path' to value: '5'");
    }
}

TEST_F(RegistryClassTest, RefusedWriteRaisesNothingButIsRecorded) {
    Write("A", 1, std::string("before"));
    reg::testing::SetWriteFault(ENOSPC);
    cRegistry r = At("A");
    r.Value(std::string("after"));
    EXPECT_EQ(r.LastWriteStatus(), reg::ERROR_DISK_FULL);
    EXPECT_EQ(r.LastWriteReason(), "No space left on device");
    r.ValueKey("B");
    r.Value(std::string("x"));
    EXPECT_EQ(r.FirstWriteFailure().valueName, "A");
    EXPECT_EQ(r.FirstWriteFailure().hivePath, hive_);
    reg::testing::SetWriteFault(0);
    EXPECT_EQ(Stored_("A")->data, Text("before"));
    r.Value(std::string("x"));
    EXPECT_EQ(r.LastWriteStatus(), 0);
}

TEST(RegVariantConversion, NumbersFromTextAndIntegers) {
    EXPECT_EQ(RegVariantToInt16(std::string(" 33 ")), 33);
    EXPECT_EQ(RegVariantToInt16(std::string("-32768")), -32768);
    EXPECT_EQ(RegVariantToInt16(RegVariant{}), 0);
    EXPECT_EQ(RegVariantToInt32(std::int16_t{-5}), -5);
    EXPECT_EQ(RegVariantToInt32(std::string("+2147483647")), 2147483647);
    auto number = [](auto convert, const RegVariant& v) {
        try {
            convert(v);
        } catch (const AppError& e) {
            return e.Number();
        }
        return 0L;
    };
    auto to16 = [](const RegVariant& v) { return RegVariantToInt16(v); };
    auto to32 = [](const RegVariant& v) { return RegVariantToInt32(v); };
    EXPECT_EQ(number(to16, std::string("40000")), kErrOverflow);
    EXPECT_EQ(number(to16, std::int32_t{40000}), kErrOverflow);
    EXPECT_EQ(number(to32, std::string("99999999999999999999")), kErrOverflow);
    for (const char* bad : {"abc", "", " ", "-", "3.5", "0x10", "1 2"}) {
        EXPECT_EQ(number(to16, std::string(bad)), kErrTypeMismatch) << bad;
    }
    EXPECT_EQ(number(to32, std::vector<std::uint8_t>{1}), kErrTypeMismatch);
}

}  // namespace
}  // namespace tv
