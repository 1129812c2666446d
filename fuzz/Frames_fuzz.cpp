// Whatever a chromatograph, a noisy line or a failing adapter may send: through the frame
// reader and the acquisition arithmetic, and through the external summator's frame decoder.
#include "device/Acquisition.h"
#include "device/Framereader.h"
#include "device/Summatorframe.h"
#include "testsupport/Memorychannel.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t settingsBytes = 4;

Acquisition::Settings settingsFrom(const std::uint8_t* data)
{
    Acquisition::Settings settings;
    settings.model = data[0] % 3;  // 2 stands for an unknown model
    settings.samplesPerSecond = data[1] % 32;  // 0 must not divide by zero
    settings.screenSeconds = data[2];
    settings.summatorOnly = data[3] & 1;
    settings.summatorInUse = data[3] & 2;
    settings.presence = (data[3] >> 2) % 3;
    settings.adc.bits = 1 + (data[3] >> 4);
    return settings;
}

void decodeSummatorFrames(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t offset = 0; offset + summatorframe::bodySize <= size; offset += summatorframe::bodySize) {
        const std::span<const std::uint8_t, summatorframe::bodySize> body(data + offset, summatorframe::bodySize);
        if (const auto reading = summatorframe::decode(body); reading && !std::isfinite(*reading))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < settingsBytes)
        return 0;
    decodeSummatorFrames(data, size);
    const auto settings = settingsFrom(data);
    data += settingsBytes;
    size -= settingsBytes;

    // Every byte 0x00 followed by 0x00 marks a failed read there, so line faults are fuzzed too.
    platform::MemoryChannel channel(std::vector<std::uint8_t>(data, data + size));
    for (std::size_t i = 0; i + 1 < size; ++i)
        if (data[i] == 0 && data[i + 1] == 0)
            channel.failAt(i);

    AcquisitionSignals signals;
    LiveValues live;
    std::atomic<bool> high{true}, zeroing{false};
    InternalSummator summator({}, high, zeroing);
    Acquisition acquisition(settings, signals, live, summator);
    std::size_t points = 0;
    signals.point.connect([&points](const CurvePoint&) { ++points; });

    FrameReader reader(channel, settings.model, settings.adc, settings.summatorInUse,
                       {std::chrono::milliseconds(0), std::chrono::milliseconds(0)});
    for (std::size_t frames = 0;; ++frames) {
        DeviceFrame frame;
        const LinkStatus status = reader.next(frame);
        if (status == statusNoAnswer || status == statusEndOfCycle)
            break;
        if (status == statusOk)
            acquisition.feed(frame);
        if (frames > size)
            std::abort();  // every frame consumes at least one byte
    }
    return 0;
}
