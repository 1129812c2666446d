#include "chromatogram/Simplegraphics.h"

#include <algorithm>

namespace simplegraphics {

namespace {

int channel(std::uint32_t colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFFu);
}

} // namespace

std::uint32_t contrastColour(std::uint32_t colour)
{
    const double brightness = 0.2 * channel(colour, 16) + 0.5 * channel(colour, 8) + 0.3 * channel(colour, 0);
    return brightness >= 120 ? 0x000000u : 0xFFFFFFu;
}

std::uint32_t lightenColour(std::uint32_t colour, int amount)
{
    std::uint32_t lightened = colour & 0xFF000000u;
    for (const int shift : {0, 8, 16})
        lightened |= static_cast<std::uint32_t>(std::clamp(channel(colour, shift) + amount, 0, 255)) << shift;
    return lightened;
}

void drawPolyline(Surface& surface, std::span<const Surface::Point> points)
{
    if (points.size() < 2) {
        if (!points.empty())
            surface.polyline(points);
        return;
    }
    for (std::size_t first = 0; first + 1 < points.size(); first += maxPolylinePoints - 1) {
        const std::size_t count = std::min(maxPolylinePoints, points.size() - first);
        surface.polyline(points.subspan(first, count));
    }
}

} // namespace simplegraphics
