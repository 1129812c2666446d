#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The 2-D drawing surface every picture of the station is drawn on: the chromatogram, the
// history cells, the printed table, the calibration curve. The window layer implements it once
// over its painter, so one drawing routine serves the screen, an image, a printer page and an
// SVG file. Coordinates are device pixels; colours have red in the low byte.
class Surface {
public:
    struct Point {
        int x = 0;
        int y = 0;
        bool operator==(const Point&) const = default;
    };
    // Right and bottom belong to the rectangle.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
        bool operator==(const Rect&) const = default;
    };
    enum class PenStyle { solid, dotted };
    enum class BrushStyle { solid, diagonalCross };

    virtual ~Surface() = default;

    virtual void setPen(std::uint32_t colour, int width, PenStyle style) = 0;
    virtual void setBrush(std::uint32_t colour, BrushStyle style) = 0;
    virtual void setFont(std::string_view name, int size, std::uint32_t colour) = 0;
    virtual int penWidth() const = 0;
    virtual std::string fontName() const = 0;
    virtual int fontSize() const = 0;

    // With the brush, and outlined with the pen.
    virtual void fillRect(const Rect& rect) = 0;
    virtual void frameRect(const Rect& rect) = 0;
    virtual void line(Point from, Point to) = 0;
    virtual void polyline(std::span<const Point> points) = 0;
    // Filled with the brush's hatch over background, outlined with the pen.
    virtual void hatchedPolygon(std::span<const Point> points, std::uint32_t background) = 0;
    // The text's top-left corner at `at`, in the font's colour, over the brush's colour while the
    // brush is solid.
    virtual void text(Point at, std::string_view text) = 0;
    virtual int textWidth(std::string_view text) const = 0;
    virtual int textHeight(std::string_view text) const = 0;
};
