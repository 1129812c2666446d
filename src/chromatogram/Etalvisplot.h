#pragma once

#include "analysis/Gazetalline.h"
#include "chromatogram/Surface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The calibration curve of one gas: area ÷ degassing coefficient against concentration on
// logarithmic axes, one red point per entry, and the operator dragging a point up or down to
// change that entry's area. Keeps its own copy of the entries; the window hands it back on
// "Применить".
class EtalVisPlot {
public:
    static constexpr std::size_t maximumShown = 16;
    static constexpr int startExponent = -5;
    static constexpr int lastExponent = 6;

    // Red in the low byte.
    static constexpr std::uint32_t background = 0xFFFFFF;
    static constexpr std::uint32_t gridGrey = 0xC0C0C0;
    static constexpr std::uint32_t labelBlack = 0x000000;
    static constexpr std::uint32_t titleGreen = 0x008000;
    static constexpr std::uint32_t pointRed = 0x0000FF;
    static constexpr std::uint32_t valueYellow = 0x00FFFF;
    static constexpr int lineWidth = 2;

    static constexpr const char* concentrationTitle = "Конц.";
    static constexpr const char* areaTitle = "Площ.";

    // One logarithmic axis from 10^startExponent to 10^endExponent, drawn from pixel lo to
    // pixel hi (hi above lo on the screen for the vertical axis).
    struct Axis {
        int endExponent = startExponent + 1;
        int lo = 0;
        int hi = 0;

        // For a value > 0.
        int pixel(double value) const;
        double value(int pixel) const;
        double start() const;
        double end() const;
    };

    // The first decade 1e-07 … 1e+06 above the largest value, 1e+06 past that. An end at or
    // below the start would leave the axis without length: it is then one decade above it.
    static int endExponentFor(double largest);

    // Texts of the grid "Коэффициенты калибровки:", one column per entry.
    static constexpr std::array<const char*, 4> gridRowTitles{" № ", " Конц.,% ", " Площ. ", " Коэф. "};
    static constexpr const char* noCoefficient = "-------";
    using GridColumn = std::array<std::string, 4>;

    // A degassing coefficient of 0 (or no number) would divide every area by 0: it counts as 1.
    EtalVisPlot(std::vector<GazEtalLine> entries, double degassing);

    const std::vector<GazEtalLine>& entries() const { return entries_; }
    double degassing() const { return degassing_; }

    // Drops a pick.
    void setGas(std::size_t gas);
    std::size_t gas() const { return gas_; }

    // The gas's point of an entry; (0, 0) for an entry shorter than the gas table.
    GazEtalPoint point(std::size_t entry) const;
    double shownArea(std::size_t entry) const;
    // Both values > 0, among the first maximumShown entries.
    bool drawn(std::size_t entry) const;

    std::vector<GridColumn> gridColumns() const;

    // The whole picture into area; circles of radius pixelsPerInch ÷ 20. Keeps the layout for
    // picking. While a point is dragged the axes keep their ends, so the point follows the
    // pointer instead of the scale running away from it.
    void draw(Surface& surface, const Surface::Rect& area, int pixelsPerInch);

    const Surface::Rect& plotRect() const { return plot_; }
    const Axis& horizontal() const { return horizontal_; }
    const Axis& vertical() const { return vertical_; }
    // Where an entry's point is drawn, inside the plot.
    Surface::Point pointAt(std::size_t entry) const;

    // The drawn entry whose point is vertically nearest to the pointer (the first of equals);
    // nothing before the first drawing or when no point is drawn.
    std::optional<std::size_t> pick(Surface::Point pointer);
    // The picked entry's area becomes the value under the pointer (kept within the axis) ×
    // degassing; false when nothing is picked.
    bool drag(Surface::Point pointer);
    void release() { picked_.reset(); }
    std::optional<std::size_t> picked() const { return picked_; }

private:
    void layOut(Surface& surface, const Surface::Rect& area);
    void fitEnds();
    void drawGrid(Surface& surface) const;
    void drawLabels(Surface& surface) const;
    void drawTitles(Surface& surface) const;
    std::vector<Surface::Point> drawnPoints() const;
    void drawLine(Surface& surface) const;
    void drawPoints(Surface& surface, int radius) const;
    void drawValues(Surface& surface, const Surface::Rect& area, int radius) const;
    std::size_t shownCount() const;

    std::vector<GazEtalLine> entries_;
    double degassing_;
    std::size_t gas_ = 0;
    std::optional<std::size_t> picked_;
    bool laidOut_ = false;
    Surface::Rect plot_;
    Axis horizontal_;
    Axis vertical_;
    int textHeight_ = 0;
};
