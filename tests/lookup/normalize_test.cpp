#include "lookup/normalize.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tv {
namespace {

struct Case {
    const char* typed;
    const char* expected;
};

void ExpectAll(const std::vector<Case>& cases, int year) {
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizePatentNumber(c.typed, year), c.expected)
            << "typed \"" << c.typed << "\", year " << year;
    }
}

TEST(NormalizePatentNumber, WorkedExamples) {
    ExpectAll({{"6,123,456", "006123456"},
               {"06123456", "006123456"},
               {"US 10,123,456", "010123456"},
               {"12,999,999", "012999999"},
               {"13,000,000", ""},
               {"2024", "000002024"},
               {"5000", ""},
               {"D512,345", "D0512345"},
               {"d512345", "D0512345"},
               {"PP12,345", "PP012345"},
               {"RE45,678", "RE045678"},
               {"H1,234", "H0001234"},
               {"2012/0012345", "20120012345"},
               {"2012/12345", "20120012345"},
               {"2015/0412345", ""},
               {"2,012,345", "20120000345"},
               {"T2,012,345", "002012345"},
               {"", "000000000"}},
              2026);
}

TEST(NormalizePatentNumber, EdgeCases) {
    ExpectAll(
        {// blank and letters only
         {"   ", "000000000"},
         {"abc xyz", "000000000"},
         {"u s", "000000000"},
         // single kind letters
         {"H", "H0000000"},
         {"P", "PP000000"},
         {"R", "RE000000"},
         {"D", "D0000000"},
         // precedence: H, P, R, D, then T20, wherever the letter stands
         {"RD123", "RE000123"},
         {"PH5", "H0000005"},
         {"123d", "D0000123"},
         {"t20", "000000020"},
         // prefixed kinds are cut from the left
         {"D12345678", "D2345678"},
         {"T201234567890", "234567890"},
         {"PP1234567", "PP234567"},
         // serial bound
         {"2010/0399999", "20100399999"},
         {"2010/0400000", ""},
         // year bounds
         {"2026/0000001", "20260000001"},
         {"2027/0000001", ""},
         {"2001/0000001", "20010000001"},
         {"2000123", "002000123"},
         {"2000/0000001", ""},  // Y = 2000: a grant reading, above the limit
                                // length
         {"123456789012", ""},
         {"12345678901", ""},
         {"9999", ""},
         {"2099", "000002099"},
         {"20", "000000020"},
         {"2100", ""},
         // kind codes after the number are digits too
         {"10,123,456 B2", ""},
         {"U S 6,123,456", "006123456"},
         {"6.123.456", "006123456"},
         {"-6123456", "006123456"}},
        2026);
}

TEST(NormalizePatentNumber, YearWindowMovesWithTheClock) {
    // A year above the current one is no publication year.
    ExpectAll({{"2027/0000001", ""}, {"2,027,345", "002027345"}, {"2,026,345", "20260000345"}},
              2026);
    ExpectAll({{"2027/0000001", "20270000001"}, {"2,027,345", "20270000345"}}, 2030);
    ExpectAll({{"2,012,345", "002012345"}, {"2012/0012345", ""}, {"2012", "000002012"}}, 2011);
    // Four digits stay grants or nothing, whatever the year.
    ExpectAll({{"2120", ""}, {"2099", "000002099"}}, 2150);
}

TEST(NormalizePatentNumber, MoreThanFifteenDigitsGiveEmpty) {
    EXPECT_EQ(NormalizePatentNumber("D123456789012345", 2026), "D9012345");  // fifteen
    EXPECT_EQ(NormalizePatentNumber("D1234567890123456", 2026), "");
    EXPECT_EQ(NormalizePatentNumber("T2099999999999999999999999", 2026), "");
    EXPECT_EQ(NormalizePatentNumber(std::string(100000, '9'), 2026), "");
    // Leading zeros count as digits.
    EXPECT_EQ(NormalizePatentNumber("0000000006123456", 2026), "");
    EXPECT_EQ(NormalizePatentNumber("000000006123456", 2026), "006123456");
    // A long text with few digits is still read.
    EXPECT_EQ(NormalizePatentNumber(std::string(40000, 'x') + "D5", 2026), "D0000005");
}

TEST(NumberHelpers, StrToLngPadAndRemoveZeroes) {
    EXPECT_EQ(Str_To_Lng(""), 0);
    EXPECT_EQ(Str_To_Lng("no digits"), 0);
    EXPECT_EQ(Str_To_Lng("-1.5e3"), 153);
    EXPECT_EQ(Str_To_Lng("999999999999999"), 999999999999999);
    EXPECT_EQ(Str_To_Lng("9999999999999999"), std::nullopt);

    EXPECT_EQ(PadWithZeroes("512345", "0000000"), "0512345");
    EXPECT_EQ(PadWithZeroes("12345678", "0000000"), "2345678");
    EXPECT_EQ(PadWithZeroes("", "000"), "000");
    EXPECT_EQ(PadWithZeroes("12", ""), "");

    EXPECT_EQ(RemoveLeadingZeroes("006123456"), "6123456");
    EXPECT_EQ(RemoveLeadingZeroes("000000000"), "");
    EXPECT_EQ(RemoveLeadingZeroes(""), "");
    EXPECT_EQ(RemoveLeadingZeroes("D0512345"), "D0512345");
}

bool AllDigits(const std::string& s) {
    return s.find_first_not_of("0123456789") == std::string::npos;
}

// The form each kind must have, exactly.
bool HasItsForm(const NormalizedPatentNumber& r, int year) {
    const std::string& t = r.text;
    auto prefixed = [&](const std::string& p, std::size_t width) {
        return t.size() == width && t.starts_with(p) && AllDigits(t.substr(p.size()));
    };
    switch (r.kind) {
        case PatentNumberKind::None:
            return t.empty();
        case PatentNumberKind::Grant:
            return t.size() == 9 && AllDigits(t) && t[0] == '0';
        case PatentNumberKind::ForcedGrant:
            return t.size() == 9 && AllDigits(t);
        case PatentNumberKind::Design:
            return prefixed("D", 8);
        case PatentNumberKind::Sir:
            return prefixed("H", 8);
        case PatentNumberKind::Plant:
            return prefixed("PP", 8);
        case PatentNumberKind::Reissue:
            return prefixed("RE", 8);
        case PatentNumberKind::Publication: {
            if (t.size() != 11 || !AllDigits(t)) {
                return false;
            }
            const int y = std::stoi(t.substr(0, 4));
            return y >= 2001 && y <= year && std::stoi(t.substr(4)) < 400000;
        }
    }
    return false;
}

TEST(NormalizePatentNumber, GeneratedInputsKeepTheFormsAndAreStable) {
    const std::string alphabet = "0123456789000222,,  //USusHhPpRrDdTtBAx.-\t";
    std::mt19937 rng(20260101);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 20);
    std::uniform_int_distribution<int> years(1995, 2105);

    for (int i = 0; i < 50000; ++i) {
        std::string typed;
        const int len = length(rng);
        for (int k = 0; k < len; ++k) {
            typed += alphabet[pick(rng)];
        }
        const int year = i % 4 == 0 ? years(rng) : 2026;

        const NormalizedPatentNumber first = ClassifyPatentNumber(typed, year);
        ASSERT_TRUE(HasItsForm(first, year))
            << "typed \"" << typed << "\" gave \"" << first.text << "\", year " << year;
        if (first.kind == PatentNumberKind::None) {
            continue;
        }
        const NormalizedPatentNumber again = ClassifyPatentNumber(first.text, year);
        if (first.kind == PatentNumberKind::ForcedGrant) {
            // Without the T the digits follow the plain rules.
            EXPECT_TRUE(again.text == first.text || again.kind == PatentNumberKind::Publication ||
                        again.kind == PatentNumberKind::None)
                << "typed \"" << typed << "\"";
        } else {
            EXPECT_EQ(again.text, first.text) << "typed \"" << typed << "\", year " << year;
            EXPECT_EQ(again.kind, first.kind) << "typed \"" << typed << "\"";
        }
    }
    EXPECT_EQ(NormalizePatentNumber(NormalizePatentNumber("T2,012,345", 2026), 2026),
              "20120000345");
}

}  // namespace
}  // namespace tv
