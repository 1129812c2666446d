#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lib {

// What the colour selection dialog chooses, and the arithmetic of its strips. Setters clamp to
// the ranges, so a stored value out of range never reaches the drawing.
class ColorSelection {
public:
    static constexpr int minLineWidth = 1;
    static constexpr int maxLineWidth = 5;
    static constexpr int fillStyleCount = 8;  // solid, clear, horizontal, vertical, forward and
                                              // backward diagonal, cross, diagonal cross
    static constexpr int lineStyleCount = 5;  // solid, dash, dot, dash-dot, dash-dot-dot

    // Which strips are shown under the palette.
    enum Mode { colourOnly = 0, colourAndLine = 1, colourAndFill = 2 };

    std::uint32_t colour() const { return colour_; }
    void setColour(std::uint32_t colour) { colour_ = colour; }
    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int width);
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int style);
    int lineStyle() const { return lineStyle_; }
    void setLineStyle(int style);
    int mode() const { return mode_; }
    void setMode(int mode);

    // The window caption. UTF-8 in and out.
    std::string caption(std::string_view title, bool titleIsCaption) const;

    // The value under x on a strip stripWidth pixels wide; x beyond either end gives the end cell.
    static int lineWidthAt(int x, int stripWidth);
    static int lineStyleAt(int x, int stripWidth);
    static int fillStyleAt(int x, int stripWidth);

    // A sample line drawn on the window's colour: black on light windows, white on dark ones.
    static std::uint32_t contrastingColour(std::uint32_t windowColour);

    friend bool operator==(const ColorSelection&, const ColorSelection&) = default;

private:
    std::uint32_t colour_ = 0xFF0000;
    int lineWidth_ = minLineWidth;
    int fillStyle_ = 0;
    int lineStyle_ = 0;
    int mode_ = colourAndFill;
};

} // namespace lib
