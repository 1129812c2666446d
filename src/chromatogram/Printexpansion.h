#pragma once

#include "chromatogram/Graphics.h"

#include <cstdint>

// A history entry made printable: the thinned archive copy filled back up to about the live
// rate by straight lines between its points, so that the page draws it as the display draws a
// live curve, with its gas windows and concentration labels.
class PrintExpansion {
public:
    // More points than a page could ever show; a rate that would go past it is lowered.
    static constexpr std::int64_t maxPoints = std::int64_t{1} << 22;

    // s points for every neighbouring pair (a, b) of the copy: a + (b − a) × i ÷ s for
    // i = 0 … s − 1, each with the elapsed seconds of b. A mark's first index becomes
    // first × s + s and its last index last × s − s; an index that would leave the int32 range
    // stays at its end, and the drawing leaves out what falls outside the curve, as on the
    // display. Fewer than two points give an empty curve. Title and results are not taken.
    static MyGraphics expand(const MyGraphics& archiveCopy, std::int32_t samplesPerSecond);

    // s: "посылок_в_секунду" div 2, at least 1, and lowered so that the curve stays within
    // maxPoints.
    static std::int32_t pointsPerPair(std::int32_t samplesPerSecond, std::size_t copyPoints);
};
