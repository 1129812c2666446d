// The summator trend chart over thirty days of readings (2 592 000 points), as the main window
// shows it on a 300 x 700 panel: one replot at "3" (three days, goal under 30 ms) and at
// "3 минуты" (under 5 ms), one new reading taken over from the trend (under 1 ms; the replot
// it asks for is the figure above), and the start-up fill with its first paint (under 200 ms).
// Qt on its offscreen platform; the panel is shown, so a replot also paints the widget.
// With --png=FILE the chart over six hours of readings is written out once, to look at.
#include "Qtbenchmain.h"
#include "chromatogram/Summcurve.h"
#include "library/Locker.h"
#include "library/Lockobject.h"
#include "settings/Configuration.h"
#include "views/Summatorchart.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>

#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

constexpr std::size_t thirtyDays = TSummCurve::maxFilePoints;
constexpr double second = 1.0 / 86400;
constexpr double firstDay = 39356.0;  // 1 October 2007
constexpr int threeMinutes = 1;
constexpr int threeDays = 15;

// Drilling at 6 m an hour with an hour in five at rest, depth known to the decimetre; a
// background near 0.3 % with slow swings and a gas show of a few percent every four hours; the
// operator has labelled a point every markEvery seconds.
std::unique_ptr<TSummCurve> trendOf(std::size_t seconds, std::size_t markEvery)
{
    auto trend = std::make_unique<TSummCurve>();
    double drilled = 1500;
    for (std::size_t i = 0; i < seconds; ++i) {
        const double t = static_cast<double>(i);
        if ((i / 3600) % 5 != 4)
            drilled += 6.0 / 3600;
        const double depth = std::round(10 * drilled) / 10;
        const double show = 3.5 * std::exp(-std::pow(std::fmod(t, 14'400) - 7'000, 2) / (2 * 300.0 * 300.0));
        const double value = 0.3 + 0.15 * std::sin(t / 900) + 0.05 * std::sin(t * 1.7) + show;
        const std::size_t index =
            trend->append(firstDay + t * second, static_cast<float>(depth), static_cast<float>(value));
        if (i % markEvery == markEvery / 2)
            trend->setMarkShown(index, true);
    }
    return trend;
}

TSummCurve& sharedTrend()
{
    static const std::unique_ptr<TSummCurve> trend = trendOf(thirtyDays, 21'600);
    return *trend;
}

struct ShownChart {
    ShownChart(TSummCurve& trend, int scale) : chart(trend, lock, configuration)
    {
        configuration.summatorWinScale = scale;
        chart.restorePlacement();
        chart.fill();
        chart.resize(300, 700);
        chart.show();
        QApplication::processEvents();
        chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
    }

    Configuration configuration;
    lib::lock_object lock;
    SummatorChart chart;
};

void replotAt(benchmark::State& state, int scale)
{
    ShownChart shown(sharedTrend(), scale);
    for (auto _ : state)
        shown.chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["points"] = static_cast<double>(shown.chart.graph()->dataCount());
}

void replotThreeDays(benchmark::State& state)
{
    replotAt(state, threeDays);
}
BENCHMARK(replotThreeDays)->Unit(benchmark::kMillisecond);

void replotThreeMinutes(benchmark::State& state)
{
    replotAt(state, threeMinutes);
}
BENCHMARK(replotThreeMinutes)->Unit(benchmark::kMillisecond);

// The summator thread's append under the trend's lock, and the window's tick taking it over.
void appendOneReading(benchmark::State& state)
{
    TSummCurve trend = sharedTrend();
    ShownChart shown(trend, threeMinutes);
    double time = trend.lastTime();
    for (auto _ : state) {
        time += second;
        {
            lib::Locker hold(shown.lock);
            trend.append(time, 2000, 0.4f);
        }
        shown.chart.takeNewReadings();
    }
    state.counters["points"] = static_cast<double>(shown.chart.graph()->dataCount());
}
BENCHMARK(appendOneReading)->Unit(benchmark::kMicrosecond);

// Start-up: the loaded trend drawn into a new chart at the stored scale, and its first paint.
void fillThirtyDays(benchmark::State& state)
{
    TSummCurve& trend = sharedTrend();
    for (auto _ : state) {
        state.PauseTiming();
        Configuration configuration;
        lib::lock_object lock;
        auto chart = std::make_unique<SummatorChart>(trend, lock, configuration);
        chart->resize(300, 700);
        chart->show();
        QApplication::processEvents();
        chart->restorePlacement();
        state.ResumeTiming();

        chart->fill();
        chart->plot()->replot(QCustomPlot::rpImmediateRefresh);

        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(fillThirtyDays)->Unit(benchmark::kMillisecond);

// The last hour of six, labels every twenty minutes, the mouse over a show of gas.
int savePicture(const char* path)
{
    constexpr int oneHour = 7;
    const std::unique_ptr<TSummCurve> trend = trendOf(6 * 3600, 1200);
    ShownChart shown(*trend, oneHour);
    QCustomPlot& plot = *shown.chart.plot();
    const SummCurvePoint& under = trend->points()[6 * 3600 - 1800];
    const QPointF at = shown.chart.graph()->coordsToPixels(under.time, under.value);
    QMouseEvent move(QEvent::MouseMove, at, plot.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&plot, &move);
    plot.replot(QCustomPlot::rpImmediateRefresh);
    return shown.chart.grab().save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv, savePicture);
}
