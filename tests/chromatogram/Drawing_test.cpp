#include "analysis/Gazopts.h"
#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Simplegraphics.h"
#include "library/Lockobject.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingsurface.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

using Kind = RecordingSurface::Kind;

TEST(ChromatogramScale, AutomaticMaximumIsTheNextNiceValue)
{
    const struct {
        std::vector<double> samples;
        double expected;
    } cases[] = {
        {{}, 1.0},                 // an empty curve: 0 … 1 mV
        {{0.1, 0.3, 0.2}, 0.4},
        {{3.0}, 4.0},
        {{0.02}, 0.05},
        {{0.001}, 0.05},           // the smallest nice value
        {{0.4}, 0.4},              // a nice value is kept
        {{9'000'000}, 10'000'000},
        {{12'000'000}, 12'000'000},  // beyond the largest it stays
    };
    for (const auto& c : cases) {
        MyGraphics curve;
        CurvePoints samples;
        for (const double v : c.samples)
            samples.push_back(CurvePoint{0, v, 0, 0});
        curve.setSamples(samples);
        curve.updateAutoMaximum();
        EXPECT_DOUBLE_EQ(curve.range().maximum, c.expected) << (c.samples.empty() ? -1 : c.samples[0]);
    }
    EXPECT_EQ(MyGraphics::niceScaleValues().size(), 42u);
}

TEST(ChromatogramScale, ZoomStopsAtItsBoundsAndAutomaticComesBack)
{
    MyGraphics curve;
    curve.setSamples(CurvePoints{CurvePoint{0, 0.3, 0, 0}});
    curve.updateAutoMaximum();
    std::vector<double> maxima;
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(curve.zoomIn());
        maxima.push_back(curve.range().maximum);
    }
    EXPECT_THAT(maxima, ::testing::ElementsAre(::testing::DoubleNear(0.04, 1e-12), ::testing::DoubleNear(0.004, 1e-12),
                                               ::testing::DoubleNear(0.0004, 1e-12)));
    EXPECT_FALSE(curve.zoomIn()) << "0.00004 is below the smallest maximum";
    EXPECT_NEAR(curve.range().maximum, 0.0004, 1e-12);
    EXPECT_FALSE(curve.automatic());

    curve.automaticRange();
    EXPECT_TRUE(curve.automatic());
    EXPECT_DOUBLE_EQ(curve.range().maximum, 0.4);
    curve.setManualRange(0, 5000);
    EXPECT_FALSE(curve.zoomOut()) << "50 000 is above the largest maximum";
    curve.setManualRange(2, 100);
    ASSERT_TRUE(curve.zoomOut());
    EXPECT_EQ(curve.range(), (MyGraphics::SignalRange{0, 1000})) << "a zoom starts the axis at 0 again";
}

// The page may be hidden while samples come: a zoom still starts from what they reach.
TEST(ChromatogramScale, AZoomOnACurveNotYetDrawnStartsFromItsSamples)
{
    MyGraphics curve;
    curve.setSamples(CurvePoints{CurvePoint{0, 3.0, 0, 0}});
    ASSERT_TRUE(curve.zoomIn());
    EXPECT_DOUBLE_EQ(curve.range().maximum, 0.4);
    EXPECT_FALSE(curve.automatic());
}

TEST(SimpleGraphics, ContrastAndLightenedColours)
{
    EXPECT_EQ(simplegraphics::contrastColour(0xFFFFFF), 0x000000u);
    EXPECT_EQ(simplegraphics::contrastColour(0x000000), 0xFFFFFFu);
    EXPECT_EQ(simplegraphics::contrastColour(0x0000FF), 0xFFFFFFu);  // red: 0.3 × 255 < 120
    EXPECT_EQ(simplegraphics::contrastColour(0x00FF00), 0x000000u);  // green: 0.5 × 255 ≥ 120
    EXPECT_EQ(simplegraphics::contrastColour(0xFF0000), 0xFFFFFFu);  // blue: 0.2 × 255
    EXPECT_EQ(simplegraphics::lightenColour(0x102030, 210), 0xE2F2FFu);  // red 0x30 + 210 stops at 255
    EXPECT_EQ(simplegraphics::lightenColour(0x0000FF, 210), 0xD2D2FFu);
}

TEST(SimpleGraphics, LongPolylinesAreSplitWithoutABreak)
{
    std::vector<Surface::Point> points;
    for (int i = 0; i < 10000; ++i)
        points.push_back({i, i % 7});
    RecordingSurface surface;
    simplegraphics::drawPolyline(surface, points);
    const auto lines = surface.callsOf(Kind::polyline);
    ASSERT_EQ(lines.size(), 3u);
    std::size_t drawn = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_LE(lines[k].points.size(), simplegraphics::maxPolylinePoints);
        if (k > 0) {
            EXPECT_EQ(lines[k].points.front(), lines[k - 1].points.back()) << "unbroken at " << k;
        }
        drawn += lines[k].points.size();
    }
    EXPECT_EQ(drawn, points.size() + lines.size() - 1);
    EXPECT_EQ(lines.back().points.back(), points.back());

    RecordingSurface one;
    simplegraphics::drawPolyline(one, std::span(points).first(4095));
    EXPECT_EQ(one.callsOf(Kind::polyline).size(), 1u);
}

// A live curve of 10 s at 10 samples a second in a 600 × 400 area, two gases.
class DrawingTest : public ::testing::Test {
protected:
    DrawingTest()
    {
        style.samplesPerSecond = 10;
        style.screenSeconds = 10;
        style.valueLines = 4;
        style.gridSeconds = 2;
        style.gasLabels = {"C1", "C2"};
        curve.setPointCount(style.samplesPerSecond * style.screenSeconds);
        curve.setFrameColour(0x111111);
        curve.setBackgroundColour(0xFFFFFF);
    }
    void setSamples(const std::vector<double>& values)
    {
        CurvePoints samples;
        for (std::size_t i = 0; i < values.size(); ++i)
            samples.push_back(CurvePoint{0, values[i], static_cast<std::int32_t>(i / 10), 0});
        curve.setSamples(samples);
    }
    GazArea mark(std::uint32_t colour, int first, int last, bool result, double peak = 0, std::string text = "")
    {
        GazArea m;
        m.colour = colour;
        m.firstIndex = first;
        m.lastIndex = last;
        m.hasResult = result;
        m.peakMaximum = peak;
        m.resultText = std::move(text);
        return m;
    }
    ChromatogramDrawing draw(bool shadePeaks = true)
    {
        ChromatogramDrawing drawing(curve, surface, style);
        drawing.draw(area, shadePeaks, false);
        return drawing;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> found;
        for (const auto& call : surface.callsOf(Kind::text))
            found.push_back(call.text);
        return found;
    }

    test::DecimalSeparatorScope separator{','};
    ChromatogramDrawing::Style style;
    lib::lock_object bufferLock;
    MyGraphics curve;
    RecordingSurface surface;
    Surface::Rect area{0, 0, 600, 400};
};

TEST_F(DrawingTest, EmptyCurveHasFrameGridAndCaptionsFromZeroToOneMillivolt)
{
    draw();
    EXPECT_DOUBLE_EQ(curve.layout().minimum, 0);
    EXPECT_DOUBLE_EQ(curve.layout().maximum, 1);
    // u = 12 / 3; the plot starts right of the value labels ("#####").
    const PlotLayout& l = curve.layout();
    EXPECT_EQ(l.unit, 4);
    EXPECT_EQ(l.plotLeft, 2 * 4 + 5 * RecordingSurface::charWidth);
    EXPECT_EQ(l.plotRight, 600 - 4);
    EXPECT_EQ(l.plotBottom, 400 - 13 * 4 + 4);
    EXPECT_THAT(texts(), ::testing::IsSupersetOf({" 0,25", " 0,5", " 0,75", " 1", "2", "4", "6", "8", "Время, с ", "U, мВ"}));
    EXPECT_THAT(texts(), ::testing::Not(::testing::Contains("10"))) << "no number at the axis end";
    // 4 value lines, 6 time lines (0 … 10 s by 2), 4 frame edges, 4 arrow strokes.
    EXPECT_EQ(surface.callsOf(Kind::line).size(), 4u + 6u + 4u + 4u);
    EXPECT_TRUE(surface.callsOf(Kind::polyline).empty());
}

TEST_F(DrawingTest, OnlyThePointCountIsDrawnAndEqualPointsAreDropped)
{
    std::vector<double> values(250, 0.5);  // 25 s, longer than the screen
    values[50] = 0.7;
    setSamples(values);
    const ChromatogramDrawing drawing = draw();
    const auto lines = surface.callsOf(Kind::polyline);
    ASSERT_EQ(lines.size(), 1u);
    const auto& points = lines[0].points;
    for (std::size_t k = 1; k < points.size(); ++k)
        EXPECT_NE(points[k], points[k - 1]);
    EXPECT_EQ(points.back().x, drawing.indexToX(99)) << "cut at the screen's end";
    EXPECT_EQ(points.front().y, drawing.valueToY(0.5));
    EXPECT_DOUBLE_EQ(curve.layout().maximum, 0.8);
}

TEST_F(DrawingTest, PeaksAreHatchedAboveTheirChordAndLabelledOverTheirMaximum)
{
    // A triangle from sample 20 to 40 with its top of 4 mV at 30, on a baseline of 1 mV.
    std::vector<double> values(100, 1.0);
    for (int j = 20; j <= 40; ++j)
        values[static_cast<std::size_t>(j)] = 1.0 + 3.0 * (1.0 - std::abs(j - 30) / 10.0);
    setSamples(values);
    // The label's maximum is lower than the peak's, so the label stays clear of the plot's top.
    curve.setMarks({mark(0x0000FF, 20, 40, true, 2.5, " 1,5% "), mark(0x00FF00, -1, 10, true, 1.0, " 0% ")});
    const ChromatogramDrawing drawing = draw();

    const auto hatches = surface.callsOf(Kind::hatchedPolygon);
    ASSERT_EQ(hatches.size(), 1u) << "the window starting at -1 has no hatch";
    const int chordY = drawing.valueToY(1.0);
    for (const auto& p : hatches[0].points)
        EXPECT_LT(p.y, chordY) << "at x " << p.x;
    EXPECT_EQ(hatches[0].points.front().x, drawing.indexToX(20));
    EXPECT_EQ(hatches[0].points.back().x, drawing.indexToX(40));
    EXPECT_EQ(hatches[0].brush.style, Surface::BrushStyle::diagonalCross);
    EXPECT_EQ(hatches[0].pen.width, 2) << "a thin pen is doubled for the hatch";

    // The label: centred over the window, 4/3 of a line above the maximum.
    const auto label = std::find_if(surface.calls().begin(), surface.calls().end(),
                                    [](const auto& c) { return c.kind == Kind::text && c.text == " 1,5% "; });
    ASSERT_NE(label, surface.calls().end());
    const int width = 6 * RecordingSurface::charWidth;
    EXPECT_EQ(label->points[0].x, (drawing.indexToX(20) + drawing.indexToX(40) - width) / 2);
    EXPECT_EQ(label->points[0].y, drawing.valueToY(2.5) - 16);
    EXPECT_EQ(label->brush.colour, simplegraphics::lightenColour(0x0000FF, 210));
    EXPECT_THAT(texts(), ::testing::Contains("C1"));
    EXPECT_THAT(texts(), ::testing::Not(::testing::Contains("C2"))) << "no window for a mark at -1";

    // Without shading, and with the calibration window open, neither hatch nor label.
    RecordingSurface plain;
    style.resultsHidden = true;
    ChromatogramDrawing(curve, plain, style).draw(area, false, false);
    EXPECT_TRUE(plain.callsOf(Kind::hatchedPolygon).empty());
    for (const auto& call : plain.callsOf(Kind::text))
        EXPECT_NE(call.text, " 1,5% ");
}

TEST_F(DrawingTest, ResultsBoxListsTheDerivedLinesInTheirColours)
{
    setSamples(std::vector<double>(100, 1.0));
    CalculatedGazes results(3);
    results[0].description = "метан = 1,5%";  // absolute: not in the box
    results[1].description = "Сумма = 1,5%";
    results[1].derived = 1;
    results[2].description = "метан = 100%";
    results[2].derived = 1;
    results[2].colour = 0x0000FF;
    curve.buildMarks(GazOptions(bufferLock), &results, 10);  // binds the result list
    curve.setMarks({});
    draw();
    std::vector<RecordingSurface::Call> lines;
    for (const auto& call : surface.callsOf(Kind::text))
        if (call.text.find(" = ") != std::string::npos)
            lines.push_back(call);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Сумма = 1,5%");
    EXPECT_EQ(lines[0].fontColour, 0x111111u);
    EXPECT_EQ(lines[1].fontColour, 0x0000FFu);
    EXPECT_EQ(lines[1].points[0].y - lines[0].points[0].y, RecordingSurface::lineHeight + 2);
    EXPECT_EQ(lines[0].fontSize, style.fontSize + 1) << "one point larger than the curve's font";
}

TEST_F(DrawingTest, DegenerateSettingsAndRangesDrawWithoutHangingOrDividingByZero)
{
    setSamples(std::vector<double>(100, 1.0));
    style.gridSeconds = 0;
    draw();
    EXPECT_EQ(surface.callsOf(Kind::line).size(), 4u + 4u + 4u) << "no vertical grid";

    RecordingSurface flat;
    curve.setManualRange(1.0, 1.0);  // the lower handle dragged up to the upper one
    ChromatogramDrawing(curve, flat, style).draw(area, true, false);
    EXPECT_TRUE(flat.callsOf(Kind::polyline).empty()) << "drawn without the curve";
}

} // namespace
