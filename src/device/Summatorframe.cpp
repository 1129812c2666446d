#include "device/Summatorframe.h"

#include <cmath>
#include <numeric>

namespace summatorframe {

std::optional<double> decode(std::span<const std::uint8_t, bodySize> body)
{
    if (std::accumulate(body.begin(), body.end(), 0u) % 256 != 0)
        return std::nullopt;
    const auto exponent = static_cast<std::int8_t>(body[1]);
    const auto reading = static_cast<std::int16_t>(body[2] | (body[3] << 8));
    return reading * std::pow(10.0, exponent);
}

Body encode(std::uint8_t counter, std::int8_t exponent, std::int16_t reading)
{
    Body body{};
    body[0] = counter;
    body[1] = static_cast<std::uint8_t>(exponent);
    const auto bits = static_cast<std::uint16_t>(reading);
    body[2] = static_cast<std::uint8_t>(bits & 0xFF);
    body[3] = static_cast<std::uint8_t>(bits >> 8);
    const unsigned sum = std::accumulate(body.begin(), body.end() - 1, 0u);
    body[bodySize - 1] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    return body;
}

} // namespace summatorframe
