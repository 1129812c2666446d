#pragma once

// Where the last drawing put the plot, kept with the curve for the range handles and printing.
struct PlotLayout {
    int areaLeft = 0;
    int areaTop = 0;
    int areaRight = 0;
    int areaBottom = 0;
    int unit = 0;  // a third of the text height
    int plotLeft = 0;
    int plotTop = 0;
    int plotRight = 0;
    int plotBottom = 0;
    double minimum = 0;
    double maximum = 0;

    bool operator==(const PlotLayout&) const = default;
};
