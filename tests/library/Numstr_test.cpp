#include "library/Numstr.h"

#include "support/Testsupport.h"

#include <cmath>
#include <limits>

namespace {

struct FormatCase {
    double value;
    int decimals;
    int width;
    const char* expected;  // with a comma as the separator
};

TEST(FormatReal, AutomaticAndFixedDecimalsWithRegionalSeparator)
{
    const test::DecimalSeparatorScope comma(',');
    const FormatCase cases[] = {
        {0.5, -1, 0, "0,5"},        // three decimals, zeros removed
        {12.0, -1, 0, "12"},        // one decimal, separator removed too
        {0.0, -1, 5, "    0"},
        {2.5, -1, 0, "2,5"},
        {3.0, -1, 0, "3"},
        {1.234567, -1, 0, "1,23"},  // 1 < |v| <= 10: two decimals
        {10.0, -1, 0, "10"},
        {10.06, -1, 0, "10,1"},     // > 10: one decimal
        {0.1, -1, 0, "0,1"},
        {0.012345, -1, 0, "0,0123"},
        {0.00123456, -1, 0, "0,00123"},
        {0.0001, -1, 0, "0,0001"},  // <= 0.0001: seven decimals
        {0.00001234, -1, 0, "0,0000123"},
        {-0.5, -1, 0, "-0,5"},
        {-0.00000001, -1, 0, "0"},  // rounds to zero: no "-0"
        {1234.5678, 2, 0, "1234,57"},
        {2.0, 3, 0, "2,000"},       // fixed decimals keep zeros
        {7.0, 0, 0, "7"},
        {1.5, 1, 6, "   1,5"},
        {1.5, 1, -3, "1,5"},        // negative width counts as 1
    };
    for (const auto& c : cases)
        EXPECT_EQ(lib::formatReal(c.value, c.decimals, c.width), c.expected)
            << c.value << " decimals " << c.decimals << " width " << c.width;
}

TEST(FormatReal, PointSeparator)
{
    const test::DecimalSeparatorScope point('.');
    EXPECT_EQ(lib::formatReal(0.5), "0.5");
    EXPECT_EQ(lib::formatReal(12.0), "12");
}

TEST(ParseReal, AcceptsCommaOrPointAndGivesZeroForAnythingElse)
{
    const std::pair<const char*, double> cases[] = {
        {"2,5", 2.5}, {"2.5", 2.5}, {" -0,75 ", -0.75}, {"+3", 3.0}, {"1e3", 1000.0},
        {"", 0.0}, {"abc", 0.0}, {"12abc", 0.0}, {"1,2,3", 0.0}, {"nan", 0.0}, {"inf", 0.0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(lib::parseReal(text), expected) << '"' << text << '"';
}

TEST(ParseTypedReal, TellsANumberFromAnythingElse)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"2,5", 2.5}, {" -0,75 ", -0.75}, {"0", 0.0}, {"-0,0", 0.0}, {"1e3", 1000.0},
        {"", std::nullopt}, {" ", std::nullopt}, {"abc", std::nullopt}, {"12abc", std::nullopt},
        {"1,2,3", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(lib::parseTypedReal(text), expected) << '"' << text << '"';
}

TEST(GeneralForm, ShortestFormRoundTripsWithEitherSeparator)
{
    for (const char separator : {',', '.'}) {
        const test::DecimalSeparatorScope scope(separator);
        for (const double value : {0.0001, 2.5, 0.1, 1.0 / 3.0, -1234.5, 1e-9, 1e20, 0.0}) {
            const std::string text = lib::formatGeneral(value);
            const auto back = lib::parseRegionalReal(text);
            ASSERT_TRUE(back) << text;
            EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14) << text;
        }
    }
    const test::DecimalSeparatorScope comma(',');
    EXPECT_EQ(lib::formatGeneral(0.0001), "0,0001");
    EXPECT_EQ(lib::formatGeneral(2.5), "2,5");
    EXPECT_EQ(lib::formatGeneral(0.1), "0,1");
    EXPECT_EQ(lib::formatGeneral(1.0 / 3.0), "0,333333333333333");  // 15 significant digits
    EXPECT_EQ(lib::formatGeneral(static_cast<double>(0.1f)), "0,100000001490116");
}

TEST(GeneralForm, TheOtherSeparatorDoesNotParse)
{
    {
        const test::DecimalSeparatorScope comma(',');
        EXPECT_FALSE(lib::parseRegionalReal("2.5"));
        EXPECT_EQ(lib::parseRegionalReal("2,5"), 2.5);
    }
    const test::DecimalSeparatorScope point('.');
    EXPECT_FALSE(lib::parseRegionalReal("2,5"));
    EXPECT_EQ(lib::parseRegionalReal("2.5"), 2.5);
    for (const char* bad : {"", "x", "2.5x", "1e999", "nan", "--1"})
        EXPECT_FALSE(lib::parseRegionalReal(bad)) << bad;
}

TEST(ParseInteger, DecimalAndBothHexadecimalForms)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"42", 42}, {"-42", -42}, {"+7", 7}, {" 5 ", 5}, {"$1F", 31}, {"0x1f", 31}, {"0X10", 16},
        {"$FFFFFFFF", -1}, {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt}, {"$100000000", std::nullopt}, {"", std::nullopt}, {"$", std::nullopt},
        {"1.5", std::nullopt}, {"12a", std::nullopt}, {"+-1", std::nullopt}, {"true", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(lib::parseInteger(text), expected) << '"' << text << '"';
}

} // namespace
