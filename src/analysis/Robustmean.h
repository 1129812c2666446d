#pragma once

#include <span>

// The mean of a calibration's repeated measurements with the outliers set aside: none for up to
// two values, the one farther from the mean of three, the largest and the smallest of four to
// six, the two largest and the two smallest of more. 0 when nothing is left.
double robustMean(std::span<const double> values);

// What a set-aside value is overwritten with; a measured value within 0.1 of it counts as set
// aside too.
constexpr double excludedValueMarker = -987654321.0;
