#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads the little-endian fields of curve and history files from bytes in memory. The first
// read that cannot be satisfied stops the reader for good, like a file at its end: every later
// read fails too, so a damaged stream is never read on from a wrong position.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : rest_(bytes) {}
    // The reader only looks at the bytes: they must outlive it.
    explicit ByteReader(std::string&&) = delete;

    std::optional<std::uint8_t> readByte();
    std::optional<std::uint32_t> readUint32();
    std::optional<std::int32_t> readInt32();
    std::optional<double> readDouble();
    std::optional<std::string_view> readBytes(std::size_t count);
    // Bytes up to a zero byte that must come within maxLength + 1 bytes; the zero is consumed.
    std::optional<std::string_view> readText(std::size_t maxLength);

    // Whether count records of at least recordSize bytes each can still follow: asked before
    // anything is reserved for them.
    bool canHold(std::size_t count, std::size_t recordSize) const;

    std::size_t remaining() const { return stopped_ ? 0 : rest_.size(); }
    bool stopped() const { return stopped_; }
    void stop() { stopped_ = true; }

private:
    template <typename Unsigned>
    std::optional<Unsigned> readLittleEndian();

    std::string_view rest_;
    bool stopped_ = false;
};
