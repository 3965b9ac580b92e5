// f_check and the number formats: the field read of every dialog and the
// display formats, independent of the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <locale>
#include <optional>
#include <string>

#include "core/numtext.h"

#include "support.h"

namespace forstrix {
namespace {

struct CheckRow {
    const char* name;
    const char* text;
    std::optional<double> value;  // nullopt: refused
};

class FCheck : public ::testing::TestWithParam<CheckRow> {};

TEST_P(FCheck, ReadsAsTheDialogsDo) {
    const CheckRow& row = GetParam();
    const std::optional<double> got = f_check(row.text);
    ASSERT_EQ(got.has_value(), row.value.has_value()) << "text \"" << row.text << "\"";
    if (row.value) { EXPECT_EQ(*got, *row.value) << "text \"" << row.text << "\""; }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FCheck,
    ::testing::Values(CheckRow{"Empty", "", 0.0}, CheckRow{"Whole", "12", 12.0},
                      CheckRow{"Comma", "1,5", 1.5}, CheckRow{"Point", "1.5", 1.5},
                      CheckRow{"CommaTwelveFive", "12,5", 12.5}, CheckRow{"LeadingZeros", "0012", 12.0},
                      CheckRow{"LeadingSeparator", ",5", 0.5}, CheckRow{"TrailingSeparator", "5,", 5.0},
                      CheckRow{"SeparatorOnlyPoint", ".", 0.0}, CheckRow{"SeparatorOnlyComma", ",", 0.0},
                      CheckRow{"Zero", "0", 0.0}, CheckRow{"ZeroDecimals", "0,00", 0.0},
                      CheckRow{"Decimals", "160,7", 160.7}, CheckRow{"ManyDecimals", "0.2352430", 0.235243},
                      CheckRow{"TwoCommas", "1,5,0", std::nullopt}, CheckRow{"TwoPoints", "1.5.0", std::nullopt},
                      CheckRow{"PointThenComma", "1.5,0", std::nullopt},
                      CheckRow{"ThreeParts", "1,2,3", std::nullopt}, CheckRow{"Minus", "-1", std::nullopt},
                      CheckRow{"Plus", "+1", std::nullopt}, CheckRow{"Exponent", "1e5", std::nullopt},
                      CheckRow{"ExponentUpper", "1E5", std::nullopt},
                      CheckRow{"LeadingBlank", " 1", std::nullopt},
                      CheckRow{"TrailingBlank", "1 ", std::nullopt}, CheckRow{"Letter", "12a", std::nullopt},
                      CheckRow{"Word", "abc", std::nullopt}, CheckRow{"Infinity", "inf", std::nullopt},
                      CheckRow{"NotANumber", "nan", std::nullopt}, CheckRow{"Hex", "0x10", std::nullopt},
                      CheckRow{"Tab", "1\t", std::nullopt}, CheckRow{"Umlaut", "1\xC3\xA4", std::nullopt}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(FCheckLong, HugeDigitStringReadsAsInfinity) {
    const std::string text(400, '9');
    const auto v = f_check(text);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, std::numeric_limits<double>::infinity());
}

TEST(FCheckLong, TinyFractionReadsAsZero) {
    const std::string text = "0," + std::string(400, '0') + "1";
    const auto v = f_check(text);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, 0.0);
}

struct FormatRow {
    const char* name;
    std::string got;
    const char* want;
};

class Formats : public ::testing::TestWithParam<FormatRow> {};

TEST_P(Formats, Text) { EXPECT_EQ(GetParam().got, GetParam().want); }

std::vector<FormatRow> format_rows() {
    return {
        {"FixedTwo", format_fixed(450.0, 2), "450.00"},
        {"FixedRoundsLikePrintf", format_fixed(6.625667, 2), "6.63"},
        {"FixedBinaryAboveHalf", format_fixed(6.325, 2), "6.33"},  // 6.325 is 6.3250000000000002 in binary
        {"FixedBinaryBelowHalf", format_fixed(2.675, 2), "2.67"},  // 2.675 is 2.6749999999999998
        {"FixedFour", format_fixed(0.235243, 4), "0.2352"},
        {"FixedZeroDecimals", format_fixed(2.5, 0), "2"},
        {"FixedNegative", format_fixed(-52.0714, 2), "-52.07"},
        {"FixedNegativeZero", format_fixed(-0.001, 2), "-0.00"},
        {"FixedLarge", format_fixed(1e20, 2), "100000000000000000000.00"},
        {"CommaTwo", format_comma(450.0, 2), "450,00"},
        {"CommaFour", format_comma(0.0, 4), "0,0000"},
        {"CommaThree", format_comma(0.163232, 3), "0,163"},
        {"CommaHeight", format_comma(18.909077, 2), "18,91"},
        {"WholeTruncates", format_whole(150.7), "150"},
        {"WholeExact", format_whole(11000.0), "11000"},
        {"WholeSmall", format_whole(0.6), "0"},
        {"WholeNegativeTruncatesTowardZero", format_whole(-1.9), "-1"},
        {"WholeNoMinusZero", format_whole(-0.5), "0"},
        {"WholeBeyondInt", format_whole(1e12 + 0.5), "1000000000000"},
        {"ShortestWhole", format_shortest(20.0), "20"},
        {"ShortestCost", format_shortest(137.93), "137.93"},
        {"ShortestThird", format_shortest(1.0 / 3.0), "0.3333333333333333"},
        {"ShortestZero", format_shortest(0.0), "0"},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, Formats, ::testing::ValuesIn(format_rows()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(FormatShortest, ReadsBackExactly) {
    for (double v : {20.834012345678901, 0.1, 45.283677685950414, 1e-300, 1.7976931348623157e308, 2.0 / 3.0}) {
        const std::string text = format_shortest(v);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

TEST(Locale, GermanLocaleChangesNothing) {
    FORSTRIX_KEEP_GLIBC_LOCALE_PATH;
    const std::string name = test::german_locale();
    if (name.empty()) GTEST_SKIP() << "no German locale available and none could be built";
    // The locale is really German: printf writes a decimal comma.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    EXPECT_STREQ(buf, "1,50");
    std::locale::global(std::locale(name.c_str()));

    EXPECT_EQ(format_fixed(450.0, 2), "450.00");
    EXPECT_EQ(format_comma(450.0, 2), "450,00");
    EXPECT_EQ(format_whole(150.7), "150");
    EXPECT_EQ(format_shortest(137.93), "137.93");
    EXPECT_EQ(f_check("1.5"), std::optional<double>(1.5));
    EXPECT_EQ(f_check("1,5"), std::optional<double>(1.5));
    EXPECT_EQ(f_check("1.000"), std::optional<double>(1.0));  // a point is never a thousands separator

    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace forstrix
