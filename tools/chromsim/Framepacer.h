#pragma once

#include <chrono>
#include <cstdint>

namespace chromsim {

// When each frame of a stream is due on the line, at the instrument's pace times the speed-up.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    FramePacer(double framesPerSecond, double speed, Clock::time_point start);

    // How many frames should have gone out by then.
    std::uint64_t due(Clock::time_point now) const;
    Clock::time_point when(std::uint64_t frame) const;

private:
    double framesPerSecond_;  // already sped up
    Clock::time_point start_;
};

} // namespace chromsim
