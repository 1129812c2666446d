#include "chromatogram/Etalvisplot.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingsurface.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Kind = RecordingSurface::Kind;
using Point = Surface::Point;

constexpr Surface::Rect picture{0, 0, 600, 400};
constexpr int dpi = 96;

// Entries with one point per gas; gas 1 carries the given (concentration, area) pairs.
std::vector<GazEtalLine> entriesOf(const std::vector<GazEtalPoint>& second)
{
    std::vector<GazEtalLine> entries;
    for (const GazEtalPoint& p : second) {
        GazEtalLine& line = entries.emplace_back();
        line.repeats = 3;
        line.points = {{1, 1}, p, {0, 0}};
    }
    return entries;
}

std::vector<std::string> textsOf(const RecordingSurface& surface, std::uint32_t fontColour)
{
    std::vector<std::string> texts;
    for (const auto& call : surface.callsOf(Kind::text))
        if (call.fontColour == fontColour)
            texts.push_back(call.text);
    return texts;
}

class EtalVisPlotTest : public ::testing::Test {
protected:
    EtalVisPlot drawnPlot(std::vector<GazEtalLine> entries, double degassing = 1.0)
    {
        EtalVisPlot plot(std::move(entries), degassing);
        plot.setGas(1);
        plot.draw(surface, picture, dpi);
        return plot;
    }
    test::DecimalSeparatorScope separator{'.'};
    RecordingSurface surface;
};

TEST(EtalVisAxis, EndsAtTheFirstDecadeAboveTheLargestValue)
{
    const struct {
        double largest;
        int endExponent;
    } cases[] = {
        {0.5, 0},       {1.0, 1},       {99.0, 2},      {100.0, 3},     {0.0123, -1},
        {1e-04, -3},    {999999, 6},    {1e6, 6},       {5e7, 6},       // 1e+06 at most
        // An end at or below the start would give the axis no length: one decade is kept.
        {0, -4},        {-3, -4},       {5e-08, -4},    {5e-06, -4},    {1e-05, -4},    {3e-05, -4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EtalVisPlot::endExponentFor(c.largest), c.endExponent) << c.largest;
}

TEST(EtalVisAxis, MapsLogarithmicallyBothWaysAndUpwardsForAreas)
{
    // Eight decades over 800 pixels: 100 pixels a decade.
    const EtalVisPlot::Axis across{3, 100, 900};
    EXPECT_EQ(across.pixel(1e-05), 100);
    EXPECT_EQ(across.pixel(1.0), 600);
    EXPECT_EQ(across.pixel(10.0), 700);
    EXPECT_EQ(across.pixel(1000.0), 900);
    EXPECT_EQ(across.pixel(2.0), 630);  // log10 2 = 0.301
    const EtalVisPlot::Axis upwards{3, 500, 100};
    EXPECT_EQ(upwards.pixel(1e-05), 500);
    EXPECT_EQ(upwards.pixel(1.0), 250);
    EXPECT_EQ(upwards.pixel(1000.0), 100);

    for (const EtalVisPlot::Axis& axis : {across, upwards}) {
        for (int p = std::min(axis.lo, axis.hi); p <= std::max(axis.lo, axis.hi); ++p)
            ASSERT_EQ(axis.pixel(axis.value(p)), p);
        // Back within half a pixel's worth of decades.
        const double halfPixel = 0.5 * 8 / std::abs(axis.hi - axis.lo) + 1e-12;
        for (const double v : {1e-05, 3.7e-04, 0.5, 1.0, 42.0, 999.0})
            EXPECT_NEAR(std::log10(axis.value(axis.pixel(v))), std::log10(v), halfPixel) << v;
    }
    EXPECT_DOUBLE_EQ(EtalVisPlot::Axis({3, 200, 200}).value(250), 1e-05) << "an axis without length";
}

TEST_F(EtalVisPlotTest, LeavesTheMarginsForLabelsAndTitles)
{
    const EtalVisPlot plot = drawnPlot(entriesOf({{2, 50}}));
    // "  000.1  " is 9 characters of 6 pixels, " ##### " 7, a text 12 pixels high.
    EXPECT_EQ(plot.plotRect(), (Surface::Rect{54, 18, 600 - 42, 400 - 14}));
    const auto fills = surface.callsOf(Kind::fillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(surface.calls().front().kind, Kind::fillRect);
    EXPECT_EQ(fills.front().brush.colour, EtalVisPlot::background);
    EXPECT_EQ(fills.front().points, (std::vector<Point>{{0, 0}, {600, 400}}));

    // Concentration 2 → axis to 10 (six decades), area 50 → to 100 (seven decades).
    EXPECT_EQ(plot.horizontal().endExponent, 1);
    EXPECT_EQ(plot.vertical().endExponent, 2);
    EXPECT_THAT(textsOf(surface, EtalVisPlot::labelBlack),
                ::testing::IsSupersetOf({"0.00001", "0.0001", "0.001", "0.01", "0.1", "1", "10", "100"}));
    const auto titles = textsOf(surface, EtalVisPlot::titleGreen);
    EXPECT_THAT(titles, ::testing::ElementsAre("Конц.", "Площ."));
    for (const auto& call : surface.callsOf(Kind::text)) {
        const Point at = call.points.front();
        if (call.text == "Конц.") {
            EXPECT_GT(at.x, plot.plotRect().right);
            EXPECT_LE(at.y + RecordingSurface::lineHeight, plot.plotRect().bottom);
        } else if (call.text == "Площ.") {
            EXPECT_EQ(at.x, plot.plotRect().left);
            EXPECT_LE(at.y + RecordingSurface::lineHeight, plot.plotRect().top);
            EXPECT_GE(at.y, 0);
        } else if (call.text == "100") {  // the top area label, left of the plot
            EXPECT_LT(at.x + surface.textWidth("100"), plot.plotRect().left);
            EXPECT_EQ(at.y, plot.plotRect().top - RecordingSurface::lineHeight / 2);
        }
    }
}

// Axis labels and titles, in a roomy and a cramped picture, with the widest axes.
TEST(EtalVisPlotLabels, NeverOverlapAndStayInThePicture)
{
    const test::DecimalSeparatorScope separator{'.'};
    const Surface::Rect areas[] = {{0, 0, 600, 400}, {10, 20, 250, 140}, {0, 0, 1200, 900}};
    for (const Surface::Rect& area : areas) {
        for (const double largest : {0.5, 50.0, 5e5}) {
            RecordingSurface surface;
            EtalVisPlot plot(entriesOf({{largest / 10, largest}, {largest, largest / 10}}), 1.0);
            plot.setGas(1);
            plot.draw(surface, area, dpi);
            std::vector<Surface::Rect> boxes;
            for (const auto& call : surface.callsOf(Kind::text)) {
                if (call.brush.colour == EtalVisPlot::valueYellow)
                    continue;
                const Point at = call.points.front();
                const Surface::Rect box{at.x, at.y, at.x + surface.textWidth(call.text), at.y + RecordingSurface::lineHeight};
                EXPECT_GE(box.left, area.left) << call.text;
                EXPECT_GE(box.top, area.top) << call.text;
                EXPECT_LE(box.right, area.right) << call.text;
                EXPECT_LE(box.bottom, area.bottom) << call.text;
                for (const Surface::Rect& other : boxes)
                    EXPECT_FALSE(box.left < other.right && other.left < box.right && box.top < other.bottom &&
                                 other.top < box.bottom)
                        << call.text << " at " << at.x << "," << at.y << " in " << area.right << " × " << area.bottom;
                boxes.push_back(box);
            }
            EXPECT_GE(boxes.size(), 6u);
        }
    }
}

TEST_F(EtalVisPlotTest, GridLinesAtEveryUnitOfEveryDecade)
{
    const EtalVisPlot plot = drawnPlot(entriesOf({{2, 50}}));
    std::vector<int> across;
    std::vector<int> upwards;
    for (const auto& call : surface.callsOf(Kind::line)) {
        EXPECT_EQ(call.pen.colour, EtalVisPlot::gridGrey);
        const Point from = call.points[0];
        const Point to = call.points[1];
        if (from.x == to.x) {
            EXPECT_EQ(from.y, plot.plotRect().top);
            EXPECT_EQ(to.y, plot.plotRect().bottom);
            across.push_back(from.x);
        } else {
            EXPECT_EQ(from.x, plot.plotRect().left);
            EXPECT_EQ(to.x, plot.plotRect().right);
            upwards.push_back(from.y);
        }
    }
    // 1 … 9 for each of six decades, then the end; seven decades upwards.
    ASSERT_EQ(across.size(), 6u * 9 + 1);
    ASSERT_EQ(upwards.size(), 7u * 9 + 1);
    EXPECT_EQ(across.front(), plot.plotRect().left);
    EXPECT_EQ(across.back(), plot.plotRect().right);
    EXPECT_EQ(across[9], plot.horizontal().pixel(1e-04));
    EXPECT_EQ(across[10], plot.horizontal().pixel(2e-04));
    EXPECT_EQ(upwards.front(), plot.plotRect().bottom);
    EXPECT_EQ(upwards.back(), plot.plotRect().top);
}

TEST_F(EtalVisPlotTest, DrawsTheFirstSixteenPositiveEntriesAsJoinedRedCircles)
{
    std::vector<GazEtalPoint> points;
    for (int i = 0; i < 20; ++i)
        points.push_back({0.1 * (i + 1), 20.0 * (i + 1)});  // area 10 × (i + 1) shown
    points[3] = {0.4, 0};     // no area
    points[5] = {0, 120};     // no concentration
    points[7] = {0.8, -160};  // below zero
    const EtalVisPlot plot = drawnPlot(entriesOf(points), 2.0);

    const std::size_t shown = 16 - 3;
    const auto circles = surface.callsOf(Kind::hatchedPolygon);
    ASSERT_EQ(circles.size(), shown);
    for (const auto& c : circles) {
        EXPECT_EQ(c.brush.colour, EtalVisPlot::pointRed);
        EXPECT_EQ(c.brush.style, Surface::BrushStyle::solid);
        const auto [low, high] = std::minmax_element(c.points.begin(), c.points.end(),
                                                     [](Point a, Point b) { return a.x < b.x; });
        EXPECT_EQ(high->x - low->x, 2 * (dpi / 20)) << "radius pixels-per-inch ÷ 20";
    }
    // The points come last: a neighbour's value must not hide one.
    EXPECT_EQ(surface.calls().back().kind, Kind::hatchedPolygon);
    const auto curve = surface.callsOf(Kind::polyline);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0].pen.colour, EtalVisPlot::pointRed);
    EXPECT_EQ(curve[0].pen.width, 2);
    ASSERT_EQ(curve[0].points.size(), shown);
    EXPECT_EQ(curve[0].points.front(), plot.pointAt(0));
    EXPECT_EQ(curve[0].points[3], plot.pointAt(4)) << "the skipped entry is left out of the line";
    EXPECT_EQ(curve[0].points.back(), plot.pointAt(15));

    std::vector<std::string> values;
    for (const auto& call : surface.callsOf(Kind::text))
        if (call.brush.colour == EtalVisPlot::valueYellow)
            values.push_back(call.text);
    ASSERT_EQ(values.size(), shown);
    EXPECT_EQ(values.front(), "10");
    EXPECT_EQ(values.back(), "160");
    EXPECT_EQ(std::count(values.begin(), values.end(), "170"), 0) << "entry 17 is not shown";
    // The axes fit the shown entries only: 160 → 1000, concentration 1.6 → 10.
    EXPECT_EQ(plot.vertical().endExponent, 3);
    EXPECT_EQ(plot.horizontal().endExponent, 1);
}

TEST_F(EtalVisPlotTest, NothingDrawableStillDrawsAnAxisOfOneDecade)
{
    std::vector<GazEtalLine> entries = entriesOf({{0, 0}, {-1, 5}});
    entries.emplace_back();  // no points at all
    EtalVisPlot plot = drawnPlot(std::move(entries));
    EXPECT_TRUE(surface.callsOf(Kind::hatchedPolygon).empty());
    EXPECT_TRUE(surface.callsOf(Kind::polyline).empty());
    EXPECT_EQ(plot.horizontal().endExponent, -4);
    EXPECT_EQ(plot.vertical().endExponent, -4);
    EXPECT_FALSE(plot.pick({100, 100}));
    EXPECT_FALSE(plot.drag({100, 100}));
}

TEST_F(EtalVisPlotTest, ValuesBeyondTheAxisEndsStayOnThePlotsEdge)
{
    const EtalVisPlot plot = drawnPlot(entriesOf({{2e-06, 5e6}, {3, 7e7}}));
    EXPECT_EQ(plot.vertical().endExponent, 6);
    EXPECT_EQ(plot.pointAt(0), (Point{plot.plotRect().left, plot.plotRect().top}));
    EXPECT_EQ(plot.pointAt(1).y, plot.plotRect().top);
    // The value beside the right-most point goes left of it rather than out of the picture.
    RecordingSurface fresh;
    EtalVisPlot right(entriesOf({{99, 123456.7}}), 1.0);
    right.setGas(1);
    right.draw(fresh, picture, dpi);
    ASSERT_GT(right.pointAt(0).x + fresh.textWidth("123456.7"), picture.right);
    for (const auto& call : fresh.callsOf(Kind::text))
        if (call.brush.colour == EtalVisPlot::valueYellow) {
            EXPECT_LE(call.points.front().x + fresh.textWidth(call.text), picture.right);
        }
}

TEST(EtalVisGrid, TextsPerEntryWithoutACoefficientForZeroAreaOrConcentration)
{
    const test::DecimalSeparatorScope separator{','};
    EtalVisPlot plot(entriesOf({{2, 50}, {0.5, 0}, {0, 30}, {1.25, 7.5}}), 2.0);
    plot.setGas(1);
    const auto columns = plot.gridColumns();
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0], (EtalVisPlot::GridColumn{"1", "2,000000", "25,00", "12,5"}));
    EXPECT_EQ(columns[1], (EtalVisPlot::GridColumn{"2", "0,500000", "0,00", "-------"}));
    EXPECT_EQ(columns[2], (EtalVisPlot::GridColumn{"3", "0,000000", "15,00", "-------"}));
    EXPECT_EQ(columns[3], (EtalVisPlot::GridColumn{"4", "1,250000", "3,75", "3,0"}));
    EXPECT_THAT(EtalVisPlot::gridRowTitles, ::testing::ElementsAre(" № ", " Конц.,% ", " Площ. ", " Коэф. "));

    // A zero degassing coefficient would divide by 0: it counts as 1. A gas beyond an entry's
    // points reads as zeros.
    EtalVisPlot undivided(entriesOf({{2, 50}}), 0.0);
    undivided.setGas(1);
    EXPECT_EQ(undivided.gridColumns()[0][2], "50,00");
    undivided.setGas(7);
    EXPECT_EQ(undivided.gridColumns()[0], (EtalVisPlot::GridColumn{"1", "0,000000", "0,00", "-------"}));
}

TEST_F(EtalVisPlotTest, PicksTheVerticallyNearestDrawnPoint)
{
    // Shown areas 1, 100, 10 000 and a zero area that sits nowhere.
    EtalVisPlot plot = drawnPlot(entriesOf({{1, 1}, {2, 100}, {3, 0}, {4, 10000}}));
    EXPECT_FALSE(EtalVisPlot(entriesOf({{1, 1}}), 1).pick({0, 0})) << "nothing before the first drawing";
    const int x = plot.plotRect().left;  // the pointer's x does not matter
    const struct {
        int y;
        std::size_t picked;
    } cases[] = {
        {plot.pointAt(0).y + 30, 0},
        {plot.pointAt(1).y - 2, 1},
        {plot.pointAt(3).y - 50, 3},
        {plot.plotRect().bottom, 0},
        {(plot.pointAt(0).y + plot.pointAt(1).y) / 2 - 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plot.pick({x, c.y}), c.picked) << c.y;
        EXPECT_EQ(plot.picked(), c.picked);
    }
    // Two points on one height: the first in programme order.
    EtalVisPlot equal = drawnPlot(entriesOf({{1, 5}, {2, 5}}));
    EXPECT_EQ(equal.pick({0, 0}), 0u);
}

TEST_F(EtalVisPlotTest, DraggingSetsTheAreaUnderThePointerTimesDegassing)
{
    EtalVisPlot plot = drawnPlot(entriesOf({{1, 20}, {2, 200}}), 2.0);  // shown 10 and 100
    const EtalVisPlot::Axis axis = plot.vertical();
    ASSERT_EQ(axis.endExponent, 3);
    ASSERT_EQ(plot.pick(plot.pointAt(0)), 0u);

    const int y = axis.pixel(50.0);
    ASSERT_TRUE(plot.drag({123, y}));
    EXPECT_DOUBLE_EQ(plot.entries()[0].points[1].area, axis.value(y) * 2.0);
    EXPECT_NEAR(plot.shownArea(0), 50.0, 50.0 * 0.03);  // within half a pixel
    EXPECT_DOUBLE_EQ(plot.entries()[0].points[1].concentration, 1) << "the concentration stays";
    EXPECT_DOUBLE_EQ(plot.entries()[1].points[1].area, 200) << "other entries stay";
    EXPECT_DOUBLE_EQ(plot.entries()[0].points[0].area, 1) << "other gases stay";

    // Above the plot the value stops at the axis end, and the axes keep their ends while the
    // point is held, so it stays under the pointer.
    ASSERT_TRUE(plot.drag({0, -500}));
    EXPECT_DOUBLE_EQ(plot.shownArea(0), 1000.0);
    plot.draw(surface, picture, dpi);
    EXPECT_EQ(plot.vertical().endExponent, 3);
    EXPECT_EQ(plot.pointAt(0).y, plot.plotRect().top);
    ASSERT_TRUE(plot.drag({0, 5000}));
    EXPECT_DOUBLE_EQ(plot.shownArea(0), 1e-05);

    plot.release();
    EXPECT_FALSE(plot.drag({0, y}));
    EXPECT_DOUBLE_EQ(plot.shownArea(0), 1e-05);
    ASSERT_TRUE(plot.pick(plot.pointAt(0)));
    plot.drag({0, -500});
    plot.release();
    plot.draw(surface, picture, dpi);
    EXPECT_EQ(plot.vertical().endExponent, 4) << "released, the axis fits the new largest value";

    plot.pick(plot.pointAt(1));
    plot.setGas(0);
    EXPECT_FALSE(plot.picked()) << "another gas drops the pick";
}

} // namespace
