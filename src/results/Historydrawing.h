#pragma once

#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Surface.h"

#include <cstddef>
#include <cstdint>

class History;

// The picture of the history page: every entry in its cell of the 3 × 8 grid, drawn as an
// archived chromatogram, and a frame around the selected one.
class HistoryDrawing {
public:
    // The selection frame, outermost pen first: blue (red in the low byte) of width 3 and 2,
    // then a white line of width 1 along the middle.
    static constexpr std::uint32_t frameBlue = 0xFF0000;
    static constexpr std::uint32_t frameWhite = 0xFFFFFF;

    // The style's font is the page's; the pictures use two thirds of its size.
    HistoryDrawing(const History& history, const ChromatogramDrawing::Style& style);

    // Only the cells meeting `repaint` are drawn; the paint area is width × height with margin
    // pixels around and between the cells.
    void paint(Surface& surface, int width, int height, int margin, const Surface::Rect& repaint) const;
    // The same in two steps, for a page that keeps each picture until its entry or the style
    // changes: one entry into a cell, and the frame of the selected entry.
    void paintEntry(Surface& surface, std::size_t index, const Surface::Rect& cell) const;
    void paintSelection(Surface& surface, int width, int height, int margin) const;

    // The page's margin: the screen's pixels per inch divided by 20.
    static int marginFor(int pixelsPerInch);
    // A paint area width pixels wide gets this height: cells about two and a half times as wide
    // as high, never lower than minimumCellHeight.
    static constexpr int minimumCellHeight = 90;
    static int pageHeight(int width, int margin);

private:
    void drawEntry(MyGraphics& picture, Surface& surface, const Surface::Rect& cell) const;
    void drawSelection(Surface& surface, const Surface::Rect& cell) const;

    const History& history_;
    const ChromatogramDrawing::Style& style_;
};
