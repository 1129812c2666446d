#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace summsim {

// How the simulated gas summator behaves; set from the command line.
struct SimOptions {
    double rate = 5;               // frames per second
    std::int16_t reading = 8192;   // main reading; the value sent is reading × 10^exponent
    std::int8_t exponent = 0;
    std::optional<double> percent; // instead of reading: percent / coeff × 8192
    double coeff = 0.1;            // the station's "coeff" the percent is meant for
    std::optional<double> ramp;    // added to the value every second
    std::optional<double> rampTo;  // where the ramp stops
    std::uint32_t badChecksumEvery = 0;  // 0: never
    std::uint32_t shortEvery = 0;
    bool garbage = false;          // random bytes at full speed instead of frames
    std::optional<double> seconds;
    std::optional<std::uint64_t> frames;
    bool help = false;

    // The value of the first frame: reading × 10^exponent, or the percent converted.
    double startValue() const;

    // The parsed line, or the message that says what is wrong with it.
    static std::variant<SimOptions, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

} // namespace summsim
