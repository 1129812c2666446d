#include "results/Historydrawing.h"

#include "chromatogram/Graphics.h"
#include "results/History.h"

#include <algorithm>
#include <array>

namespace {

using PenStyle = Surface::PenStyle;

struct FrameLine {
    std::uint32_t colour;
    int width;
};
constexpr std::array<FrameLine, 3> selectionFrame{{
    {HistoryDrawing::frameBlue, 3},
    {HistoryDrawing::frameBlue, 2},
    {HistoryDrawing::frameWhite, 1},
}};

bool meets(const Surface::Rect& a, const Surface::Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

Surface::Rect cellOf(std::size_t index, int width, int height, int margin)
{
    const GridRect cell = History::entryRect(index, width, height, margin);
    return {cell.left, cell.top, cell.right, cell.bottom};
}

} // namespace

HistoryDrawing::HistoryDrawing(const History& history, const ChromatogramDrawing::Style& style)
    : history_(history), style_(style)
{
}

void HistoryDrawing::paint(Surface& surface, int width, int height, int margin, const Surface::Rect& repaint) const
{
    for (std::size_t i = 0; i < history_.entryCount(); ++i) {
        const Surface::Rect cell = cellOf(i, width, height, margin);
        if (meets(cell, repaint))
            paintEntry(surface, i, cell);
    }
    paintSelection(surface, width, height, margin);
}

// The drawing keeps its layout and scale in the curve it draws, while the history lends its
// entries read-only: each is drawn from a copy.
void HistoryDrawing::paintEntry(Surface& surface, std::size_t index, const Surface::Rect& cell) const
{
    MyGraphics picture = history_.entry(index);
    drawEntry(picture, surface, cell);
}

void HistoryDrawing::paintSelection(Surface& surface, int width, int height, int margin) const
{
    if (history_.selectedEntry())
        drawSelection(surface, cellOf(static_cast<std::size_t>(history_.selected()), width, height, margin));
}

// An archived drawing keeps the surface's font: the captions take the curve's frame colour,
// which stands out from its background.
void HistoryDrawing::drawEntry(MyGraphics& picture, Surface& surface, const Surface::Rect& cell) const
{
    surface.setFont(style_.fontName, style_.fontSize * 2 / 3, picture.frameColour());
    surface.setPen(picture.frameColour(), 1, PenStyle::solid);
    ChromatogramDrawing(picture, surface, style_).draw(cell, true, false);
}

void HistoryDrawing::drawSelection(Surface& surface, const Surface::Rect& cell) const
{
    for (const FrameLine& line : selectionFrame) {
        surface.setPen(line.colour, line.width, PenStyle::solid);
        surface.frameRect(cell);
    }
}

int HistoryDrawing::marginFor(int pixelsPerInch)
{
    return std::max(pixelsPerInch, 0) / 20;
}

int HistoryDrawing::pageHeight(int width, int margin)
{
    const int cellWidth = (width - margin) / HistoryGrid::columns - margin;
    const int cellHeight = std::max(cellWidth * 2 / 5, minimumCellHeight);
    return margin + HistoryGrid::rows * (cellHeight + margin);
}
