#include "views/Chromatogrampanel.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "library/Lockobject.h"
#include "settings/Configuration.h"
#include "views/Paintersurface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include <gmock/gmock.h>

#include <cmath>
#include <vector>

namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;

constexpr std::uint32_t curveRed = 0x0000FF;  // red in the low byte
constexpr std::uint32_t gasBlue = 0xFF0000;
constexpr std::uint32_t frameGreen = 0x008000;

// A live curve of 10 s at 10 samples a second: a baseline of 0.1 mV and one peak of 0.3 mV
// (automatic maximum 0.4) in the window of one gas, with its result and the total.
class ChromatogramPanelTest : public ::testing::Test {
protected:
    ChromatogramPanelTest()
    {
        configuration.samplesPerSecond = 10;
        configuration.screenSeconds = 10;
        configuration.curveColor = curveRed;
        configuration.curveWidth = 2;
        configuration.verticalGrid = 4;
        configuration.horizontalGrid = 5;
        configuration.fontName = "DejaVu Sans";
        gases.Gazes.clear();
        Gaz& gas = gases.Gazes.emplace_back();
        gas.name = "метан";
        gas.label = "C1";
        gas.colour = gasBlue;
        gas.integrationStart = gas.nominalStart = 2;
        gas.integrationEnd = gas.nominalEnd = 6;

        CurvePoints samples;
        for (int j = 0; j < 100; ++j)
            samples.push_back(CurvePoint{0, 0.1 + 0.2 * std::exp(-std::pow((j - 40) / 8.0, 2)), j / 10, 0});
        curve.setSamples(samples);
        curve.setPointCount(100);
        curve.setFrameColour(frameGreen);
        results = {CalculatedGaz::absolute(gas, 1.5, 10, 0.3), CalculatedGaz::total(1.5)};
        curve.buildMarks(gases, &results, configuration.samplesPerSecond);
    }

    QAbstractButton* button(const char* name) const
    {
        auto* found = panel.findChild<QAbstractButton*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Laid out at a known size on the offscreen screen.
    void show()
    {
        panel.resize(720, 480);
        panel.show();
        QElapsedTimer waited;
        waited.start();
        while (panel.plot()->height() < 200 && waited.elapsed() < 20'000)
            QApplication::processEvents();
        ASSERT_GE(panel.plot()->height(), 200);
    }

    QImage plotImage() const { return panel.plot()->grab().toImage(); }

    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results;
    MyGraphics curve;
    ChromatogramPanel panel{curve, configuration, gases};
};

TEST_F(ChromatogramPanelTest, ZoomStepsDownToTheSmallestMaximumAndAutomaticComesBack)
{
    QAbstractButton* automatic = button("automatic");
    ASSERT_NE(automatic, nullptr);
    EXPECT_TRUE(automatic->isChecked());

    // Never drawn: the zoom starts from the curve's own automatic maximum all the same.
    std::vector<double> maxima;
    for (int step = 0; step < 4; ++step) {
        button("zoomIn")->click();
        maxima.push_back(curve.range().maximum);
    }
    EXPECT_THAT(maxima, ElementsAre(DoubleNear(0.04, 1e-12), DoubleNear(0.004, 1e-12), DoubleNear(0.0004, 1e-12),
                                    DoubleNear(0.0004, 1e-12)))
        << "the fourth step is refused";
    EXPECT_FALSE(automatic->isChecked());

    button("zoomOut")->click();
    EXPECT_NEAR(curve.range().maximum, 0.004, 1e-12);
    EXPECT_FALSE(automatic->isChecked());

    for (int click = 0; click < 2; ++click) {
        automatic->click();
        EXPECT_TRUE(curve.automatic());
        EXPECT_TRUE(automatic->isChecked()) << "pressed again after click " << click;
    }
    EXPECT_DOUBLE_EQ(curve.range().maximum, 0.4);
}

void sendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST_F(ChromatogramPanelTest, EachHandleDragsItsEndOfTheRange)
{
    const struct {
        const char* handle;
        int dy;
        double minimumShift;  // of dy × (maximum − minimum) / plot height
        double maximumShift;
        bool automaticAfter;
    } cases[] = {
        {"upperHandle", 30, 0, 1, false},
        {"upperHandle", -40, 0, 1, false},
        {"middleHandle", -30, 1, 1, false},
        {"lowerHandle", 30, 1, 0, true},
    };
    show();
    for (const auto& c : cases) {
        curve.automaticRange();
        panel.refresh();
        auto* handle = panel.findChild<QWidget*>(QLatin1String(c.handle));
        ASSERT_NE(handle, nullptr) << c.handle;
        const QPointF from(5, 10);
        const QPointF to(5, 10 + c.dy);
        sendMouse(*handle, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(*handle, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        sendMouse(*handle, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);

        const double shift = c.dy * 0.4 / panel.plot()->height();
        EXPECT_NEAR(curve.range().minimum, c.minimumShift * shift, 1e-12) << c.handle << " " << c.dy;
        EXPECT_NEAR(curve.range().maximum, 0.4 + c.maximumShift * shift, 1e-12) << c.handle << " " << c.dy;
        EXPECT_EQ(button("automatic")->isChecked(), c.automaticAfter) << c.handle;
    }

    // A move without a pressed button is no drag.
    curve.automaticRange();
    auto* upper = panel.findChild<QWidget*>(QLatin1String("upperHandle"));
    sendMouse(*upper, QEvent::MouseMove, QPointF(5, 60), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(curve.automatic());
}

TEST_F(ChromatogramPanelTest, ThePlotShowsTheCurveInItsColour)
{
    show();
    const QImage image = plotImage();
    const PlotLayout& plot = curve.layout();
    const int x = plot.plotLeft + 80 * (plot.plotRight - plot.plotLeft) / 100;  // on the baseline
    int red = 0;
    for (int y = plot.plotTop; y < plot.plotBottom; ++y)
        red += image.pixelColor(x, y) == PainterSurface::colour(curveRed) ? 1 : 0;
    EXPECT_GE(red, 2) << "a curve two pixels wide crosses column " << x;
}

TEST_F(ChromatogramPanelTest, TheResultsBoxIsLeftOutWhileResultsAreHidden)
{
    show();
    // The top edge of the box in the plot's top-right corner, drawn in the frame's colour.
    const auto boxEdgePixels = [this] {
        const QImage image = plotImage();
        const PlotLayout& plot = curve.layout();
        const int top = plot.plotTop + 2 * plot.unit;
        const int right = plot.plotRight - plot.unit;
        int found = 0;
        for (int x = right - 30; x <= right; ++x)
            for (int y = top; y <= top + 2; ++y)
                found += image.pixelColor(x, y) == PainterSurface::colour(frameGreen) ? 1 : 0;
        return found;
    };
    EXPECT_GE(boxEdgePixels(), 31);
    panel.setResultsHidden(true);
    EXPECT_EQ(boxEdgePixels(), 0);
    panel.setResultsHidden(false);
    EXPECT_GE(boxEdgePixels(), 31);
}

TEST_F(ChromatogramPanelTest, PrintIsOfferedOnlyOnceEnabled)
{
    int requests = 0;
    QObject::connect(&panel, &ChromatogramPanel::printRequested, [&requests] { ++requests; });
    panel.printButton()->click();
    EXPECT_EQ(requests, 0) << "disabled";
    panel.printButton()->setEnabled(true);
    panel.printButton()->click();
    EXPECT_EQ(requests, 1);
}

} // namespace
