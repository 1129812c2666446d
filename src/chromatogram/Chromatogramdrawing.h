#pragma once

#include "chromatogram/Plotlayout.h"
#include "chromatogram/Surface.h"
#include "library/Mytime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Configuration;
class GazOptions;
class MyGraphics;

// One drawing of a chromatogram onto a surface: layout, scale, grid, frame, captions, the
// curve, the gas windows with their hatched peaks, the concentration labels, the results box
// and the title. The curve keeps the layout and the scale it was drawn with.
class ChromatogramDrawing {
public:
    // What the drawing reads besides the curve.
    struct Style {
        int samplesPerSecond = 8;       // "посылок_в_секунду"
        int screenSeconds = 120;        // "размер_экрана"
        std::uint32_t curveColour = 0;  // "цвет_кривой"
        int curveWidth = 1;             // "толщина_кривой"
        int valueLines = 10;            // "вертикальная_разлиновка": horizontal grid intervals
        int gridSeconds = 5;            // "горизонтальная_разлиновка": seconds between vertical lines
        std::string fontName = "TAHOMA";
        int fontSize = 8;
        std::vector<std::string> gasLabels;  // by gas, for the window labels
        bool resultsHidden = false;          // while the calibration window is visible
        std::function<lib::LocalSeconds()> clock = lib::localSecondsNow;

        static Style from(const Configuration& configuration, const GazOptions& gases);
    };

    ChromatogramDrawing(MyGraphics& curve, Surface& surface, const Style& style);

    void draw(const Surface::Rect& area, bool shadePeaks, bool stampTime);

    int valueToY(double value) const;
    int indexToX(std::int64_t index) const;

private:
    void layOut(const Surface::Rect& area);
    void chooseScale();
    void drawGrid();
    void drawFrame();
    void drawCaptions();
    void drawCurve();
    void drawWindows(bool shadePeaks);
    void hatchPeak(int firstIndex, int lastIndex, std::uint32_t colour);
    void drawLabels();
    void drawResultsBox(bool stampTime);
    void drawTitle();
    int clampY(int y) const;
    bool drawable() const;

    MyGraphics& curve_;
    Surface& surface_;
    const Style& style_;
    Surface::Rect area_;
    PlotLayout plot_;  // what the curve keeps of this drawing
    int textHeight_ = 0;
    int axisTextY_ = 0;
};
