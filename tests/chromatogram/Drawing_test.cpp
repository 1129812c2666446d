#include "chromatogram/Graphics.h"
#include "chromatogram/Simplegraphics.h"
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
        if (k > 0)
            EXPECT_EQ(lines[k].points.front(), lines[k - 1].points.back()) << "unbroken at " << k;
        drawn += lines[k].points.size();
    }
    EXPECT_EQ(drawn, points.size() + lines.size() - 1);
    EXPECT_EQ(lines.back().points.back(), points.back());

    RecordingSurface one;
    simplegraphics::drawPolyline(one, std::span(points).first(4095));
    EXPECT_EQ(one.callsOf(Kind::polyline).size(), 1u);
}

} // namespace
