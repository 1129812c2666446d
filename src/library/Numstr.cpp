#include "library/Numstr.h"

#include "library/Decimalseparator.h"
#include "library/Strworks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace lib {
namespace {

std::optional<double> parseCLocaleReal(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string withRegionalSeparator(std::string text)
{
    std::replace(text.begin(), text.end(), '.', decimalSeparator());
    return text;
}

struct MagnitudeDecimals {
    double upTo;
    int decimals;
};

// Automatic decimals by magnitude; above 10 one decimal, between 1 and 10 two.
constexpr std::array<MagnitudeDecimals, 5> automaticDecimals{
    {{0.0001, 7}, {0.001, 6}, {0.01, 5}, {0.1, 4}, {1.0, 3}}};

int decimalsFor(double value)
{
    const double magnitude = std::fabs(value);
    for (const auto& step : automaticDecimals)
        if (magnitude <= step.upTo)
            return step.decimals;
    return magnitude > 10 ? 1 : 2;
}

std::string fixed(double value, int decimals)
{
    std::array<char, 640> buffer;  // the largest double with 300 decimals fits
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer.data(), result.ptr);
}

void dropTrailingZeros(std::string& text)
{
    if (text.find('.') == std::string::npos)
        return;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    if (text == "-0")
        text = "0";
}

} // namespace

double parseReal(std::string_view text)
{
    return parseTypedReal(text).value_or(0.0);
}

std::optional<double> parseTypedReal(std::string_view text)
{
    std::string normalised(trim(text));
    std::replace(normalised.begin(), normalised.end(), ',', '.');
    return parseCLocaleReal(normalised);
}

std::string formatReal(double value, int decimals, int width)
{
    std::string text;
    if (decimals < 0) {
        if (value == 0) {
            text = "0";
        } else {
            text = fixed(value, decimalsFor(value));
            dropTrailingZeros(text);
        }
    } else {
        text = fixed(value, std::min(decimals, 300));
    }
    text = withRegionalSeparator(std::move(text));
    const std::size_t wanted = static_cast<std::size_t>(std::max(width, 1));
    if (text.size() < wanted)
        text.insert(0, wanted - text.size(), ' ');
    return text;
}

std::string formatGeneral(double value)
{
    std::array<char, 64> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    return withRegionalSeparator(std::string(buffer.data(), result.ptr));
}

std::optional<double> parseRegionalReal(std::string_view text)
{
    const char separator = decimalSeparator();
    std::string normalised(trim(text));
    if (separator != '.') {
        if (normalised.find('.') != std::string::npos)
            return std::nullopt;
        std::replace(normalised.begin(), normalised.end(), separator, '.');
    }
    return parseCLocaleReal(normalised);
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    text = trim(text);
    bool hex = false;
    if (text.starts_with('$')) {
        hex = true;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        hex = true;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (hex) {
        // Hexadecimal spells the 32 bits, so $FFFFFFFF is -1.
        std::uint32_t bits = 0;
        const auto [stop, error] = std::from_chars(begin, end, bits, 16);
        if (error != std::errc() || stop != end)
            return std::nullopt;
        return static_cast<std::int32_t>(bits);
    }
    if (*begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+')
        ++begin;
    std::int32_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, 10);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace lib
