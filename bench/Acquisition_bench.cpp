// The acquisition path of one cycle: frame decoding, gap interpolation and the trimmed mean of
// every 50 sub-samples, over a recorded 120-second stream (48 000 frames at 8 points a second).
// The instrument sends 400 frames a second; this must stay far above that and allocate nothing
// per frame.
#include "device/Acquisition.h"
#include "device/Framecodec.h"
#include "device/Framereader.h"
#include "testsupport/Memorychannel.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

// GCC pairs the inlined malloc and free below wrongly and warns; the pair is right.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long> allocations{0};

std::vector<std::uint8_t> recordedCycle(int frames)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(frames) * 4 + 4);
    for (int i = 1; i <= frames; ++i) {
        const double t = i / 400.0;
        const double peak = 6000.0 * std::exp(-std::pow((t - 30.0) / 2.0, 2));
        const auto count = static_cast<std::int32_t>(200 + peak + (i * 7919 % 31));
        const auto frame = framecodec::encodeSample(0, static_cast<std::uint8_t>(i % 128), 0, count, 14);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    bytes.insert(bytes.end(), framecodec::endMarker.begin(), framecodec::endMarker.end());
    return bytes;
}

void decodeInterpolateAverage(benchmark::State& state)
{
    constexpr int frames = 48000;
    const auto stream = recordedCycle(frames);
    std::vector<CurvePoint> points;
    points.reserve(frames / 50 + 1);
    long allocationsDuringCycles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform::MemoryChannel channel(stream);
        AcquisitionSignals signals;
        signals.point.connect([&points](const CurvePoint& p) { points.push_back(p); });
        LiveValues live;
        std::atomic<bool> high{true}, zeroing{false};
        InternalSummator summator({}, high, zeroing);
        Acquisition acquisition({}, signals, live, summator);
        FrameReader reader(channel, 0, AdcParameters{}, false);
        points.clear();
        const long before = allocations.load();
        state.ResumeTiming();

        DeviceFrame frame;
        while (reader.next(frame) == statusOk)
            acquisition.feed(frame);

        state.PauseTiming();
        allocationsDuringCycles += allocations.load() - before;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocationsDuringCycles) / (static_cast<double>(state.iterations()) * frames);
    state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(decodeInterpolateAverage)->Unit(benchmark::kMillisecond);

} // namespace

// Counts every heap allocation of the program, so the benchmark can show none happen per frame.
void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
