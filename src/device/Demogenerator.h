#pragma once

#include "device/Framesource.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>

// Synthetic frames for demonstration mode: a sine wave of random period and amplitude, and
// model-1 summator readings now and then. Its pauses make a cycle last about five seconds;
// it ends by itself after 6000 × rate frames.
class DemoGenerator : public FrameSource {
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    DemoGenerator(std::int32_t samplesPerSecond, std::uint32_t seed, Sleep sleep);

    LinkStatus next(DeviceFrame& frame) override;
    bool exhausted() const override { return iteration_ >= limit_; }
    std::int64_t iteration() const { return iteration_; }

private:
    int random(int n);

    std::int32_t samplesPerSecond_;
    std::int64_t limit_;
    std::mt19937 generator_;
    Sleep sleep_;
    std::int64_t iteration_ = 0;
    double period_;
    double amplitude_ = 0;
    std::int32_t summatorCount_ = 0;
    bool nextSummatorIsHigh_ = false;
};
