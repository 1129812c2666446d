#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds the little-endian byte image of curve and history files in memory; the file is then
// written in one piece.
class ByteWriter {
public:
    void writeByte(std::uint8_t value);
    void writeUint32(std::uint32_t value);
    void writeInt32(std::int32_t value);
    void writeDouble(double value);
    void writeBytes(std::string_view bytes);
    void writeZeros(std::size_t count);
    // The bytes followed by one zero byte.
    void writeText(std::string_view bytes);

    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};
