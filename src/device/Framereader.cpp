#include "device/Framereader.h"

#include "device/Framecodec.h"

#include <algorithm>
#include <thread>

FrameReader::FrameReader(platform::ByteChannel& channel, std::int32_t model, AdcParameters adc, bool summatorInUse,
                         Timing timing)
    : channel_(channel), model_(model), adc_(adc), summatorInUse_(summatorInUse), timing_(timing)
{
}

bool FrameReader::findSync(std::uint8_t& sync)
{
    using Clock = std::chrono::steady_clock;
    auto lastByte = Clock::now();
    std::size_t noise = 0;
    while (!stop_.stop_requested()) {
        const auto result = channel_.read({&sync, 1});
        if (result.count == 1) {
            if (sync & 0x80)
                return true;
            lastByte = Clock::now();
            if (++noise % std::max<std::size_t>(timing_.noiseRun, 1) == 0)
                std::this_thread::sleep_for(timing_.failurePause);
            continue;
        }
        if (result.ok)
            return false;  // the read waited its time-out: silence
        channel_.clearError();
        if (Clock::now() - lastByte >= timing_.silence)
            return false;
        std::this_thread::sleep_for(timing_.failurePause);
    }
    return false;
}

LinkStatus FrameReader::next(DeviceFrame& frame)
{
    framecodec::Frame bytes{};
    if (!findSync(bytes[0]))
        return statusNoAnswer;
    const auto rest = channel_.read({bytes.data() + 1, 3});
    if (!rest.ok)
        channel_.clearError();
    if (rest.count < 3)
        return statusShortFrame;
    if (bytes == framecodec::endMarker)
        return statusEndOfCycle;
    frame = framecodec::decodeFrame(bytes, model_, adc_, summatorInUse_);
    return statusOk;
}
