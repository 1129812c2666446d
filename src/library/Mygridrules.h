#pragma once

#include <span>
#include <string_view>

namespace lib {

// What a cell of the station's editing grid offers, by the kind the grid's owner gives it:
// 0 text, 1 text with a list, 2 colour, 3 list only, 4 read-only, 5 text with a button,
// 6 button only.
enum class GridButtonAction { none, list, colour, value };

struct GridCellKind {
    bool textEditor;           // may be typed into
    GridButtonAction button;   // what the small button at the right end of the current cell does
    std::string_view caption;  // the button's caption and hint, UTF-8; empty without a button
    std::string_view hint;
};

inline constexpr int gridReadOnlyKind = 4;
inline constexpr int gridColourKind = 2;

// Any other number is read-only: a slip in the owner's handler must not open a cell to typing.
const GridCellKind& gridCellKind(int kind);

// In the name/value editor a value whose name is marked read-only is read-only whatever its
// owner says.
int gridKindOfValue(int asked, bool nameReadOnly);

// A list item chosen is flashed before it is written: selection hidden or shown, for how long.
struct FlashStep {
    bool selectionShown;
    int milliseconds;
};
std::span<const FlashStep> listChoiceFlash();

// Screen rectangles, in pixels.
struct ScreenBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const ScreenBox&) const = default;
};

// A drop-down list of the wanted size goes under the cell, its left edge on the cell's. Where the
// screen ends below it goes above the cell when it fits there, else on the roomier side, cut to
// that side (it scrolls then). It never leaves the screen sideways.
ScreenBox popupUnderCell(const ScreenBox& cell, int width, int height, const ScreenBox& screen);

// A window of the given size with its top left at the wanted point, moved as little as needed to
// lie inside the screen (its top left corner stays on screen when it is larger than the screen).
ScreenBox placeInside(int left, int top, int width, int height, const ScreenBox& screen);

// The colour pop-up unrolls downwards in ten steps of 10 ms: its height after step 1 … 10.
inline constexpr int unrollSteps = 10;
inline constexpr int unrollStepMilliseconds = 10;
int unrolledHeight(int fullHeight, int step);

} // namespace lib
