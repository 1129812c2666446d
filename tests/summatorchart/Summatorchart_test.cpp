#include "views/Summatorchart.h"

#include "chromatogram/Summcurve.h"
#include "library/Locker.h"
#include "library/Lockobject.h"
#include "library/Mytime.h"
#include "library/Numstr.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <qcustomplot.h>

#include <gmock/gmock.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double second = 1.0 / 86400;
constexpr double minute = 1.0 / 1440;
constexpr double hour = 1.0 / 24;
constexpr double close = 0.001 * second;

const double start = lib::toDateTime(lib::toLocalSeconds(2007, 10, 3, 10, 0, 0));

// Drilling advances half a metre a minute from 1500 m; the reading wanders between 0.5 and 2.5.
float depthAfter(int seconds)
{
    return 1500.0f + 0.5f * static_cast<float>(seconds / 60);
}

float readingAfter(int seconds)
{
    return static_cast<float>(1.5 + std::sin(seconds / 90.0));
}

void sendMouse(QWidget& widget, QEvent::Type type, QPointF at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const bool pressed = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const Qt::MouseButtons held = pressed ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// What the window system sends for a double click.
void doubleClick(QWidget& widget, QPointF at)
{
    sendMouse(widget, QEvent::MouseButtonPress, at);
    sendMouse(widget, QEvent::MouseButtonRelease, at);
    sendMouse(widget, QEvent::MouseButtonDblClick, at);
    sendMouse(widget, QEvent::MouseButtonRelease, at);
}

// Two hours of readings, one a second, on a chart of 300 × 700.
class SummatorChartTest : public ::testing::Test {
protected:
    SummatorChartTest()
    {
        for (int i = 0; i < readings; ++i)
            trend.append(start + i * second, depthAfter(i), readingAfter(i));
    }

    void show()
    {
        chart.resize(300, 700);
        chart.show();
        QElapsedTimer waited;
        waited.start();
        while (chart.plot()->height() < 400 && waited.elapsed() < 20'000)
            QApplication::processEvents();
        ASSERT_GE(chart.plot()->height(), 400);
        chart.plot()->replot();
    }

    void append(int count)
    {
        lib::Locker hold(lock);
        for (int i = 0; i < count; ++i) {
            const int at = static_cast<int>(trend.size());
            trend.append(start + at * second, depthAfter(at), readingAfter(at));
        }
    }

    QPointF pixelOf(std::size_t index) const
    {
        const SummCurvePoint& point = trend.points()[index];
        return chart.graph()->coordsToPixels(point.time, point.value);
    }

    QString cursorText(const char* name) const
    {
        const auto* label = chart.findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }

    static constexpr int readings = 2 * 3600;
    const double last = start + (readings - 1) * second;
    test::DecimalSeparatorScope comma{','};
    Configuration configuration;
    lib::lock_object lock;
    TSummCurve trend;
    SummatorChart chart{trend, lock, configuration};
};

TEST_F(SummatorChartTest, ScaleListHoldsTheSixteenScalesAndShowsTheStoredOne)
{
    const QStringList expected{"1 минута", "3 минуты", "5 минут", "10 минут", "15 минут", "20 минут", "30 минут", "1 час",
                               "2 часа",   "3 часа",   "4 часа",  "6 часов",  "12 часов", "1 сутки",  "2",        "3"};
    QStringList shown;
    for (int i = 0; i < chart.scaleList()->count(); ++i)
        shown << chart.scaleList()->itemText(i);
    EXPECT_EQ(shown, expected);

    struct Case {
        std::int32_t stored;
        const char* entry;
    };
    for (const Case c : {Case{3, "10 минут"}, Case{0, "1 минута"}, Case{15, "3"}, Case{16, "1 минута"},
                         Case{-1, "1 минута"}}) {
        configuration.summatorWinScale = c.stored;
        chart.restorePlacement();
        EXPECT_EQ(chart.scaleList()->currentText(), QString::fromUtf8(c.entry)) << c.stored;
    }
}

TEST_F(SummatorChartTest, StartsAtTheNewestReadingAndTheScaleSetsTheTimeShown)
{
    chart.restorePlacement();
    chart.fill();
    const QCPRange shown = chart.plot()->yAxis->range();
    EXPECT_THAT(shown.size(), DoubleNear(minute, close));
    EXPECT_THAT(shown.upper, DoubleNear(last, close));
    EXPECT_TRUE(chart.plot()->yAxis->rangeReversed()) << "time runs downwards";

    chart.scaleList()->setCurrentIndex(7);  // "1 час"
    EXPECT_THAT(chart.plot()->yAxis->range().size(), DoubleNear(hour, close));
    EXPECT_THAT(chart.plot()->yAxis->range().upper, DoubleNear(last, close));
    EXPECT_EQ(chart.scrollBar()->maximum(), readings - 1 - 3600);
    EXPECT_EQ(chart.scrollBar()->pageStep(), 3600);

    chart.scrollBar()->setValue(0);
    EXPECT_THAT(chart.plot()->yAxis->range().lower, DoubleNear(start, close));

    // The wheel scrolls through time as the scroll bar does.
    QWheelEvent wheel({50, 300}, chart.plot()->mapToGlobal(QPointF(50, 300)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart.plot(), &wheel);
    EXPECT_GT(chart.scrollBar()->value(), 0);
    EXPECT_THAT(chart.plot()->yAxis->range().lower, DoubleNear(start + chart.scrollBar()->value() * second, close));
}

TEST_F(SummatorChartTest, NewReadingsAreAddedWithoutRebuildingTheGraph)
{
    chart.fill();
    ASSERT_EQ(chart.graph()->dataCount(), readings);
    const QCPGraphData* firstPoint = &*chart.graph()->data()->constBegin();

    append(3);
    chart.takeNewReadings();
    EXPECT_EQ(chart.graph()->dataCount(), readings + 3);
    EXPECT_EQ(&*chart.graph()->data()->constBegin(), firstPoint) << "the points already drawn stay where they are";
    const QCPGraphData newest = *(chart.graph()->data()->constEnd() - 1);
    EXPECT_EQ(newest.key, trend.points()[readings + 2].time);
    EXPECT_EQ(newest.value, trend.points()[readings + 2].value);
    EXPECT_THAT(chart.plot()->yAxis->range().upper, DoubleNear(last + 3 * second, close)) << "follows the newest";

    chart.takeNewReadings();
    EXPECT_EQ(chart.graph()->dataCount(), readings + 3);
}

TEST_F(SummatorChartTest, TakesReadingsWhileTheyAreAppendedOnAnotherThread)
{
    chart.fill();
    std::atomic<bool> done{false};
    std::thread summator([&] {
        for (int i = 0; i < 20'000; ++i) {
            append(1);
            if (i % 64 == 0)
                std::this_thread::yield();
        }
        done = true;
    });
    while (!done)
        chart.takeNewReadings();
    summator.join();
    chart.takeNewReadings();

    ASSERT_EQ(static_cast<std::size_t>(chart.graph()->dataCount()), trend.size());
    for (std::size_t i : {std::size_t{0}, std::size_t{readings}, trend.size() - 1})
        EXPECT_EQ(chart.graph()->data()->at(static_cast<int>(i))->key, trend.points()[i].time) << i;
}

TEST_F(SummatorChartTest, DoubleClickShowsAPointsDepthAndHidesItOnItsLabelAndTheTrendKeepsIt)
{
    chart.fill();
    show();
    const std::size_t kept = readings - 20;
    const std::size_t dropped = readings - 40;

    doubleClick(*chart.plot(), pixelOf(kept));
    doubleClick(*chart.plot(), pixelOf(dropped));
    EXPECT_TRUE(trend.markShown(kept));
    EXPECT_TRUE(trend.markShown(dropped));
    EXPECT_THAT(chart.shownLabels(), ElementsAre(kept, dropped));
    ASSERT_NE(chart.labelOf(kept), nullptr);
    EXPECT_EQ(chart.labelOf(kept)->text(), QStringLiteral("1559,5"));  // 7180 s: 119 minutes of drilling

    chart.plot()->replot();
    doubleClick(*chart.plot(), chart.labelOf(dropped)->position->pixelPosition() + QPointF(3, 0));
    EXPECT_FALSE(trend.markShown(dropped));
    EXPECT_TRUE(trend.markShown(kept));
    EXPECT_THAT(chart.shownLabels(), ElementsAre(kept));

    // Closing saves the trend: the flags reach the file.
    test::TemporaryDirectory folder;
    ASSERT_TRUE(trend.save(folder / "gsumm.dat"));
    TSummCurve reloaded;
    reloaded.load(folder / "gsumm.dat");
    ASSERT_EQ(reloaded.size(), trend.size());
    EXPECT_TRUE(reloaded.markShown(kept));
    EXPECT_FALSE(reloaded.markShown(dropped));

    // And the next start shows the label again, only while its point is in view.
    SummatorChart next(reloaded, lock, configuration);
    next.fill();
    EXPECT_THAT(next.shownLabels(), ElementsAre(kept));
    next.scrollBar()->setValue(0);
    EXPECT_THAT(next.shownLabels(), IsEmpty());
}

TEST_F(SummatorChartTest, DoubleClickFindsThePointAfterTheClockWasSetBack)
{
    // The clock went back half a minute: the graph sorts these points in among the earlier ones.
    {
        lib::Locker hold(lock);
        for (int i = 0; i < 10; ++i)
            trend.append(last - 30 * second + (i + 0.5) * second, 1700, 4.0f);
    }
    chart.fill();
    show();
    const std::size_t setBack = readings + 4;
    doubleClick(*chart.plot(), pixelOf(setBack));
    EXPECT_TRUE(trend.markShown(setBack));
    EXPECT_THAT(chart.shownLabels(), ElementsAre(setBack));
}

TEST_F(SummatorChartTest, TimeLabelsCarryTheDepthBelowTheClockTime)
{
    chart.fill();
    chart.scaleList()->setCurrentIndex(7);
    show();
    const QVector<double> ticks = chart.plot()->yAxis->tickVector();
    const QVector<QString> labels = chart.plot()->yAxis->tickVectorLabels();
    ASSERT_GE(ticks.size(), 3);
    ASSERT_EQ(labels.size(), ticks.size());
    for (int i = 0; i < ticks.size(); ++i) {
        const QStringList lines = labels[i].split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << labels[i].toStdString();
        EXPECT_THAT(lines[0].toStdString(), ::testing::MatchesRegex("[0-9][0-9]:[0-9][0-9]"));
        const float depth = trend.depthAt(ticks[i]);
        EXPECT_EQ(lines[1].trimmed().toStdString(), SummCurveWindow::depthText(depth)) << lines[0].toStdString();
    }
    // 11:00, an hour in: drilled to 1530 m by the next second.
    EXPECT_THAT(labels.toList(), ::testing::Contains(QStringLiteral("11:00\n1530")));
}

TEST_F(SummatorChartTest, CursorBoxFollowsTheMouse)
{
    chart.fill();
    show();
    const std::size_t index = readings - 30;
    sendMouse(*chart.plot(), QEvent::MouseMove, pixelOf(index));
    EXPECT_EQ(cursorText("cursorTime"), QStringLiteral("03.10 11:59:30"));
    EXPECT_EQ(cursorText("cursorDepth"), QStringLiteral("1559,5"));
    EXPECT_EQ(cursorText("cursorValue"), QString::fromStdString(lib::formatReal(trend.points()[index].value, 2)));
}

TEST_F(SummatorChartTest, PlacementComesBackAsItWasStored)
{
    struct Case {
        std::int32_t width, scale;
        float min, max;
        std::int32_t storedWidth, storedScale;
        float storedMin, storedMax;
    };
    const std::vector<Case> cases{
        {200, 0, 0, 5, 200, 0, 0, 5},
        {260, 9, 0.5f, 12.25f, 260, 9, 0.5f, 12.25f},
        // Nothing sensible stored: the defaults go back.
        {0, 40, 5, 5, 200, 0, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Configuration settings;
        settings.summatorWinWidth = c.width;
        settings.summatorWinScale = c.scale;
        settings.summatorWinXmin = c.min;
        settings.summatorWinXmax = c.max;
        SummatorChart placed(trend, lock, settings);
        placed.restorePlacement();
        placed.fill();
        settings.summatorWinWidth = settings.summatorWinScale = -7;
        settings.summatorWinXmin = settings.summatorWinXmax = -7;
        placed.storePlacement();
        EXPECT_EQ(settings.summatorWinWidth, c.storedWidth);
        EXPECT_EQ(settings.summatorWinScale, c.storedScale);
        EXPECT_EQ(settings.summatorWinXmin, c.storedMin);
        EXPECT_EQ(settings.summatorWinXmax, c.storedMax);
        EXPECT_EQ(placed.sizeHint().width(), c.storedWidth);
    }
}

} // namespace
