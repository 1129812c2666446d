// The summator trend of thirty days (2 592 000 points, a 62 MB file): saved when the program
// closes and loaded when it starts, so both must stay well under half a second; and the chart's
// look-ups over it.
#include "testsupport/Scratchfolder.h"
#include "chromatogram/Summcurve.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t thirtyDays = TSummCurve::maxFilePoints;
constexpr double second = 1.0 / 86400;

TSummCurve thirtyDayTrend()
{
    TSummCurve curve;
    for (std::size_t i = 0; i < thirtyDays; ++i)
        curve.append(39144.0 + static_cast<double>(i) * second, static_cast<float>(i / 600) * 0.5f,
                     static_cast<float>(i % 997) * 0.01f);
    return curve;
}

void saveThirtyDays(benchmark::State& state)
{
    const TSummCurve curve = thirtyDayTrend();
    // On the ordinary temporary file system, so the figures include the disk.
    const platform::ScratchFolder folder("nivra-summcurve-bench");
    for (auto _ : state)
        benchmark::DoNotOptimize(curve.save((folder / "gsumm.dat")));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * thirtyDays * sizeof(SummCurvePoint)));
}
BENCHMARK(saveThirtyDays)->Unit(benchmark::kMillisecond);

void loadThirtyDays(benchmark::State& state)
{
    // On the ordinary temporary file system, so the figures include the disk.
    const platform::ScratchFolder folder("nivra-summcurve-bench");
    if (!thirtyDayTrend().save((folder / "gsumm.dat"))) {
        state.SkipWithError("trend not written");
        return;
    }
    for (auto _ : state) {
        TSummCurve curve;
        curve.load((folder / "gsumm.dat"));
        if (curve.size() != thirtyDays)
            state.SkipWithError("trend not loaded");
        benchmark::DoNotOptimize(curve.points().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * thirtyDays * sizeof(SummCurvePoint)));
}
BENCHMARK(loadThirtyDays)->Unit(benchmark::kMillisecond);

class DiscardingSeries : public SummCurveSeries {
public:
    void clear() override {}
    void add(double value, double time, std::string_view label) override
    {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(time);
        benchmark::DoNotOptimize(label.data());
    }
};

// The trend's own share of filling the chart: labels and calls, no drawing.
void fillSeriesThirtyDays(benchmark::State& state)
{
    TSummCurve curve = thirtyDayTrend();
    DiscardingSeries series;
    for (auto _ : state)
        curve.fillSeries(series);
}
BENCHMARK(fillSeriesThirtyDays)->Unit(benchmark::kMillisecond);

// The axis labels of a chart scrolled to the newest hour.
void depthAtNewestHour(benchmark::State& state)
{
    const TSummCurve curve = thirtyDayTrend();
    const double lastTime = curve.lastTime();
    for (auto _ : state)
        for (int label = 0; label < 10; ++label)
            benchmark::DoNotOptimize(curve.depthAt(lastTime - label * 360 * second));
}
BENCHMARK(depthAtNewestHour)->Unit(benchmark::kMicrosecond);

} // namespace
