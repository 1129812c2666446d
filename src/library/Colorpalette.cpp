#include "library/Colorpalette.h"

#include "library/Myfunctions.h"

#include <algorithm>
#include <array>

namespace lib {
namespace {

constexpr std::array<std::uint32_t, paletteRows> rowBases{
    0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0x808080,
};
constexpr int greyRow = paletteRows - 1;

// The grey row takes smaller steps, so that it runs exactly from white to black.
int columnShift(int column, int row)
{
    return row == greyRow ? (1536 - 256 * column) / 12 : (2688 - 384 * column) / 12;
}

} // namespace

int cellEdge(int index, int count, int size)
{
    return count <= 0 ? 0 : (index * size + count - 1) / count;
}

std::uint32_t paletteColour(PaletteCell cell)
{
    const int row = std::clamp(cell.row, 0, paletteRows - 1);
    const int column = std::clamp(cell.column, 0, paletteColumns - 1);
    return lighter(rowBases[static_cast<std::size_t>(row)], columnShift(column, row));
}

PaletteCell paletteCellAt(int x, int y, int width, int height)
{
    const auto index = [](int position, int size, int count) {
        if (size <= 0)
            return 0;
        const long long scaled = static_cast<long long>(position) * count / size;
        return static_cast<int>(std::clamp<long long>(scaled, 0, count - 1));
    };
    return {index(x, width, paletteColumns), index(y, height, paletteRows)};
}

PaletteRect paletteCellRect(PaletteCell cell, int width, int height)
{
    return {cellEdge(cell.column, paletteColumns, width), cellEdge(cell.row, paletteRows, height),
            cellEdge(cell.column + 1, paletteColumns, width), cellEdge(cell.row + 1, paletteRows, height)};
}

std::optional<PaletteCell> paletteCellOf(std::uint32_t colour)
{
    for (int row = 0; row < paletteRows; ++row)
        for (int column = 0; column < paletteColumns; ++column)
            if (paletteColour({column, row}) == colour)
                return PaletteCell{column, row};
    return std::nullopt;
}

} // namespace lib
