#include "results/Historygrid.h"

#include <algorithm>
#include <cstdint>

namespace {

// The cell edges in 64 bits: a wide paint area times a column number must not overflow.
int share(int length, int margin, std::size_t part, int parts)
{
    const std::int64_t span = std::int64_t{length} - margin;
    return static_cast<int>(span * static_cast<std::int64_t>(part) / parts);
}

} // namespace

GridRect HistoryGrid::cell(std::size_t index) const
{
    const std::size_t column = index % columns;
    const std::size_t row = index / columns;
    return {margin_ + share(width_, margin_, column, columns), margin_ + share(height_, margin_, row, rows),
            share(width_, margin_, column + 1, columns), share(height_, margin_, row + 1, rows)};
}

std::optional<std::size_t> HistoryGrid::cellAt(int x, int y, std::size_t entryCount) const
{
    const std::size_t cells = std::min(entryCount, cellCount);
    for (std::size_t i = 0; i < cells; ++i)
        if (cell(i).contains(x, y))
            return i;
    return std::nullopt;
}
