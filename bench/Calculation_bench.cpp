// The calculation passes of one whole 120-second analysis, driven as the controller drives
// them: after every 400 ms of signal, one pass over the buffer. Passes must cost in proportion to
// the new samples, never rescan what has been integrated.
#include "analysis/Gaz_calculation.h"
#include "analysis/Gazopts.h"
#include "device/Samplebuffer.h"
#include "testsupport/Recordingnotifier.h"
#include "settings/Configuration.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// The default gases' peaks on a slightly noisy baseline, one value per point at R points a second.
std::vector<double> analysisSignal(const GazOptions& gases, int rate, int seconds)
{
    std::vector<double> values(static_cast<std::size_t>(rate * seconds), 0.4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        values[i] += 0.01 * std::sin(t * 7.3);
        for (std::size_t g = 0; g < static_cast<std::size_t>(gases.count()); ++g) {
            const Gaz& gas = gases.gas(g);
            const double centre = (gas.nominalStart + gas.nominalEnd) / 2.0;
            const double width = (gas.nominalEnd - gas.nominalStart) / 6.0;
            values[i] += 50.0 / (g + 1) * std::exp(-0.5 * std::pow((t - centre) / width, 2));
        }
    }
    return values;
}

void wholeAnalysis(benchmark::State& state)
{
    const bool correction = state.range(0) != 0;
    Configuration configuration;
    configuration.correctWindows = correction;
    platform::RecordingNotifier notifier;
    const int rate = configuration.samplesPerSecond;
    const double pointsPerPass = rate * 0.4;
    std::size_t passes = 0;
    std::size_t results = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SampleBuffer buffer;
        GazOptions gases(buffer);
        Calculation calculation(buffer, gases, configuration);
        calculation.concentrationFunction = [](std::size_t, double response) { return response * 0.01; };
        const auto signal = analysisSignal(gases, rate, 120);
        state.ResumeTiming();

        double due = 0;
        for (std::size_t i = 0; i < signal.size(); ++i) {
            CurvePoint point;
            point.value = signal[i];
            buffer.append(point);
            if (static_cast<double>(i + 1) >= due + pointsPerPass) {
                due += pointsPerPass;
                calculation.update(0, true);
                ++passes;
            }
        }
        results = calculation.results().size();
    }
    state.counters["passes_per_analysis"] = static_cast<double>(passes) / static_cast<double>(state.iterations());
    state.counters["results"] = static_cast<double>(results);
    state.SetLabel(correction ? "with window correction" : "fixed windows");
}
BENCHMARK(wholeAnalysis)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
