#include "chromsim/Faultinjector.h"

#include <algorithm>

namespace chromsim {
namespace {

// Average spacing of each kind of fault, in seconds of instrument time.
constexpr double shortFramesPerSecond = 2;
constexpr double bit7FramesPerSecond = 2;
constexpr double noisePerSecond = 4;
constexpr double burstSpacing = 20;
constexpr int burstShortest = 16;
constexpr int burstLongest = 64;

} // namespace

FaultInjector::FaultInjector(const Faults& faults, double framesPerSecond, std::uint64_t seed)
    : faults_(faults), framesPerSecond_(framesPerSecond), random_(seed)
{
    scheduleBurst(std::uniform_real_distribution<double>(0.2, 1.0)(random_));
}

void FaultInjector::emit(const framecodec::Frame& frame, std::vector<std::uint8_t>& out)
{
    burstIfDue(out);
    framecodec::Frame bytes = frame;
    if (faults_.has(Fault::bit7) && chance(bit7FramesPerSecond))
        bytes[1 + byteBelow(3)] |= 0x80;
    std::size_t length = bytes.size();
    if (faults_.has(Fault::shortFrames) && chance(shortFramesPerSecond))
        length = 1 + byteBelow(3);
    out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    noiseAfter(out);
    ++frame_;
}

bool FaultInjector::chance(double perSecond)
{
    return std::bernoulli_distribution(std::min(1.0, perSecond / framesPerSecond_))(random_);
}

std::uint8_t FaultInjector::byteBelow(unsigned limit)
{
    return static_cast<std::uint8_t>(std::uniform_int_distribution<unsigned>(0, limit - 1)(random_));
}

void FaultInjector::burstIfDue(std::vector<std::uint8_t>& out)
{
    if (!faults_.has(Fault::lineErrors) || frame_ < nextBurst_)
        return;
    const int length = std::uniform_int_distribution<int>(burstShortest, burstLongest)(random_);
    // Anything but FF: four of them in a row would end the cycle, which a burst must not do.
    for (int i = 0; i < length; ++i)
        out.push_back(byteBelow(0xFF));
    scheduleBurst(std::uniform_real_distribution<double>(0.5, 1.5)(random_));
}

void FaultInjector::noiseAfter(std::vector<std::uint8_t>& out)
{
    if (!faults_.has(Fault::noise) || !chance(noisePerSecond))
        return;
    const int count = 1 + byteBelow(3);
    for (int i = 0; i < count; ++i)
        out.push_back(byteBelow(0x80));
}

void FaultInjector::scheduleBurst(double fraction)
{
    nextBurst_ = frame_ + static_cast<std::uint64_t>(fraction * burstSpacing * framesPerSecond_);
}

} // namespace chromsim
