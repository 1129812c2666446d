#include "chromsim/Framepacer.h"

#include <cmath>

namespace chromsim {

FramePacer::FramePacer(double framesPerSecond, double speed, Clock::time_point start)
    : framesPerSecond_(framesPerSecond * speed), start_(start)
{
}

std::uint64_t FramePacer::due(Clock::time_point now) const
{
    if (now <= start_)
        return 0;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // The slack keeps a frame due at the very time when() gives for it, despite rounding.
    return static_cast<std::uint64_t>(std::floor(seconds * framesPerSecond_ + 1e-6));
}

FramePacer::Clock::time_point FramePacer::when(std::uint64_t frame) const
{
    const std::chrono::duration<double> offset(static_cast<double>(frame) / framesPerSecond_);
    return start_ + std::chrono::ceil<Clock::duration>(offset);
}

} // namespace chromsim
