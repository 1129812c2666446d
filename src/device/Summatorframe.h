#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The frame of the separate gas summator: "MMV", then 21 bytes that sum to 0 modulo 256.
namespace summatorframe {

constexpr std::string_view header = "MMV";
constexpr std::size_t bodySize = 21;
using Body = std::array<std::uint8_t, bodySize>;

// The main reading × 10^exponent; nothing when the bytes do not balance.
std::optional<double> decode(std::span<const std::uint8_t, bodySize> body);
// Counter, exponent and main reading; the last byte balances the sum.
Body encode(std::uint8_t counter, std::int8_t exponent, std::int16_t reading);

} // namespace summatorframe
