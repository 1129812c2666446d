#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lib {

// Reads a number typed or stored as text, with a comma or a point; anything else gives 0.
double parseReal(std::string_view text);
// The same reading, with nothing for a text that is no number: where a typing slip must not
// become a 0.
std::optional<double> parseTypedReal(std::string_view text);

// decimals = -1: as many decimals as the magnitude needs, trailing zeros dropped; otherwise
// exactly that many. Padded on the left with blanks to width characters.
std::string formatReal(double value, int decimals = -1, int width = 0);

// The shortest general form with at most 15 significant digits and the regional separator:
// how real numbers are stored in settings files.
std::string formatGeneral(double value);

// Reads the form formatGeneral writes (regional separator only); nothing for other text.
std::optional<double> parseRegionalReal(std::string_view text);

// A 32-bit integer in decimal, or hexadecimal after "$" or "0x"; nothing for other text.
std::optional<std::int32_t> parseInteger(std::string_view text);

} // namespace lib
