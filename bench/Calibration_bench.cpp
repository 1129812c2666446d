// Every analysis converts one response per gas through the calibration, inside the calculation
// pass that holds the acquisition buffer's lock: a conversion must stay far below a sample period.
#include "analysis/Etalonstorage.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t gasCount = 6;

// Entries as a calibration with ever richer mixtures gives them: areas rising with the
// concentration, a little bent, so that neither rule meets a degenerate table.
EtalonStorage calibration(std::int64_t entries, std::int32_t interType)
{
    EtalonStorage storage;
    storage.interType = interType;
    for (std::int64_t e = 1; e <= entries; ++e) {
        GazEtalLine& entry = storage.entries.emplace_back();
        for (std::size_t gas = 0; gas < gasCount; ++gas) {
            const double concentration = 0.01 * static_cast<double>(e) * static_cast<double>(gas + 1);
            entry.points.push_back({concentration, 100 * concentration + 0.5 * concentration * concentration});
        }
    }
    return storage;
}

void convert(benchmark::State& state, std::int32_t interType)
{
    const EtalonStorage storage = calibration(state.range(0), interType);
    double response = 1;
    std::size_t gas = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(storage.concentration(gas, response));
        gas = (gas + 1) % gasCount;
        response = response < 400 ? response * 1.7 : 1;  // inside the table and beyond it
    }
    state.SetLabel(std::to_string(state.range(0)) + " entries");
}

void concentrationLinear(benchmark::State& state)
{
    convert(state, EtalonStorage::linearRule);
}
BENCHMARK(concentrationLinear)->Arg(5)->Arg(50)->Unit(benchmark::kNanosecond);

void concentrationPolynomial(benchmark::State& state)
{
    convert(state, 0);
}
BENCHMARK(concentrationPolynomial)->Arg(5)->Arg(50)->Unit(benchmark::kNanosecond);

} // namespace
