// Settings are loaded at start-up and saved after every confirmed change: a save must stay one
// file replacement, however many keys the set holds.
#include "testsupport/Scratchfolder.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void saveProgramSettings(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-settings-bench");
    const auto& dir = folder.path();
    Configuration configuration;
    configuration.loadAtStartUp(dir);
    for (auto _ : state) {
        configuration.currentDepth += 1;  // a real change, so every save writes
        configuration.saveProgramSettings();
    }
}
BENCHMARK(saveProgramSettings)->Unit(benchmark::kMicrosecond);

void loadAtStartUp(benchmark::State& state)
{
    const platform::ScratchFolder folder("nivra-settings-bench");
    const auto& dir = folder.path();
    Configuration configuration;
    configuration.loadAtStartUp(dir);
    configuration.saveProgramSettings();
    for (auto _ : state) {
        Configuration loaded;
        loaded.loadAtStartUp(dir);
        benchmark::DoNotOptimize(loaded.deviceType);
    }
}
BENCHMARK(loadAtStartUp)->Unit(benchmark::kMicrosecond);

void loadFromLargeFile(benchmark::State& state)
{
    std::string text;
    for (int section = 0; section < state.range(0) / 100; ++section) {
        text += "[section" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 100; ++key)
            text += "key" + std::to_string(key) + "=" + std::to_string(key) + "\r\n";
    }
    auto ini = lib::IniFile::inMemory(text);
    for (auto _ : state) {
        Configuration loaded;
        loaded.loadFrom(ini);
        benchmark::DoNotOptimize(loaded.deviceType);
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines of other sections");
}
BENCHMARK(loadFromLargeFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace
