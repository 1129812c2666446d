#pragma once

#include "chromsim/Faults.h"
#include "device/Framecodec.h"

#include <cstdint>
#include <random>
#include <vector>

namespace chromsim {

// Mangles frames on their way to the line as the faults ask: cut frames, stray bytes, bits set
// where they must not be, bursts of garbage. Without faults frames pass unchanged.
class FaultInjector {
public:
    FaultInjector(const Faults& faults, double framesPerSecond, std::uint64_t seed);

    void emit(const framecodec::Frame& frame, std::vector<std::uint8_t>& out);

private:
    bool chance(double perSecond);
    std::uint8_t byteBelow(unsigned limit);
    void burstIfDue(std::vector<std::uint8_t>& out);
    void noiseAfter(std::vector<std::uint8_t>& out);
    void scheduleBurst(double fraction);

    Faults faults_;
    double framesPerSecond_;
    std::mt19937_64 random_;
    std::uint64_t frame_ = 0;
    std::uint64_t nextBurst_ = 0;
};

} // namespace chromsim
