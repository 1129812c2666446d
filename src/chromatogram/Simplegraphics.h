#pragma once

#include "chromatogram/Surface.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Small helpers of the chromatogram drawing.
namespace simplegraphics {

// Some devices take at most this many points in one polyline.
constexpr std::size_t maxPolylinePoints = 4095;

// Black over a light colour, white over a dark one.
std::uint32_t contrastColour(std::uint32_t colour);
// Each of red, green and blue raised by amount, at most 255.
std::uint32_t lightenColour(std::uint32_t colour, int amount);
// As polylines of at most maxPolylinePoints; each starts where the one before ended, so the
// line is unbroken.
void drawPolyline(Surface& surface, std::span<const Surface::Point> points);

} // namespace simplegraphics
