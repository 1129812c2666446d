#include "library/Myfunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using lib::GradientBand;
using lib::GradientRect;
using lib::GradientType;

TEST(ColourArithmetic, SplitResolvesSystemColoursAndDropsOtherTopBytes)
{
    const std::pair<std::uint32_t, lib::Rgb> cases[] = {
        {0x123456, {0x56, 0x34, 0x12}},
        {lib::systemColour(lib::scButtonFace), {192, 192, 192}},
        {lib::systemColour(lib::scWindow), {255, 255, 255}},
        {lib::systemColour(lib::scButtonText), {0, 0, 0}},
        {lib::systemColour(lib::scHighlight), {0, 0, 128}},
        {0x800000FF, {0, 0, 0}},        // no such system colour
        {0x02FF0000, {0, 0, 255}},      // not a system colour: top byte ignored
    };
    for (const auto& [colour, rgb] : cases)
        EXPECT_EQ(lib::split(colour), rgb) << std::hex << colour;
    EXPECT_EQ(lib::systemColour(lib::scButtonFace), 0x8000000Fu);
    EXPECT_EQ(lib::join({-20, 300, 128}), 0x80FF00u);
}

TEST(ColourArithmetic, GradientColourRunsFromFirstToSecondWithTruncatingDivision)
{
    struct Case {
        int position, length;
        std::uint32_t c1, c2, expected;
    };
    const Case cases[] = {
        {0, 50, 0x0000FF, 0x000080, 0x0000FF},      // position 0: c1
        {50, 50, 0x0000FF, 0x000080, 0x000080},     // position = length: c2
        {1, 3, 0x000064, 0x000000, 0x000043},       // 100 − 100/3 = 67: towards zero, not floor
        {1, 3, 0x000000, 0x000064, 0x000021},
        {25, 50, 0xFFFFFF, 0x808080, 0xC0C0C0},     // 255 − 63.5 truncated
        {100, 50, 0x000080, 0x0000FF, 0x0000FF},    // past the end: clamped
        {-50, 50, 0x000080, 0x0000FF, 0x000001},
        {5, 0, 0x112233, 0x445566, 0x112233},       // no length: c1, no division by zero
        {0, 10, lib::systemColour(lib::scButtonFace), 0, 0xC0C0C0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lib::gradientColour(c.position, c.length, c.c1, c.c2), c.expected)
            << c.position << "/" << c.length;
}

TEST(ColourArithmetic, LighterDarkerAndTransformClampEveryChannel)
{
    EXPECT_EQ(lib::lighter(0xF08010, 32), 0xFFA030u);
    EXPECT_EQ(lib::darker(0xF08010, 32), 0xD06000u);
    EXPECT_EQ(lib::lighter(0x000000, 0, 0x2000FF), 0x02000Fu);   // tint / 16 per channel
    EXPECT_EQ(lib::darker(0x404040, 16, 0xFF0000), 0x3F3030u);
    EXPECT_EQ(lib::transform(0x656464, 0, 0, 0.5), 0x333232u);    // 50.5 rounds up
    EXPECT_EQ(lib::transform(0x000000, 0, 0x000002, 1.0), 0x000001u);  // tint / 4 before rounding
    EXPECT_EQ(lib::transform(0x808080, 200, 0, 1.5), 0xFFFFFFu);
    EXPECT_EQ(lib::disabledColour(lib::systemColour(lib::scButtonFace)), 0x6C6C6Cu);
    EXPECT_EQ(lib::disabledColour(0x4060FF), 0x000CABu);
    EXPECT_EQ(lib::automaticGradient(lib::systemColour(lib::scButtonFace)),
              (lib::GradientColours{0xFFFFFF, 0x808080}));
}

TEST(ColourArithmetic, ContrastTextIsBlackOnLightAndWhiteOnDark)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0xFFFFFF, 0x000000}, {0x800000, 0xFFFFFF},   // white, navy
        {0x000000, 0xFFFFFF}, {0x00FFFF, 0x000000},   // black, yellow
        {0x787878, 0x000000}, {0x777777, 0xFFFFFF},   // 120 exactly is light
        {0x0000FF, 0xFFFFFF},                         // pure red: 76.5
        {lib::systemColour(lib::scButtonFace), 0x000000},
    };
    for (const auto& [colour, text] : cases)
        EXPECT_EQ(lib::contrastText(colour), text) << std::hex << colour;
}

TEST(ColourArithmetic, OnlyLightTextColoursAreDarkenedForWhite)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x00FFFF, 0x009F9F},  // yellow
        {0xFFFF00, 0x9F9F00},  // cyan
        {0xFF00FF, 0xFF00FF},  // magenta stays
        {0x0000FF, 0x0000FF},  // red stays
        {0x000000, 0x000000},
    };
    for (const auto& [colour, text] : cases)
        EXPECT_EQ(lib::readableOnWhite(colour), text) << std::hex << colour;
}

// Twice the signed area of a polygon.
long long doubleArea(const std::vector<lib::GradientPoint>& polygon)
{
    long long sum = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const auto& p = polygon[i];
        const auto& q = polygon[(i + 1) % polygon.size()];
        sum += static_cast<long long>(p.x) * q.y - static_cast<long long>(q.x) * p.y;
    }
    return sum < 0 ? -sum : sum;
}

TEST(GradientPlan, StraightBandsAreFourPixelsOrTwoOnSmallRectangles)
{
    struct Case {
        GradientRect rect;
        GradientType type;
        std::size_t bands;
        int bandSize, lastSize;
    };
    const Case cases[] = {
        {{10, 20, 100, 59}, GradientType::vertical, 30, 2, 1},
        {{10, 20, 100, 60}, GradientType::vertical, 15, 4, 4},
        {{10, 20, 100, 62}, GradientType::vertical, 16, 4, 2},
        {{0, 0, 159, 10}, GradientType::horizontal, 80, 2, 1},
        {{0, 0, 160, 10}, GradientType::horizontal, 40, 4, 4},
        {{0, 0, 1, 1}, GradientType::horizontal, 1, 1, 1},
    };
    const std::uint32_t c1 = 0x0000FF, c2 = 0x000080;
    for (const auto& c : cases) {
        const bool alongY = c.type == GradientType::vertical;
        const std::vector<GradientBand> plan = lib::gradientPlan(c.rect, c.type, c1, c2);
        ASSERT_EQ(plan.size(), c.bands) << c.rect.width << "x" << c.rect.height;
        const int length = alongY ? c.rect.height : c.rect.width;
        int next = alongY ? c.rect.top : c.rect.left;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const GradientRect& r = plan[i].rect;
            EXPECT_TRUE(plan[i].polygon.empty());
            const int start = alongY ? r.top : r.left;
            const int size = alongY ? r.height : r.width;
            EXPECT_EQ(start, next) << "band " << i;
            EXPECT_EQ(size, i + 1 == plan.size() ? c.lastSize : c.bandSize) << "band " << i;
            EXPECT_EQ(alongY ? r.width : r.height, alongY ? c.rect.width : c.rect.height);
            EXPECT_EQ(alongY ? r.left : r.top, alongY ? c.rect.left : c.rect.top);
            EXPECT_EQ(plan[i].colour, lib::gradientColour(start - (alongY ? c.rect.top : c.rect.left), length, c1, c2));
            next = start + size;
        }
        EXPECT_EQ(next, (alongY ? c.rect.top : c.rect.left) + length);
        EXPECT_EQ(plan.front().colour, c1);
    }
}

TEST(GradientPlan, DiagonalStripsTileTheRectangleFromTheirStartingCorner)
{
    struct Case {
        GradientRect rect;
        GradientType type;
        std::size_t bands;
        lib::GradientPoint corner;  // of the first strip, a triangle
    };
    const Case cases[] = {
        {{5, 7, 100, 25}, GradientType::diagonal1, 63, {5, 7}},     // 125 < 160: strips of 2
        {{5, 7, 100, 25}, GradientType::diagonal2, 63, {105, 7}},
        {{0, 0, 120, 40}, GradientType::diagonal1, 40, {0, 0}},     // 160: strips of 4
        {{0, 0, 30, 300}, GradientType::diagonal2, 83, {30, 0}},
    };
    for (const auto& c : cases) {
        const std::vector<GradientBand> plan = lib::gradientPlan(c.rect, c.type, 0xFFFFFF, 0x808080);
        ASSERT_EQ(plan.size(), c.bands) << c.rect.width << "x" << c.rect.height;
        long long area = 0;
        for (const GradientBand& band : plan) {
            ASSERT_GE(band.polygon.size(), 3u);
            area += doubleArea(band.polygon);
            for (const auto& p : band.polygon) {
                EXPECT_GE(p.x, c.rect.left);
                EXPECT_LE(p.x, c.rect.left + c.rect.width);
                EXPECT_GE(p.y, c.rect.top);
                EXPECT_LE(p.y, c.rect.top + c.rect.height);
            }
        }
        EXPECT_EQ(area, 2LL * c.rect.width * c.rect.height);
        EXPECT_EQ(plan.front().polygon.size(), 3u);
        EXPECT_NE(std::find(plan.front().polygon.begin(), plan.front().polygon.end(), c.corner),
                  plan.front().polygon.end());
        EXPECT_EQ(plan.front().colour, 0xFFFFFFu);
        for (std::size_t i = 1; i < plan.size(); ++i)
            EXPECT_LE(plan[i].colour & 0xFF, plan[i - 1].colour & 0xFF) << "darkening towards c2";
        EXPECT_GT(plan.back().colour & 0xFF, 0x80u);
    }
}

TEST(GradientPlan, NoneIsOneBandAndAnEmptyRectangleNothing)
{
    const auto plan = lib::gradientPlan({1, 2, 30, 40}, GradientType::none, lib::systemColour(lib::scButtonFace), 0);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].rect, (GradientRect{1, 2, 30, 40}));
    EXPECT_EQ(plan[0].colour, 0xC0C0C0u);
    for (GradientType type : {GradientType::vertical, GradientType::diagonal1, GradientType::none}) {
        EXPECT_TRUE(lib::gradientPlan({0, 0, 0, 10}, type, 0, 0).empty());
        EXPECT_TRUE(lib::gradientPlan({0, 0, 10, -1}, type, 0, 0).empty());
    }
}

} // namespace
