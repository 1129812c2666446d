#include "library/Myfunctions.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lib {

namespace {

// The classic desktop scheme (grey button faces, navy captions), by system colour index.
constexpr std::array<std::uint32_t, 31> systemColours = {
    0xC0C0C0, // scroll bar
    0x808000, // desktop background
    0x800000, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // application workspace
    0x800000, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x000000, // 3-D dark shadow
    0xDFDFDF, // 3-D light
    0x000000, // tooltip text
    0xE1FFFF, // tooltip background
    0x000000, // unused
    0xFF0000, // hot-tracked item
    0xD08410, // active caption gradient
    0xB5B5B5, // inactive caption gradient
    0x800000, // menu highlight
    0xC0C0C0, // menu bar
};

int clampChannel(int value) { return std::clamp(value, 0, 255); }

template <typename Channel>
std::uint32_t perChannel(std::uint32_t colour, Channel channel)
{
    const Rgb rgb = split(colour);
    return join({channel(rgb.red), channel(rgb.green), channel(rgb.blue)});
}

// The part of a polygon where side × (s − (x + y)) ≥ 0: Sutherland-Hodgman against the line
// x + y = s. The polygon's edges are either axis-parallel or on such a line, so every crossing
// lies on whole pixels.
std::vector<GradientPoint> clipToDiagonal(const std::vector<GradientPoint>& polygon, int s, int side)
{
    std::vector<GradientPoint> clipped;
    const auto inside = [&](const GradientPoint& p) { return side * (s - p.x - p.y); };
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const GradientPoint& p = polygon[i];
        const GradientPoint& q = polygon[(i + 1) % polygon.size()];
        const int fp = inside(p);
        const int fq = inside(q);
        if (fp >= 0)
            clipped.push_back(p);
        if ((fp > 0 && fq < 0) || (fp < 0 && fq > 0))
            clipped.push_back({p.x + (q.x - p.x) * fp / (fp - fq), p.y + (q.y - p.y) * fp / (fp - fq)});
    }
    clipped.erase(std::unique(clipped.begin(), clipped.end()), clipped.end());
    while (clipped.size() > 1 && clipped.front() == clipped.back())
        clipped.pop_back();
    return clipped;
}

GradientRect boundingRect(const std::vector<GradientPoint>& polygon)
{
    const auto [left, right] = std::minmax_element(polygon.begin(), polygon.end(),
                                                   [](const auto& a, const auto& b) { return a.x < b.x; });
    const auto [top, bottom] = std::minmax_element(polygon.begin(), polygon.end(),
                                                   [](const auto& a, const auto& b) { return a.y < b.y; });
    return {left->x, top->y, right->x - left->x, bottom->y - top->y};
}

std::vector<GradientBand> straightBands(const GradientRect& rect, bool alongY, std::uint32_t c1,
                                        std::uint32_t c2)
{
    const int length = alongY ? rect.height : rect.width;
    const int step = length < (alongY ? 60 : 160) ? 2 : 4;
    std::vector<GradientBand> bands;
    bands.reserve(static_cast<std::size_t>((length + step - 1) / step));
    for (int offset = 0; offset < length; offset += step) {
        const int size = std::min(step, length - offset);
        const GradientRect band = alongY ? GradientRect{rect.left, rect.top + offset, rect.width, size}
                                         : GradientRect{rect.left + offset, rect.top, size, rect.height};
        bands.push_back({band, {}, gradientColour(offset, length, c1, c2)});
    }
    return bands;
}

// Strips between the lines x + y = s and s + step in the rectangle's own corner-at-origin
// coordinates; diagonal2 mirrors x so that its strips start at the top-right corner.
std::vector<GradientBand> diagonalBands(const GradientRect& rect, bool mirrored, std::uint32_t c1,
                                        std::uint32_t c2)
{
    const int length = rect.width + rect.height;
    const int step = length < 160 ? 2 : 4;
    const std::vector<GradientPoint> whole = {{0, 0}, {rect.width, 0}, {rect.width, rect.height}, {0, rect.height}};
    std::vector<GradientBand> bands;
    bands.reserve(static_cast<std::size_t>((length + step - 1) / step));
    for (int s = 0; s < length; s += step) {
        std::vector<GradientPoint> strip = clipToDiagonal(clipToDiagonal(whole, s, -1), std::min(s + step, length), 1);
        if (strip.size() < 3)
            continue;
        for (GradientPoint& p : strip)
            p = {rect.left + (mirrored ? rect.width - p.x : p.x), rect.top + p.y};
        bands.push_back({boundingRect(strip), std::move(strip), gradientColour(s, length, c1, c2)});
    }
    return bands;
}

} // namespace

bool isSystemColour(std::uint32_t colour) { return (colour >> 24) == 0x80u; }

std::uint32_t resolveColour(std::uint32_t colour)
{
    if (!isSystemColour(colour))
        return colour & 0xFFFFFFu;
    const std::uint32_t index = colour & 0xFFu;
    return index < systemColours.size() ? systemColours[index] : 0;
}

Rgb split(std::uint32_t colour)
{
    const std::uint32_t plain = resolveColour(colour);
    return {static_cast<int>(plain & 0xFFu), static_cast<int>((plain >> 8) & 0xFFu),
            static_cast<int>((plain >> 16) & 0xFFu)};
}

std::uint32_t join(const Rgb& rgb)
{
    return static_cast<std::uint32_t>(clampChannel(rgb.red)) |
           static_cast<std::uint32_t>(clampChannel(rgb.green)) << 8 |
           static_cast<std::uint32_t>(clampChannel(rgb.blue)) << 16;
}

std::uint32_t gradientColour(int position, int length, std::uint32_t c1, std::uint32_t c2)
{
    if (length <= 0)
        return resolveColour(c1);
    const Rgb a = split(c1);
    const Rgb b = split(c2);
    const auto at = [&](int from, int to) {
        return from + static_cast<int>(static_cast<long long>(position) * (to - from) / length);
    };
    return join({at(a.red, b.red), at(a.green, b.green), at(a.blue, b.blue)});
}

std::uint32_t lighter(std::uint32_t colour, int amount, std::uint32_t tint)
{
    const Rgb t = split(tint);
    const Rgb c = split(colour);
    return join({c.red + amount + t.red / 16, c.green + amount + t.green / 16, c.blue + amount + t.blue / 16});
}

std::uint32_t darker(std::uint32_t colour, int amount, std::uint32_t tint)
{
    return lighter(colour, -amount, tint);
}

std::uint32_t transform(std::uint32_t colour, int add, std::uint32_t tint, double factor)
{
    const Rgb t = split(tint);
    const Rgb c = split(colour);
    const auto one = [&](int channel, int tinted) {
        const double value = std::round(factor * channel + add + tinted / 4.0);
        return static_cast<int>(std::clamp(value, 0.0, 255.0));
    };
    return join({one(c.red, t.red), one(c.green, t.green), one(c.blue, t.blue)});
}

std::uint32_t disabledColour(std::uint32_t colour) { return transform(colour, -84, 0, 1.0); }

std::uint32_t contrastText(std::uint32_t colour)
{
    const Rgb c = split(colour);
    // 0.3 red + 0.5 green + 0.2 blue >= 120, in tenths so that the boundary is exact.
    return 3 * c.red + 5 * c.green + 2 * c.blue >= 1200 ? 0x000000u : 0xFFFFFFu;
}

std::uint32_t readableOnWhite(std::uint32_t colour)
{
    const Rgb c = split(colour);
    return 3 * c.red + 5 * c.green + 2 * c.blue >= 1700 ? darker(colour, 96) : colour;
}

GradientColours automaticGradient(std::uint32_t face, std::uint32_t hue)
{
    return {lighter(face, 63, hue), darker(face, 64, hue)};
}

std::vector<GradientBand> gradientPlan(const GradientRect& rect, GradientType type, std::uint32_t c1,
                                       std::uint32_t c2)
{
    if (rect.width <= 0 || rect.height <= 0)
        return {};
    switch (type) {
    case GradientType::vertical:
        return straightBands(rect, true, c1, c2);
    case GradientType::horizontal:
        return straightBands(rect, false, c1, c2);
    case GradientType::diagonal1:
        return diagonalBands(rect, false, c1, c2);
    case GradientType::diagonal2:
        return diagonalBands(rect, true, c1, c2);
    case GradientType::none:
        break;
    }
    return {{rect, {}, resolveColour(c1)}};
}

} // namespace lib
