#pragma once

// One gas of one calibration entry: the known share of the gas in the reference mixture and
// the response the calculation measured for it (area, or peak value in peak mode).
struct GazEtalPoint {
    double concentration = 0;  // percent
    double area = 0;
};
