#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Printexpansion.h"
#include "testsupport/Recordingsurface.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using ::testing::ElementsAre;
using Kind = RecordingSurface::Kind;

CurvePoints points(const std::vector<double>& values, std::int32_t firstSecond = 1)
{
    CurvePoints samples;
    for (std::size_t i = 0; i < values.size(); ++i)
        samples.push_back(CurvePoint{0, values[i], firstSecond + static_cast<std::int32_t>(i), 0});
    return samples;
}

GazArea mark(std::int32_t first, std::int32_t last, bool result = false)
{
    GazArea m;
    m.colour = 0x0000FF;
    m.firstIndex = first;
    m.lastIndex = last;
    m.hasResult = result;
    m.peakMaximum = 3;
    m.resultText = result ? " 1,5% " : "";
    return m;
}

// A history entry as the history keeps it.
MyGraphics archiveCopy(const std::vector<double>& values, std::vector<GazArea> marks)
{
    MyGraphics copy;
    copy.setSamples(points(values));
    copy.setPointCount(static_cast<std::int32_t>(values.size()));
    copy.setMarks(std::move(marks));
    copy.setArchived(true);
    copy.setTitle("9:05, 1234,50");
    copy.setBackgroundColour(0x303030);
    return copy;
}

TEST(PrintExpansion, FillsEveryPairWithStraightStepsCarryingTheLaterSecond)
{
    const MyGraphics copy = archiveCopy({0, 4, 2}, {mark(-1, 5), mark(3, 9), mark(2, 2)});
    const MyGraphics printed = PrintExpansion::expand(copy, 8);  // s = 4

    std::vector<double> values;
    std::vector<std::int32_t> seconds;
    for (const CurvePoint& p : printed.samples()) {
        values.push_back(p.value);
        seconds.push_back(p.second);
    }
    EXPECT_THAT(values, ElementsAre(0, 1, 2, 3, 4, 3.5, 3, 2.5));
    EXPECT_THAT(seconds, ElementsAre(2, 2, 2, 2, 3, 3, 3, 3));
    EXPECT_EQ(printed.pointCount(), 8);

    ASSERT_EQ(printed.marks().size(), 3u);
    const std::vector<std::pair<int, int>> expected{{0, 16}, {16, 32}, {12, 4}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(printed.marks()[i].firstIndex, expected[i].first) << i;
        EXPECT_EQ(printed.marks()[i].lastIndex, expected[i].second) << i;
        EXPECT_EQ(printed.marks()[i].colour, copy.marks()[i].colour);
    }
    // Drawn as a live curve: no archive layout, no title box over the page, no results box.
    EXPECT_FALSE(printed.archived());
    EXPECT_TRUE(printed.title().empty());
    EXPECT_EQ(printed.results(), nullptr);
}

TEST(PrintExpansion, PointsPerPairFollowTheRate)
{
    const struct {
        std::int32_t rate;
        std::int32_t perPair;
    } cases[] = {{1, 1}, {2, 1}, {3, 1}, {8, 4}, {9, 4}, {0, 1}, {-6, 1}};
    for (const auto& c : cases) {
        const MyGraphics printed = PrintExpansion::expand(archiveCopy({1, 2, 3, 4}, {}), c.rate);
        EXPECT_EQ(printed.pointCount(), 3 * c.perPair) << c.rate;
        EXPECT_EQ(printed.sampleCount(), static_cast<std::size_t>(3 * c.perPair)) << c.rate;
    }
}

TEST(PrintExpansion, ACopyOfFewerThanTwoPointsGivesAnEmptyCurve)
{
    for (const std::vector<double>& values : {std::vector<double>{}, std::vector<double>{5}}) {
        const MyGraphics printed = PrintExpansion::expand(archiveCopy(values, {mark(1, 3)}), 8);
        EXPECT_EQ(printed.pointCount(), 0) << values.size();
        EXPECT_EQ(printed.sampleCount(), 0u) << values.size();
        ASSERT_EQ(printed.marks().size(), 1u);
        EXPECT_EQ(printed.marks()[0].firstIndex, 8);
        EXPECT_EQ(printed.marks()[0].lastIndex, 8);
    }
}

// History files come from disk: indices near the ends of int32 stay there instead of wrapping.
TEST(PrintExpansion, MarkIndicesFromADamagedFileStayAtTheEndsOfTheirRange)
{
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
    const MyGraphics printed = PrintExpansion::expand(archiveCopy({1, 2}, {mark(lowest, highest), mark(highest, lowest)}), 8);
    ASSERT_EQ(printed.marks().size(), 2u);
    EXPECT_EQ(printed.marks()[0].firstIndex, lowest);
    EXPECT_EQ(printed.marks()[0].lastIndex, highest);
    EXPECT_EQ(printed.marks()[1].firstIndex, highest);
    EXPECT_EQ(printed.marks()[1].lastIndex, lowest);
}

TEST(PrintExpansion, AnAbsurdRateIsLoweredSoTheCurveStaysPrintable)
{
    const MyGraphics printed = PrintExpansion::expand(archiveCopy({0, 1, 2}, {mark(1, 2)}), std::numeric_limits<std::int32_t>::max());
    const std::int32_t s = PrintExpansion::pointsPerPair(std::numeric_limits<std::int32_t>::max(), 3);
    EXPECT_EQ(s, PrintExpansion::maxPoints / 2);
    EXPECT_EQ(printed.pointCount(), 2 * s);
    EXPECT_EQ(printed.marks()[0].firstIndex, 2 * s) << "the marks use the lowered rate too";
    EXPECT_DOUBLE_EQ(printed.samples()[static_cast<std::size_t>(s) / 2].value, 0.5);
}

// The point of the expansion: the page draws the entry as the display draws a live curve, with
// its window, its hatched peak and its concentration label.
TEST(PrintExpansion, TheExpandedEntryIsDrawnWithItsWindowHatchAndLabel)
{
    // A peak over copy points 4 … 8 on a 1 mV baseline; the window marks 3 … 9.
    const MyGraphics copy = archiveCopy({1, 1, 1, 1, 1, 2, 4, 2, 1, 1, 1, 1}, {mark(3, 9, true)});
    MyGraphics printed = PrintExpansion::expand(copy, 8);
    ChromatogramDrawing::Style style;
    style.samplesPerSecond = 8;
    style.screenSeconds = 6;
    style.gasLabels = {"C1"};
    RecordingSurface surface;
    ChromatogramDrawing drawing(printed, surface, style);
    drawing.draw({0, 0, 800, 500}, true, true);

    const auto hatches = surface.callsOf(Kind::hatchedPolygon);
    ASSERT_EQ(hatches.size(), 1u);
    EXPECT_EQ(hatches[0].points.front().x, drawing.indexToX(16));
    EXPECT_EQ(hatches[0].points.back().x, drawing.indexToX(32));
    std::vector<std::string> texts;
    for (const auto& call : surface.callsOf(Kind::text))
        texts.push_back(call.text);
    EXPECT_THAT(texts, ::testing::IsSupersetOf({"C1", " 1,5% ", "U, мВ"}));
    EXPECT_THAT(texts, ::testing::Not(::testing::Contains("9:05, 1234,50")));
}

} // namespace
