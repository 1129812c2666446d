#include "library/Bytewriter.h"

#include <bit>

namespace {

template <typename Unsigned>
void appendLittleEndian(std::string& bytes, Unsigned value)
{
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

void ByteWriter::writeByte(std::uint8_t value)
{
    bytes_.push_back(static_cast<char>(value));
}

void ByteWriter::writeUint32(std::uint32_t value)
{
    appendLittleEndian(bytes_, value);
}

void ByteWriter::writeInt32(std::int32_t value)
{
    appendLittleEndian(bytes_, static_cast<std::uint32_t>(value));
}

void ByteWriter::writeDouble(double value)
{
    appendLittleEndian(bytes_, std::bit_cast<std::uint64_t>(value));
}

void ByteWriter::writeBytes(std::string_view bytes)
{
    bytes_.append(bytes);
}

void ByteWriter::writeZeros(std::size_t count)
{
    bytes_.append(count, '\0');
}

void ByteWriter::writeText(std::string_view bytes)
{
    bytes_.append(bytes);
    bytes_.push_back('\0');
}
