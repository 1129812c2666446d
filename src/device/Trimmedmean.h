#pragma once

#include <span>

// The mean of what is left after the 20 largest and then the 20 smallest values are set aside;
// 0 when nothing is left. A value equal to the marker of a set-aside value counts as set aside.
double trimmedMean(std::span<const double> values);

constexpr double removedSampleMarker = -999999.0;
