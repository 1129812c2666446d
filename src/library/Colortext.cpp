#include "library/Colortext.h"

#include "library/Numstr.h"
#include "library/Strworks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace lib {
namespace {

struct NamedColour {
    std::string_view name;
    std::uint32_t colour;
};

constexpr std::array<NamedColour, 16> namedColours{{
    {"black", 0x000000},
    {"maroon", 0x000080},
    {"green", 0x008000},
    {"olive", 0x008080},
    {"navy", 0x800000},
    {"purple", 0x800080},
    {"teal", 0x808000},
    {"gray", 0x808080},
    {"silver", 0xC0C0C0},
    {"red", 0x0000FF},
    {"lime", 0x00FF00},
    {"yellow", 0x00FFFF},
    {"blue", 0xFF0000},
    {"fuchsia", 0xFF00FF},
    {"aqua", 0xFFFF00},
    {"white", 0xFFFFFF},
}};

constexpr std::uint32_t colourBits = 0xFFFFFF;

bool sameLetters(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::uint32_t colourFromText(std::string_view text)
{
    text = trim(text);
    const auto named = std::ranges::find_if(namedColours, [text](const NamedColour& entry) { return sameLetters(entry.name, text); });
    if (named != namedColours.end())
        return named->colour;
    const std::optional<std::int32_t> number = parseInteger(text);
    if (!number || *number < 0 || static_cast<std::uint32_t>(*number) > colourBits)
        return 0;
    return static_cast<std::uint32_t>(*number);
}

std::string colourToText(std::uint32_t colour)
{
    colour &= colourBits;
    const auto named = std::ranges::find(namedColours, colour, &NamedColour::colour);
    if (named != namedColours.end())
        return std::string(named->name);
    char hex[8];
    std::snprintf(hex, sizeof hex, "$%06X", static_cast<unsigned>(colour));
    return hex;
}

} // namespace lib
