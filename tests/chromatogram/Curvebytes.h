#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

// Hand-built pieces of curve and history files, little-endian as the files hold them.
namespace curvebytes {

inline std::string le32(std::uint32_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
            static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
}

inline std::string leDouble(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return le32(static_cast<std::uint32_t>(bits)) + le32(static_cast<std::uint32_t>(bits >> 32));
}

inline std::string text(std::string_view cp1251)
{
    return std::string(cp1251) + '\0';
}

inline std::string point(double value, std::int32_t second)
{
    return std::string(8, '\0') + leDouble(value) + le32(static_cast<std::uint32_t>(second)) + std::string(4, '\0');
}

inline std::string mark(std::uint32_t colour, std::int32_t first, std::int32_t last, double peak, char flag,
                        std::string_view name, std::string_view result)
{
    return le32(colour) + le32(static_cast<std::uint32_t>(first)) + le32(static_cast<std::uint32_t>(last))
        + leDouble(peak) + std::string(1, flag) + text(name) + text(result);
}

inline std::string header(std::string_view title, std::uint32_t background, std::uint32_t frame)
{
    return text(title) + le32(background) + le32(frame);
}

} // namespace curvebytes
