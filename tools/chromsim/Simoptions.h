#pragma once

#include "chromsim/Faults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace chromsim {

// How the simulated chromatograph behaves; set from the command line.
struct SimOptions {
    std::int32_t model = 0;       // 0: halves bit-reversed; 1: plain halves, internal summator
    bool summator = false;        // model 1: interleave summator readings
    double speed = 1;             // how much faster than real time frames are sent
    std::int32_t rate = 8;        // points per second; 50 frames make a point
    double lengthSeconds = 120;   // of a cycle
    std::optional<std::uint64_t> seed;
    std::optional<std::int32_t> cycles;  // serve this many, then exit
    Faults faults;
    bool help = false;

    double framesPerSecond() const { return 50.0 * rate; }

    // The parsed line, or the message that says what is wrong with it.
    static std::variant<SimOptions, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

} // namespace chromsim
