#pragma once

#include "device/Summatorframe.h"
#include "summsim/Readingplan.h"
#include "summsim/Simoptions.h"

#include <cstdint>
#include <vector>

namespace summsim {

// The bytes of each frame the simulated summator sends, spoilt where the options ask for it.
class FrameMaker {
public:
    enum class Damage { none, badChecksum, cut };

    explicit FrameMaker(const SimOptions& options);

    // Frames count from 1; frame n goes out (n − 1) / rate seconds after the first.
    std::vector<std::uint8_t> frame(std::uint64_t number) const;
    Damage damageOf(std::uint64_t number) const;
    double secondsOf(std::uint64_t number) const;

    static constexpr std::size_t frameSize = summatorframe::header.size() + summatorframe::bodySize;
    static constexpr std::size_t cutBodySize = summatorframe::bodySize / 2;

private:
    double rate_;
    std::uint32_t badChecksumEvery_;
    std::uint32_t shortEvery_;
    ReadingPlan plan_;
};

} // namespace summsim
