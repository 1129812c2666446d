#include "library/Colorpalette.h"
#include "library/Colorselection.h"
#include "library/Dropdownplace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lib::PaletteCell;

TEST(Palette, EveryRowRunsFromItsLightToItsDarkEndThroughItsBase)
{
    struct RowCase {
        int row;
        std::uint32_t light, middle, dark;  // columns 0, 7 and 12
    };
    const RowCase cases[] = {
        {0, 0xE0E0FF, 0x0000FF, 0x00005F},  // red
        {1, 0xE0FFFF, 0x0080FF, 0x00005F},  // orange: channels clamp at both ends
        {2, 0xE0FFFF, 0x00FFFF, 0x005F5F},  // yellow
        {3, 0xE0FFE0, 0x00FF00, 0x005F00},  // green
        {4, 0xFFFFE0, 0xFFFF00, 0x5F5F00},  // cyan
        {5, 0xFFE0E0, 0xFF0000, 0x5F0000},  // blue
        {6, 0xFFE0FF, 0xFF00FF, 0x5F005F},  // magenta
        {7, 0xFFFFFF, 0x6B6B6B, 0x000000},  // grey: -256 / 12 truncates to -21
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lib::paletteColour({0, c.row}), c.light) << "row " << c.row;
        EXPECT_EQ(lib::paletteColour({7, c.row}), c.middle) << "row " << c.row;
        EXPECT_EQ(lib::paletteColour({12, c.row}), c.dark) << "row " << c.row;
    }
    EXPECT_EQ(lib::paletteColour({6, 7}), 0x808080u);
}

TEST(Palette, CellUnderAPointStaysInsideThePalette)
{
    struct PointCase {
        int x, y, width, height;
        PaletteCell cell;
    };
    const PointCase cases[] = {
        {0, 0, 234, 144, {0, 0}},
        {17, 17, 234, 144, {0, 0}},   // 17 * 13 / 234 < 1
        {18, 18, 234, 144, {1, 1}},
        {233, 143, 234, 144, {12, 7}},
        {234, 144, 234, 144, {12, 7}},  // the right and bottom ends
        {5000, 5000, 234, 144, {12, 7}},
        {-40, -1, 234, 144, {0, 0}},
        {10, 10, 0, 0, {0, 0}},         // a palette not laid out yet
    };
    for (const auto& c : cases)
        EXPECT_EQ(lib::paletteCellAt(c.x, c.y, c.width, c.height), c.cell) << c.x << "," << c.y;
}

TEST(Palette, CellRectanglesTileThePaletteAndAgreeWithClicks)
{
    const std::pair<int, int> sizes[] = {{234, 144}, {100, 50}, {13, 8}, {20, 9}, {301, 167}};
    for (const auto& [width, height] : sizes) {
        for (int row = 0; row < lib::paletteRows; ++row) {
            for (int column = 0; column < lib::paletteColumns; ++column) {
                const PaletteCell cell{column, row};
                const lib::PaletteRect r = lib::paletteCellRect(cell, width, height);
                ASSERT_LT(r.left, r.right) << width << "x" << height;
                ASSERT_LT(r.top, r.bottom) << width << "x" << height;
                EXPECT_EQ(lib::paletteCellAt(r.left, r.top, width, height), cell);
                EXPECT_EQ(lib::paletteCellAt(r.right - 1, r.bottom - 1, width, height), cell);
                EXPECT_EQ(r.left, lib::paletteCellRect({column - 1, row}, width, height).right);
            }
        }
        EXPECT_EQ(lib::paletteCellRect({12, 7}, width, height).right, width);
        EXPECT_EQ(lib::paletteCellRect({12, 7}, width, height).bottom, height);
    }
}

TEST(Palette, CellOfAColourIsTheFirstHoldingItOrNone)
{
    EXPECT_EQ(lib::paletteCellOf(0xFF0000), (PaletteCell{7, 5}));
    EXPECT_EQ(lib::paletteCellOf(0x000000), (PaletteCell{12, 7}));
    EXPECT_EQ(lib::paletteCellOf(0xE0FFFF), (PaletteCell{0, 1}));   // orange and yellow share it
    EXPECT_EQ(lib::paletteCellOf(0x00005F), (PaletteCell{12, 0}));  // red and orange share it
    EXPECT_EQ(lib::paletteCellOf(0x123456), std::nullopt);
    EXPECT_EQ(lib::paletteCellOf(0x80000005), std::nullopt);  // a system colour
    for (int row = 0; row < lib::paletteRows; ++row)
        for (int column = 0; column < lib::paletteColumns; ++column) {
            const auto found = lib::paletteCellOf(lib::paletteColour({column, row}));
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(lib::paletteColour(*found), lib::paletteColour({column, row}));
        }
}

TEST(ColorSelection, DefaultsAndClampedValues)
{
    lib::ColorSelection selection;
    EXPECT_EQ(selection.colour(), 0xFF0000u);
    EXPECT_EQ(selection.lineWidth(), 1);
    EXPECT_EQ(selection.fillStyle(), 0);
    EXPECT_EQ(selection.lineStyle(), 0);
    EXPECT_EQ(selection.mode(), 2);

    struct ClampCase {
        int given, width, fill, line, mode;
    };
    const ClampCase cases[] = {
        {-1, 1, 0, 0, 0}, {0, 1, 0, 0, 0}, {3, 3, 3, 3, 2}, {5, 5, 5, 4, 2}, {7, 5, 7, 4, 2}, {99, 5, 7, 4, 2},
    };
    for (const auto& c : cases) {
        selection.setLineWidth(c.given);
        selection.setFillStyle(c.given);
        selection.setLineStyle(c.given);
        selection.setMode(c.given);
        EXPECT_EQ(selection.lineWidth(), c.width) << c.given;
        EXPECT_EQ(selection.fillStyle(), c.fill) << c.given;
        EXPECT_EQ(selection.lineStyle(), c.line) << c.given;
        EXPECT_EQ(selection.mode(), c.mode) << c.given;
    }
}

TEST(ColorSelection, CaptionByModeTitleAndFlag)
{
    struct CaptionCase {
        int mode;
        const char* title;
        bool titleIsCaption;
        const char* expected;
    };
    const CaptionCase cases[] = {
        {0, "", false, " Цвет"},
        {1, "", false, " Цвет и толщина"},
        {2, "", false, " Цвет и палитра"},
        {2, "  Метан\t", false, " Цвет и палитра - ''Метан''"},
        {0, "Пропан", false, " Цвет - ''Пропан''"},
        {1, "  Свой заголовок ", true, "  Свой заголовок "},
        {2, "", true, ""},
    };
    for (const auto& c : cases) {
        lib::ColorSelection selection;
        selection.setMode(c.mode);
        EXPECT_EQ(selection.caption(c.title, c.titleIsCaption), c.expected) << c.mode << " '" << c.title << "'";
    }
}

TEST(ColorSelection, StripsMapTheirWholeWidthAndNoFurther)
{
    struct StripCase {
        int x, stripWidth, width, lineStyle, fill;
    };
    const StripCase cases[] = {
        {0, 100, 1, 0, 0},
        {12, 100, 1, 0, 0},
        {13, 100, 1, 0, 1},
        {19, 100, 1, 0, 1},
        {20, 100, 2, 1, 1},
        {50, 100, 3, 2, 4},
        {99, 100, 5, 4, 7},
        {100, 100, 5, 4, 7},  // the right end
        {400, 100, 5, 4, 7},
        {-7, 100, 1, 0, 0},
        {30, 0, 1, 0, 0},     // a strip not laid out yet
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lib::ColorSelection::lineWidthAt(c.x, c.stripWidth), c.width) << c.x << " of " << c.stripWidth;
        EXPECT_EQ(lib::ColorSelection::lineStyleAt(c.x, c.stripWidth), c.lineStyle) << c.x << " of " << c.stripWidth;
        EXPECT_EQ(lib::ColorSelection::fillStyleAt(c.x, c.stripWidth), c.fill) << c.x << " of " << c.stripWidth;
    }
}

TEST(ColorSelection, StripCellsDrawnFromTheirEdgesAreTheCellsClicksFind)
{
    for (const int stripWidth : {100, 234, 8, 251}) {
        for (int cell = 0; cell < 8; ++cell) {
            const int first = lib::cellEdge(cell, 8, stripWidth);
            const int last = lib::cellEdge(cell + 1, 8, stripWidth) - 1;
            EXPECT_EQ(lib::ColorSelection::fillStyleAt(first, stripWidth), cell) << stripWidth;
            EXPECT_EQ(lib::ColorSelection::fillStyleAt(last, stripWidth), cell) << stripWidth;
        }
        for (int cell = 0; cell < 5; ++cell) {
            const int first = lib::cellEdge(cell, 5, stripWidth);
            const int last = lib::cellEdge(cell + 1, 5, stripWidth) - 1;
            EXPECT_EQ(lib::ColorSelection::lineWidthAt(first, stripWidth), cell + 1) << stripWidth;
            EXPECT_EQ(lib::ColorSelection::lineWidthAt(last, stripWidth), cell + 1) << stripWidth;
            EXPECT_EQ(lib::ColorSelection::lineStyleAt(last, stripWidth), cell) << stripWidth;
        }
        EXPECT_EQ(lib::cellEdge(8, 8, stripWidth), stripWidth);
    }
}

TEST(ColorSelection, SampleLinesContrastWithTheWindow)
{
    EXPECT_EQ(lib::ColorSelection::contrastingColour(0xFFFFFF), 0x000000u);
    EXPECT_EQ(lib::ColorSelection::contrastingColour(0xF0F0F0), 0x000000u);
    EXPECT_EQ(lib::ColorSelection::contrastingColour(0x800000), 0xFFFFFFu);  // navy
    EXPECT_EQ(lib::ColorSelection::contrastingColour(0x000000), 0xFFFFFFu);
}

TEST(DropDownPlace, OpensUnderTheControlAndStaysOnTheScreen)
{
    struct PlaceCase {
        const char* what;
        lib::Box anchor;
        int width, height;
        lib::Box screen;
        lib::Box expected;
        bool below;
    };
    const lib::Box screen{0, 0, 800, 600};
    const PlaceCase cases[] = {
        {"room below", {100, 100, 80, 20}, 200, 130, screen, {100, 120, 200, 130}, true},
        {"exactly fits below", {100, 450, 80, 20}, 200, 130, screen, {100, 470, 200, 130}, true},
        {"right edge", {750, 100, 40, 20}, 200, 130, screen, {600, 120, 200, 130}, true},
        {"bottom edge", {100, 560, 80, 20}, 200, 130, screen, {100, 430, 200, 130}, false},
        {"fits nowhere, more room below", {0, 250, 80, 20}, 200, 400, screen, {0, 200, 200, 400}, true},
        {"fits nowhere, more room above", {0, 400, 80, 20}, 200, 500, screen, {0, 0, 200, 500}, false},
        {"wider than the screen", {300, 10, 80, 20}, 900, 100, screen, {0, 30, 900, 100}, true},
        {"second screen", {1900, 1000, 60, 20}, 200, 130, {1920, 0, 1280, 1024}, {1920, 870, 200, 130}, false},
    };
    for (const auto& c : cases) {
        const lib::DropDownPlace place = lib::dropDownPlace(c.anchor, c.width, c.height, c.screen);
        EXPECT_EQ(place.box, c.expected) << c.what;
        EXPECT_EQ(place.below, c.below) << c.what;
    }
}

} // namespace
