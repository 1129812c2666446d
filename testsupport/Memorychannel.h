#pragma once

#include "platform/Bytechannel.h"

#include <cstdint>
#include <vector>

namespace platform {

// Bytes in memory standing for an instrument: for tests, fuzzing and benchmarks. Past the last
// byte it is silent (reads return nothing); failures can be placed before any byte offset.
class MemoryChannel : public ByteChannel {
public:
    MemoryChannel() = default;
    explicit MemoryChannel(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    void append(std::span<const std::uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    // The next read that reaches this offset fails once before delivering it.
    void failAt(std::size_t offset) { failures_.push_back(offset); }
    void failNow() { failAt(bytes_.size()); }

    ReadResult read(std::span<std::uint8_t> buffer) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void clearError() override { ++clears_; }

    const std::vector<std::uint8_t>& written() const { return written_; }
    std::size_t position() const { return position_; }
    int clears() const { return clears_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> failures_;  // in the order added, each used once
    std::size_t nextFailure_ = 0;
    std::size_t position_ = 0;
    std::vector<std::uint8_t> written_;
    int clears_ = 0;
};

} // namespace platform
