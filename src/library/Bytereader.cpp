#include "library/Bytereader.h"

#include <algorithm>
#include <bit>

template <typename Unsigned>
std::optional<Unsigned> ByteReader::readLittleEndian()
{
    const auto bytes = readBytes(sizeof(Unsigned));
    if (!bytes)
        return std::nullopt;
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        value |= static_cast<Unsigned>(static_cast<unsigned char>((*bytes)[i])) << (8 * i);
    return value;
}

std::optional<std::uint8_t> ByteReader::readByte()
{
    return readLittleEndian<std::uint8_t>();
}

std::optional<std::uint32_t> ByteReader::readUint32()
{
    return readLittleEndian<std::uint32_t>();
}

std::optional<std::int32_t> ByteReader::readInt32()
{
    const auto value = readUint32();
    if (!value)
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<double> ByteReader::readDouble()
{
    const auto value = readLittleEndian<std::uint64_t>();
    if (!value)
        return std::nullopt;
    return std::bit_cast<double>(*value);
}

std::optional<std::string_view> ByteReader::readBytes(std::size_t count)
{
    if (stopped_ || rest_.size() < count) {
        stopped_ = true;
        return std::nullopt;
    }
    const std::string_view bytes = rest_.substr(0, count);
    rest_.remove_prefix(count);
    return bytes;
}

std::optional<std::string_view> ByteReader::readText(std::size_t maxLength)
{
    if (stopped_)
        return std::nullopt;
    const std::string_view window = rest_.substr(0, std::min(rest_.size(), maxLength + 1));
    const std::size_t zero = window.find('\0');
    if (zero == std::string_view::npos) {
        stopped_ = true;
        return std::nullopt;
    }
    const std::string_view text = rest_.substr(0, zero);
    rest_.remove_prefix(zero + 1);
    return text;
}

bool ByteReader::canHold(std::size_t count, std::size_t recordSize) const
{
    return recordSize == 0 || count <= remaining() / recordSize;
}
