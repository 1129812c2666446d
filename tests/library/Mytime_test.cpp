#include "library/Mytime.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(LocalSeconds, EpochIsDayOne)
{
    EXPECT_EQ(lib::toLocalSeconds(1970, 1, 1, 0, 0, 0), 86400u);
    EXPECT_EQ(lib::fromLocalSeconds(86400), (lib::LocalTimeFields{1970, 1, 1, 0, 0, 0}));
    EXPECT_EQ(lib::toLocalSeconds(1970, 1, 2, 1, 2, 3), 2u * 86400 + 3723);
    EXPECT_EQ(lib::toLocalSeconds(1971, 1, 1, 0, 0, 0), 366u * 86400);
}

TEST(LocalSeconds, RoundTripsAcrossLeapDaysAndMonthEnds)
{
    const lib::LocalTimeFields cases[] = {
        {2000, 2, 29, 23, 59, 59}, {1972, 2, 29, 0, 0, 0}, {1972, 3, 1, 0, 0, 0},
        {1999, 12, 31, 23, 59, 59}, {2007, 10, 3, 16, 20, 58}, {2026, 12, 9, 12, 0, 0},
        {2100, 2, 29, 6, 30, 0},  // every year divisible by 4 is a leap year here
        {2105, 12, 31, 23, 59, 59},
    };
    for (const auto& f : cases) {
        const auto value = lib::toLocalSeconds(f.year, f.month, f.day, f.hour, f.minute, f.second);
        EXPECT_EQ(lib::fromLocalSeconds(value), f) << f.year << '-' << f.month << '-' << f.day;
    }
}

TEST(LocalSeconds, EveryDayFrom1970ConvertsBack)
{
    for (lib::LocalSeconds value = 86400; value < 4'000'000'000u; value += 86400 + 3607) {
        const auto f = lib::fromLocalSeconds(value);
        ASSERT_EQ(lib::toLocalSeconds(f.year, f.month, f.day, f.hour, f.minute, f.second), value);
    }
}

TEST(LocalSeconds, DamagedFieldsSaturateInsteadOfWrapping)
{
    constexpr auto largest = std::numeric_limits<lib::LocalSeconds>::max();
    EXPECT_EQ(lib::toLocalSeconds(1'000'000'000, 13, 40, 25, 61, 61), largest);
    EXPECT_EQ(lib::toLocalSeconds(2000, 1, 1, 2000000, 0, 0), largest);
    EXPECT_EQ(lib::toLocalSeconds(1970, 1, 1, -100000, 0, 0), 0u);
    EXPECT_EQ(lib::toLocalSeconds(1800, 0, 1, 0, 0, 0), 86400u);  // before the epoch: its first day
    EXPECT_EQ(lib::fromLocalSeconds(largest).year, 2106);
}

} // namespace
