#include "library/Colortext.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct ReadCase {
    const char* text;
    std::uint32_t colour;
};

TEST(ColourText, ReadsNamesAndNumbersAndGarbageAsBlack)
{
    const ReadCase cases[] = {
        {"black", 0x000000},      {"maroon", 0x000080},   {"green", 0x008000},    {"olive", 0x008080},
        {"navy", 0x800000},       {"purple", 0x800080},   {"teal", 0x808000},     {"gray", 0x808080},
        {"silver", 0xC0C0C0},     {"red", 0x0000FF},      {"lime", 0x00FF00},     {"yellow", 0x00FFFF},
        {"blue", 0xFF0000},       {"fuchsia", 0xFF00FF},  {"aqua", 0xFFFF00},     {"white", 0xFFFFFF},
        {"  Red ", 0x0000FF},     // any case, blanks around
        {"255", 0x0000FF},        {"$FF0000", 0xFF0000},  {"0x00ff00", 0x00FF00}, {"$ffffff", 0xFFFFFF},
        {"16777215", 0xFFFFFF},
        {"", 0},                  {"   ", 0},             {"redish", 0},          {"re d", 0},
        {"$", 0},                 {"0x", 0},              {"$GG", 0},             {"12a", 0},
        {"-1", 0},                // no negative colours
        {"16777216", 0},          {"$1000000", 0},        // beyond 24 bits: no plain colour
        {"$80000005", 0},         // a system colour is no cell colour
        {"99999999999999999999", 0},
        {"1.5", 0},
        {"красный", 0},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(lib::colourFromText(c.text), c.colour) << '"' << c.text << '"';
}

TEST(ColourText, WritesNameWhenThereIsOneElseHexAndReadsItBack)
{
    const ReadCase cases[] = {
        {"black", 0x000000},   {"red", 0x0000FF},      {"white", 0xFFFFFF},  {"navy", 0x800000},
        {"$000001", 0x000001}, {"$123456", 0x123456},  {"$ABCDEF", 0xABCDEF}, {"$7F7F7F", 0x7F7F7F},
        {"$FF0080", 0xFF0080},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(lib::colourToText(c.colour), c.text);
        EXPECT_EQ(lib::colourFromText(lib::colourToText(c.colour)), c.colour);
    }
    EXPECT_EQ(lib::colourToText(0x800000FFu), "red");  // the top byte is no part of a cell colour
}

} // namespace
