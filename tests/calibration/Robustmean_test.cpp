#include "analysis/Robustmean.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct MeanCase {
    const char* what;
    std::vector<double> values;
    double expected;
};

const MeanCase meanCases[] = {
    {"none", {}, 0},
    {"one", {7}, 7},
    {"two", {4, 9}, 6.5},
    {"three, the largest farther", {10, 11, 20}, 10.5},
    {"three, the smallest farther", {0, 10, 11}, 10.5},
    {"three, a tie drops the smallest", {1, 2, 3}, 2.5},
    {"three equal", {5, 5, 5}, 5},
    {"four", {5, 6, 7, 100}, 6.5},
    {"six, one of each end", {1, 50, 2, 3, 4, 5}, 3.5},
    {"seven, two of each end", {100, 1, 10, 11, 12, 2, 200}, 11},
    {"repeated extremes go one at a time", {9, 1, 9, 1, 5, 9, 1}, 5},
    {"a measured marker counts as set aside", {10, excludedValueMarker, 12, 100}, 12},
    {"within 0.1 of the marker too", {1, excludedValueMarker + 0.05, 3, 5}, 3},
    {"nothing left", {excludedValueMarker, excludedValueMarker, excludedValueMarker, excludedValueMarker}, 0},
};

TEST(RobustMean, CasesAsInTheCalibrationProcedure)
{
    for (const MeanCase& c : meanCases)
        EXPECT_DOUBLE_EQ(robustMean(c.values), c.expected) << c.what;
}

TEST(RobustMean, LeavesTheMeasurementsAlone)
{
    const std::vector<double> values{5, 6, 7, 100};
    const std::vector<double> copy = values;
    robustMean(values);
    EXPECT_EQ(values, copy);
}

} // namespace
