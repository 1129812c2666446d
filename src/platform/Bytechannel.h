#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

struct ReadResult {
    bool ok = true;          // false: the read failed (line error, device gone); clear and retry
    std::size_t count = 0;   // bytes received; fewer than asked means the time-out ran out
};

// A byte stream to an instrument with bounded reads: a serial port, or bytes in memory for
// tests, fuzzing and benchmarks.
class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Waits at most the channel's time-outs for buffer.size() bytes.
    virtual ReadResult read(std::span<std::uint8_t> buffer) = 0;
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Clears the error state a failed read leaves behind.
    virtual void clearError() = 0;
};

} // namespace platform
