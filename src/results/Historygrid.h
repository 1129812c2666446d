#pragma once

#include <cstddef>
#include <optional>

// A cell of the history page in pixels; right and bottom belong to it.
struct GridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    bool operator==(const GridRect&) const = default;
};

// The 3 × 8 grid of history pictures over a paint area of width × height with a margin
// between the cells, newest entry in the top-left cell.
class HistoryGrid {
public:
    static constexpr int columns = 3;
    static constexpr int rows = 8;
    static constexpr std::size_t cellCount = columns * rows;

    HistoryGrid(int width, int height, int margin) : width_(width), height_(height), margin_(margin) {}

    GridRect cell(std::size_t index) const;
    // The first of the first entryCount cells holding the point; none in the margins.
    std::optional<std::size_t> cellAt(int x, int y, std::size_t entryCount) const;

private:
    int width_;
    int height_;
    int margin_;
};
