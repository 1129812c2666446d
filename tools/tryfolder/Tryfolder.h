#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace tryfolder {

// A program folder for trying the station against nivra-chromsim. The station's own first
// start has written its settings there; this points them at the simulator's terminal, runs one
// analysis after another with a programme as long as the simulator's cycle, and writes the
// calibration from the simulator's own sample, so that every analysis shows concentrations.
class TryFolder {
public:
    struct Plan {
        std::filesystem::path directory;
        std::string port;                // the simulator's pseudo-terminal
        std::int32_t cycleSeconds = 85;  // the simulator's --length
        std::uint64_t seed = 1;          // the simulator's --seed: its first cycle is the reference
    };

    // What is wrong; nothing once the settings and "calibr.ini" are written. Says what it wrote.
    static std::optional<std::string> prepare(const Plan& plan, std::ostream& log);
};

} // namespace tryfolder
