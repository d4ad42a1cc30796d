#include "lookup/normalize.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace tv {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;  // typed, expected

void ExpectAll(const Cases& cases, int year) {
    for (const auto& [typed, expected] : cases) {
        EXPECT_EQ(NormalizePatentNumber(typed, year), expected) << '"' << typed << "\" in " << year;
    }
}

// clang-format off
TEST(NormalizePatentNumber, WorkedExamples) {
    ExpectAll({{"6,123,456", "006123456"}, {"06123456", "006123456"},
               {"US 10,123,456", "010123456"}, {"12,999,999", "012999999"}, {"13,000,000", ""},
               {"2024", "000002024"}, {"5000", ""}, {"D512,345", "D0512345"},
               {"d512345", "D0512345"}, {"PP12,345", "PP012345"}, {"RE45,678", "RE045678"},
               {"H1,234", "H0001234"}, {"2012/0012345", "20120012345"},
               {"2012/12345", "20120012345"}, {"2015/0412345", ""}, {"2,012,345", "20120000345"},
               {"T2,012,345", "002012345"}, {"", "000000000"}},
              2026);
}

TEST(NormalizePatentNumber, EdgeCases) {
    ExpectAll(
        {// blank, letters only
         {"   ", "000000000"}, {"abc xyz", "000000000"},
         // kind letters alone, their precedence, anywhere in the text
         {"H", "H0000000"}, {"P", "PP000000"}, {"R", "RE000000"}, {"D", "D0000000"},
         {"RD123", "RE000123"}, {"PH5", "H0000005"}, {"123d", "D0000123"}, {"t20", "000000020"},
         // prefixed kinds are cut from the left
         {"D12345678", "D2345678"}, {"T201234567890", "234567890"},
         // serial and year bounds
         {"2010/0399999", "20100399999"}, {"2010/0400000", ""}, {"2026/0000001", "20260000001"},
         {"2027/0000001", ""}, {"2001/0000001", "20010000001"}, {"2000/0000001", ""},
         {"2000123", "002000123"},
         // lengths
         {"123456789012", ""}, {"12345678901", ""}, {"2100", ""}, {"2099", "000002099"},
         // kind codes are digits too; "U S" loses its space first; other marks are skipped
         {"10,123,456 B2", ""}, {"U S 6,123,456", "006123456"}, {"-6.123.456", "006123456"}},
        2026);
}

TEST(NormalizePatentNumber, YearWindowMovesWithTheClock) {
    ExpectAll({{"2,027,345", "002027345"}, {"2,026,345", "20260000345"}}, 2026);
    ExpectAll({{"2027/0000001", "20270000001"}, {"2,027,345", "20270000345"}}, 2030);
    ExpectAll({{"2,012,345", "002012345"}, {"2012/0012345", ""}, {"2012", "000002012"}}, 2011);
    ExpectAll({{"2120", ""}, {"2099", "000002099"}}, 2150);
}

TEST(NormalizePatentNumber, MoreThanFifteenDigitsGiveEmpty) {
    ExpectAll({{"D123456789012345", "D9012345"}, {"D1234567890123456", ""},
               {"T2099999999999999999999999", ""}, {std::string(100000, '9'), ""},
               // leading zeros count
               {"0000000006123456", ""}, {"000000006123456", "006123456"},
               {std::string(40000, 'x') + "D5", "D0000005"}},
              2026);
    EXPECT_EQ(Str_To_Lng("-1.5e3"), 153);
    EXPECT_EQ(Str_To_Lng("no digits"), 0);
    EXPECT_EQ(Str_To_Lng("999999999999999"), 999999999999999);
    EXPECT_EQ(Str_To_Lng("9999999999999999"), std::nullopt);
}
// clang-format on

TEST(NumberHelpers, PadAndRemoveZeroes) {
    EXPECT_EQ(PadWithZeroes("512345", "0000000"), "0512345");
    EXPECT_EQ(PadWithZeroes("12345678", "0000000"), "2345678");
    EXPECT_EQ(PadWithZeroes("12", ""), "");
    EXPECT_EQ(RemoveLeadingZeroes("006123456"), "6123456");
    EXPECT_EQ(RemoveLeadingZeroes("000000000"), "");
    EXPECT_EQ(RemoveLeadingZeroes("D0512345"), "D0512345");
}

// The exact form of each kind; a publication's year is in the window and its serial
// below 400,000.
bool HasItsForm(const NormalizedPatentNumber& r, int year) {
    using K = PatentNumberKind;
    using R = std::regex;
    static const std::map<K, R> forms = {
        {K::None, R("")},
        {K::Grant, R("0[0-9]{8}")},
        {K::ForcedGrant, R("[0-9]{9}")},
        {K::Design, R("D[0-9]{7}")},
        {K::Sir, R("H[0-9]{7}")},
        {K::Plant, R("PP[0-9]{6}")},
        {K::Reissue, R("RE[0-9]{6}")},
        {K::Publication, R("[0-9]{4}0[0-3][0-9]{5}")},
    };
    const auto year4 = [&] { return std::stoi(r.text.substr(0, 4)); };
    return std::regex_match(r.text, forms.at(r.kind)) &&
           (r.kind != K::Publication || (year4() >= 2001 && year4() <= year));
}

TEST(NormalizePatentNumber, GeneratedInputsKeepTheFormsAndAreStable) {
    const std::string alphabet = "0123456789000222,,  //USusHhPpRrDdTtBAx.-\t";
    std::mt19937 rng(20260101);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 20), years(1995, 2105);

    for (int i = 0; i < 50000; ++i) {
        std::string typed;
        for (int k = length(rng); k > 0; --k) {
            typed += alphabet[pick(rng)];
        }
        const int year = i % 4 == 0 ? years(rng) : 2026;
        const NormalizedPatentNumber first = ClassifyPatentNumber(typed, year);
        ASSERT_TRUE(HasItsForm(first, year)) << '"' << typed << "\" gave " << first.text;
        if (first.kind == PatentNumberKind::None) {
            continue;
        }
        const NormalizedPatentNumber again = ClassifyPatentNumber(first.text, year);
        // Without its T a forced grant's digits follow the plain rules.
        const bool mayChange =
            first.kind == PatentNumberKind::ForcedGrant && again.kind != PatentNumberKind::Grant;
        EXPECT_TRUE(again.text == first.text || mayChange) << '"' << typed << "\" in " << year;
    }
    EXPECT_EQ(NormalizePatentNumber("002012345", 2026), "20120000345");
}

}  // namespace
}  // namespace tv
