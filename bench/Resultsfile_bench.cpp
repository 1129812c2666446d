// The results table of a well with many analyses: opening it at start-up, the text of a cell
// as the grid draws it, appending one analysis, and deleting rows.
#include "testsupport/Scratchfolder.h"
#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Textgrid.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr int wellRecords = 100000;

// Six gases, the total and six shares.
CalculatedGazes analysis()
{
    CalculatedGazes results;
    const char* gases[] = {"метан", "этан", "пропан", "ибутан", "нбутан", "пентан"};
    for (const char* gas : gases)
        results.push_back({0, gas, "", std::string(gas) + "_абс", "", "", 0.0012, 0, 0, 0});
    results.push_back({0, CalculatedGaz::totalName, "", CalculatedGaz::totalName, "", "", 0.0072, 0, 0, 1});
    for (const char* gas : gases)
        results.push_back({0, std::string(gas) + "_отн", "", std::string(gas) + "_отн", "", "", 16.7, 0, 0, 1});
    return results;
}

// A well folder with records analyses and the channel list of the last one.
void fillWell(const platform::ScratchFolder& folder, int records)
{
    reg_file::Params params;
    reg_file::File record;
    const CalculatedGazes results = analysis();
    for (std::size_t k = 0; k < results.size(); ++k) {
        params.push_back(reg_file::Param::percent(results[k].name, results[k].key));
        record.values[k] = static_cast<float>(results[k].concentration);
    }
    reg_file::writeChannelList(folder.path() / TextGrid::channelListName, params);
    std::FILE* file = std::fopen((folder / "data.tim").c_str(), "wb");
    for (int i = 0; i < records; ++i) {
        record.time = static_cast<lib::LocalSeconds>(1191428700 + 600 * i);
        record.depth = 1000.0F + 0.1F * static_cast<float>(i);
        const auto bytes = record.bytes();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    std::fclose(file);
}

void BM_OpenWell(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-resultsfile-bench");
    fillWell(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TextGrid grid;
        benchmark::DoNotOptimize(grid.open((folder / "data.tim")));
        state.PauseTiming();
        grid.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWell)->Arg(1000)->Arg(wellRecords)->Unit(benchmark::kMicrosecond);

// The cells of the last screenful, one cell per iteration; the same time for any well size.
void BM_VisibleCellText(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-resultsfile-bench");
    fillWell(folder, static_cast<int>(state.range(0)));
    TextGrid grid;
    grid.open((folder / "data.tim"));
    const int rows = grid.rowCount();
    const int columns = grid.columnCount();
    int cell = 0;
    for (auto _ : state) {
        const int row = rows - 1 - (cell / columns) % 40;
        benchmark::DoNotOptimize(grid.cellText(cell % columns, row));
        ++cell;
    }
}
BENCHMARK(BM_VisibleCellText)->Arg(1000)->Arg(wellRecords);

// One analysis, written, flushed to the disk, remapped, and its channel list replaced.
void BM_AppendAnalysis(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-resultsfile-bench");
    fillWell(folder, wellRecords);
    TextGrid grid;
    grid.open((folder / "data.tim"));
    const CalculatedGazes results = analysis();
    for (auto _ : state)
        benchmark::DoNotOptimize(grid.appendResults(results, 2500.5));
}
BENCHMARK(BM_AppendAnalysis)->Unit(benchmark::kMillisecond);

// Two rows out of the middle: the kept records are written to a new file that replaces the old.
void BM_DeleteTwoRows(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-resultsfile-bench");
    fillWell(folder, wellRecords);
    TextGrid grid;
    grid.open((folder / "data.tim"));
    for (auto _ : state)
        benchmark::DoNotOptimize(grid.deleteRows(wellRecords / 4, wellRecords / 4 + 1));
}
BENCHMARK(BM_DeleteTwoRows)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
