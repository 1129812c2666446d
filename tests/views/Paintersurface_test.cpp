#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"
#include "views/Paintersurface.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t curveRed = 0x0000FF;   // red in the low byte
constexpr std::uint32_t gasBlue = 0xFF0000;
constexpr std::uint32_t background = 0xFFFFFF;

// One peak of a live chromatogram rendered into an image as the main window would paint it.
class PainterSurfaceTest : public ::testing::Test {
protected:
    PainterSurfaceTest() : image(600, 400, QImage::Format_RGB32)
    {
        style.samplesPerSecond = 10;
        style.screenSeconds = 10;
        style.curveColour = curveRed;
        style.curveWidth = 2;
        style.gasLabels = {"C1"};
        style.fontName = "DejaVu Sans";
        std::vector<double> values(100, 0.2);
        for (int j = 20; j <= 60; ++j)
            values[static_cast<std::size_t>(j)] = 0.2 + 3.0 * std::exp(-std::pow((j - 40) / 8.0, 2));
        CurvePoints samples;
        for (const double v : values)
            samples.push_back(CurvePoint{0, v, 0, 0});
        curve.setSamples(samples);
        curve.setPointCount(100);
        curve.setBackgroundColour(background);
        GazArea mark;
        mark.colour = gasBlue;
        mark.firstIndex = 20;
        mark.lastIndex = 60;
        mark.hasResult = true;
        curve.setMarks({mark});

        image.fill(Qt::black);
        QPainter painter(&image);
        PainterSurface surface(painter);
        drawing.emplace(curve, surface, style);
        drawing->draw({0, 0, 600, 400}, true, false);
    }
    QColor at(int x, int y) const { return image.pixelColor(x, y); }

    ChromatogramDrawing::Style style;
    MyGraphics curve;
    QImage image;
    std::optional<ChromatogramDrawing> drawing;
};

TEST_F(PainterSurfaceTest, CurveHatchAndBackgroundHaveTheirColours)
{
    // On the curve, away from the peak: the curve's colour.
    const int x = drawing->indexToX(80);
    const int y = drawing->valueToY(0.2);
    bool curveFound = false;
    for (int dy = -2; dy <= 2; ++dy)
        curveFound |= at(x, y + dy) == PainterSurface::colour(curveRed);
    EXPECT_TRUE(curveFound) << "no curve colour near " << x << "," << y;

    // Inside the peak, between chord and curve: hatch lines of the gas's colour on background.
    const int peakX = drawing->indexToX(40);
    const int top = drawing->valueToY(3.2);
    const int chord = drawing->valueToY(0.2);
    int hatch = 0;
    int other = 0;
    for (int px = peakX - 10; px <= peakX + 10; ++px)
        for (int py = top + 20; py < chord - 5; ++py) {
            const QColor c = at(px, py);
            if (c == PainterSurface::colour(gasBlue))
                ++hatch;
            else if (c != PainterSurface::colour(background))
                ++other;
        }
    EXPECT_GT(hatch, 20) << "hatch lines inside the peak";
    EXPECT_EQ(other, 0) << "only hatch and background inside the peak";

    // Above the plot's top-right corner region, away from everything: background.
    EXPECT_EQ(at(590, 390), PainterSurface::colour(background));
    EXPECT_EQ(at(300, 200 + 150), PainterSurface::colour(background)) << "below the curve, above the axis";
}

// A rectangle covers right − left pixels across, its outline included, so a picture stays in
// its cell; one without width or height draws nothing.
TEST(PainterSurface, ARectangleCoversItsWidthAndHeightAndNoMore)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterSurface surface(painter);
        surface.setPen(0x000000, 1, Surface::PenStyle::solid);
        surface.setBrush(0x0000FF, Surface::BrushStyle::solid);
        surface.fillRect({5, 5, 15, 15});
        surface.frameRect({0, 0, 4, 4});
        surface.fillRect({17, 17, 17, 19});
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    EXPECT_EQ(image.pixelColor(5, 5), black);
    EXPECT_EQ(image.pixelColor(14, 14), black);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(15, 10), white);
    EXPECT_EQ(image.pixelColor(10, 15), white);
    EXPECT_EQ(image.pixelColor(3, 3), black);
    EXPECT_EQ(image.pixelColor(4, 2), white);
    EXPECT_EQ(image.pixelColor(17, 17), white) << "no width";
}

// A tall peak is hatched in bands; the picture is the one a single fill gives, outline included.
TEST(PainterSurface, ATallHatchedPeakLooksAsOneFill)
{
    const std::vector<Surface::Point> peak{{20, 380}, {60, 20}, {100, 380}};
    QImage banded(120, 400, QImage::Format_RGB32);
    QImage whole(120, 400, QImage::Format_RGB32);
    banded.fill(Qt::white);
    whole.fill(Qt::white);
    {
        QPainter painter(&banded);
        PainterSurface surface(painter);
        surface.setPen(gasBlue, 2, Surface::PenStyle::solid);
        surface.setBrush(gasBlue, Surface::BrushStyle::diagonalCross);
        surface.hatchedPolygon(peak, background);
    }
    {
        QPainter painter(&whole);
        const QPolygon shape{QPoint(20, 380), QPoint(60, 20), QPoint(100, 380)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(shape);
        QPen pen(PainterSurface::colour(gasBlue), 2);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(QBrush(PainterSurface::colour(gasBlue), Qt::DiagCrossPattern));
        painter.drawPolygon(shape);
    }
    EXPECT_EQ(banded, whole);
}

TEST(PainterSurface, ColoursHaveRedInTheLowByte)
{
    EXPECT_EQ(PainterSurface::colour(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(PainterSurface::colour(0x123456), QColor(0x56, 0x34, 0x12));
}

} // namespace
