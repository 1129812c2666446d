#pragma once

#include "platform/Filedescriptor.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The instrument's end of a pseudo-terminal: the station opens slavePath() as its serial port.
// The slave side starts in raw mode and is held open here, so bytes written before the
// station opens it are neither echoed nor mangled, and closing the master looks to the station
// like a pulled adapter.
class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::runtime_error when the system has none to give

    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_.get(); }
    bool isOpen() const { return master_.valid(); }

    // Waits at most timeout for room when the station does not read.
    bool write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Whatever arrives within the time-out, at most maximum bytes.
    std::vector<std::uint8_t> read(std::size_t maximum, std::chrono::milliseconds timeout);
    // Exactly count bytes, or fewer when the time-out runs out first.
    std::vector<std::uint8_t> readExactly(std::size_t count, std::chrono::milliseconds timeout);
    void closeMaster() { master_.close(); }

private:
    FileDescriptor master_;
    FileDescriptor slaveKeeper_;
    std::string slavePath_;
};

} // namespace platform
