#pragma once

#include <cstdint>
#include <optional>

namespace lib {

// The colour palette of 13 columns by 8 rows: each row one hue (red, orange, yellow, green, cyan,
// blue, magenta, grey) running from light on the left to dark on the right. Colours are 0xBBGGRR.
constexpr int paletteColumns = 13;
constexpr int paletteRows = 8;

struct PaletteCell {
    int column = 0;
    int row = 0;
    friend bool operator==(const PaletteCell&, const PaletteCell&) = default;
};

// Pixel bounds of a cell, right and bottom exclusive.
struct PaletteRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

std::uint32_t paletteColour(PaletteCell cell);

// The first pixel of cell index when size pixels are cut into count cells the way clicks are
// mapped (position × count / size): cells drawn from these edges are the cells clicks find.
int cellEdge(int index, int count, int size);

// The cell under a point of a palette of the given size; points outside fall on the nearest cell.
PaletteCell paletteCellAt(int x, int y, int width, int height);

// The cell paletteCellAt gives for every point of it, so clicks and drawing agree.
PaletteRect paletteCellRect(PaletteCell cell, int width, int height);

// The first cell (by row, then column) holding the colour; none when the palette lacks it.
std::optional<PaletteCell> paletteCellOf(std::uint32_t colour);

} // namespace lib
