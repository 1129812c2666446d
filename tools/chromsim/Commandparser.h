#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace chromsim {

// Finds the station's nine-byte commands in whatever arrives on the line. The station writes a
// command in one piece and then waits for the answer, so the newest nine bytes are the ones that
// count: stray bytes before a command are skipped, and a command split across reads still joins.
class CommandParser {
public:
    struct Command {
        enum class Kind { programme, summatorOnly, badChecksum };
        Kind kind;
        std::array<std::uint8_t, 9> bytes;
    };

    // Nothing until nine bytes have come together.
    std::optional<Command> feed(std::span<const std::uint8_t> bytes);

private:
    std::vector<std::uint8_t> pending_;
};

} // namespace chromsim
