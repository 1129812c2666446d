#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lib {

// Colour cells hold their colour as text. Colours are 0xBBGGRR (red in the low byte).
//
// Read: one of the sixteen basic colour names (black, maroon, green, olive, navy, purple, teal,
// gray, silver, red, lime, yellow, blue, fuchsia, aqua, white; any case, blanks around ignored),
// or a number in decimal, or hexadecimal after "$" or "0x". Anything else, and any number outside
// 0 … 0xFFFFFF (a cell shows only plain colours), reads as 0.
std::uint32_t colourFromText(std::string_view text);

// Written: the colour's name when it has one, else "$" and six upper-case hexadecimal digits.
// Bits above the 24 colour bits are dropped.
std::string colourToText(std::uint32_t colour);

} // namespace lib
