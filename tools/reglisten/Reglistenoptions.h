#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace reglisten {

// What nivra-reglisten listens on and serves; set from the command line.
struct ReglistenOptions {
    static constexpr std::uint16_t registrationPort = 8001;
    static constexpr std::size_t mailslotMaximumSize = 65536;

    std::string mailslot = "Registration\\FixedData";
    std::uint16_t udpPort = registrationPort;  // 0: no UDP
    std::optional<double> totalGas;            // served on TCP when set
    std::optional<std::uint16_t> tcpPort;
    double ramp = 0;                           // added to totalGas per second since start
    std::optional<std::int64_t> count;         // exit after this many messages
    std::optional<double> seconds;             // exit after this long
    bool help = false;

    std::uint16_t totalGasPort() const { return tcpPort.value_or(registrationPort); }

    // The parsed line, or the message that says what is wrong with it.
    static std::variant<ReglistenOptions, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

} // namespace reglisten
