// The history of 24 analyses loaded from its file, as at every start of the program, and saved
// back, as at every close. Loading must stay well under 20 ms.
#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "results/History.h"
#include "settings/Configuration.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A live curve of an analysis of the given length at R points a second: baseline and peaks.
MyGraphics liveCurve(int rate, int seconds)
{
    MyGraphics curve;
    CurvePoints points;
    for (int i = 0; i < rate * seconds; ++i) {
        const double t = static_cast<double>(i) / rate;
        CurvePoint point;
        point.value = 0.4 + 30 * std::exp(-0.5 * std::pow((t - 12.5) / 0.8, 2)) + 0.01 * std::sin(t * 7.3);
        point.second = static_cast<std::int32_t>(t);
        points.push_back(point);
    }
    curve.setSamples(std::move(points));
    return curve;
}

class HistoryFile {
public:
    // seconds: length of each analysis; the copies hold rate × seconds / step points.
    explicit HistoryFile(int seconds)
        : directory_(fs::temp_directory_path() / ("nivra-history-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(directory_);
        History history(configuration_, gases_, results_);
        const MyGraphics live = liveCurve(configuration_.samplesPerSecond, seconds);
        for (std::size_t i = 0; i < History::maxEntries; ++i)
            history.add(live);
        history.save(path());
    }
    ~HistoryFile() { fs::remove_all(directory_); }

    fs::path path() const { return directory_ / History::fileName; }
    History makeHistory() { return History(configuration_, gases_, results_); }

private:
    fs::path directory_;
    Configuration configuration_;
    lib::lock_object bufferLock_;
    GazOptions gases_{bufferLock_};
    CalculatedGazes results_;
};

void loadHistory(benchmark::State& state)
{
    HistoryFile file(static_cast<int>(state.range(0)));
    History history = file.makeHistory();
    for (auto _ : state) {
        history.load(file.path());
        benchmark::DoNotOptimize(history.entryCount());
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(file.path()));
}
// A usual 120-second analysis, and the longest curve a history entry can hold (2000 points).
BENCHMARK(loadHistory)->Arg(120)->Arg(1000)->Unit(benchmark::kMillisecond);

void saveHistory(benchmark::State& state)
{
    HistoryFile file(static_cast<int>(state.range(0)));
    History history = file.makeHistory();
    history.load(file.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(history.save(file.path()));
}
BENCHMARK(saveHistory)->Arg(120)->Unit(benchmark::kMillisecond);

} // namespace
