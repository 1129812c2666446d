#include "analysis/Interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using Points = std::vector<Interpolation::Point>;

Interpolation tableOf(const Points& points)
{
    Interpolation table;
    for (const auto& point : points)
        table.add(point);
    return table;
}

struct Case {
    const char* what;
    Points points;
    double x;
    double expected;
};

const Points calibration{{0, 0}, {10, 1}, {30, 3}};

TEST(Interpolation, LinearFollowsTheSegmentThatHoldsX)
{
    const Case cases[] = {
        {"no points", {}, 5, 0},
        {"one point", {{1, 1}}, 5, 0},
        {"inside a segment", calibration, 20, 2},
        {"on the end of a segment", calibration, 10, 1},
        {"on the last point", calibration, 30, 3},
        {"on the first point: no segment starts below it", calibration, 0, 0},
        {"left of the table: first segment extended", calibration, -10, -1},
        {"right of the table: last segment extended", calibration, 40, 4},
        {"steeper last segment extended", {{0, 0}, {10, 1}, {20, 5}}, 25, 7},
        {"first and last share x: no segment holds it", {{5, 1}, {10, 2}, {5, 3}}, 5, 0},
        {"out of order: the last two points still extend", {{0, 0}, {30, 3}, {10, 2}}, 40, 3.5},
        {"segment shorter than the near-zero test", {{0, 0}, {1, 1}, {1.000001, 5}}, 2, 0},
        {"segment just beyond the near-zero test", {{0, 0}, {1, 1}, {1.0001, 2}}, 1.00005, 1.5},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(tableOf(c.points).linear(c.x), c.expected, 1e-9) << c.what;
}

TEST(Interpolation, LagrangeGoesThroughEveryPoint)
{
    const Case cases[] = {
        {"no points", {}, 5, 0},
        {"one point: a constant", {{5, 7}}, 3, 7},
        {"two points: a straight line", {{10, 1}, {30, 3}}, 20, 2},
        {"parabola beyond the points", {{0, 0}, {1, 1}, {2, 4}}, 3, 9},
        {"parabola before the points", {{0, 0}, {1, 1}, {2, 4}}, -1, 1},
        {"x on a point: that point's y", {{10, 1}, {30, 3}}, 30, 3},
        {"shared x: the first of them", {{0, 0}, {1, 1}, {1, 5}}, 1, 1},
        {"shared x: their terms are left out", {{0, 0}, {1, 1}, {1, 5}}, 2, 0},
        {"shared x beside a usable term", {{0, 2}, {1, 1}, {1, 5}}, 2, 2},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(tableOf(c.points).lagrange(c.x), c.expected, 1e-9) << c.what;
    // The point itself, not a sum that rounds near it.
    EXPECT_EQ(Interpolation({{10, 1}, {30, 3}}).lagrange(10), 1.0);
}

TEST(Interpolation, PointsKeepTheirOrderAndOutsideIndicesThrow)
{
    const Interpolation table{{3, 30}, {1, 10}};
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.point(0).x, 3);
    EXPECT_EQ(table.point(1).y, 10);
    EXPECT_THROW((void)table.point(2), std::out_of_range);
    EXPECT_THROW((void)Interpolation().point(0), std::out_of_range);

    lib::array<Interpolation::Point> points;
    points.push_back({1, 2});
    EXPECT_EQ(Interpolation(points).point(0).y, 2);
}

TEST(Interpolation, NotANumberFindsNoSegment)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(tableOf(calibration).linear(nan), 0);
    EXPECT_TRUE(std::isnan(tableOf(calibration).lagrange(nan)));
}

} // namespace
