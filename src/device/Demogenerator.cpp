#include "device/Demogenerator.h"

#include <algorithm>
#include <cmath>

DemoGenerator::DemoGenerator(std::int32_t samplesPerSecond, std::uint32_t seed, Sleep sleep)
    : samplesPerSecond_(std::max(samplesPerSecond, 1)), limit_(6000LL * samplesPerSecond_), generator_(seed),
      sleep_(std::move(sleep))
{
    period_ = random(800) + 250;
}

int DemoGenerator::random(int n)
{
    return std::uniform_int_distribution<int>(0, n - 1)(generator_);
}

LinkStatus DemoGenerator::next(DeviceFrame& frame)
{
    const std::int64_t i = iteration_++;
    if (i % 1000 == 0)
        amplitude_ = random(2000) + 2000;
    if (i % 100 == 0 && sleep_)
        sleep_(std::chrono::milliseconds(10));
    frame = DeviceFrame{};
    frame.counter = static_cast<std::uint8_t>(i & 0x7F);
    if (i % (200LL * samplesPerSecond_) == 0) {
        if (!nextSummatorIsHigh_)
            summatorCount_ = random(10) == 0 ? random(8191) : random(819);
        frame.kind = nextSummatorIsHigh_ ? DeviceFrame::summatorHigh : DeviceFrame::summatorLow;
        frame.value = summatorCount_;
        nextSummatorIsHigh_ = !nextSummatorIsHigh_;
        return statusOk;
    }
    frame.value = (std::sin(static_cast<double>(i) / period_) + 1) * amplitude_;
    return statusOk;
}
