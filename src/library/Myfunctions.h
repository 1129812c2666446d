#pragma once

#include <cstdint>
#include <vector>

// The colour arithmetic every control of the station's own shares, and the plan of a gradient
// fill. Colours are 0xBBGGRR (red in the low byte); a colour whose top byte is 0x80 is a system
// colour, its low byte the index into the classic desktop colour table (systemColour).
namespace lib {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Indices of the system colour table; a system colour is 0x80000000 | index.
enum SystemColourIndex : std::uint32_t {
    scScrollBar, scBackground, scActiveCaption, scInactiveCaption, scMenu, scWindow,
    scWindowFrame, scMenuText, scWindowText, scCaptionText, scActiveBorder, scInactiveBorder,
    scAppWorkspace, scHighlight, scHighlightText, scButtonFace, scButtonShadow, scGrayText,
    scButtonText, scInactiveCaptionText, scButtonHighlight, sc3DDarkShadow, sc3DLight,
    scInfoText, scInfoBackground, scUnused25, scHotLight, scGradientActiveCaption,
    scGradientInactiveCaption, scMenuHighlight, scMenuBar,
};

constexpr std::uint32_t systemColour(SystemColourIndex index) { return 0x80000000u | index; }

bool isSystemColour(std::uint32_t colour);
// The plain colour: system colours through the table (an index past its end is black), any
// other top byte dropped.
std::uint32_t resolveColour(std::uint32_t colour);
Rgb split(std::uint32_t colour);
// Each channel clamped to 0 … 255.
std::uint32_t join(const Rgb& rgb);

// c1 + position × (c2 − c1) / length per channel; c1 when length is not positive.
std::uint32_t gradientColour(int position, int length, std::uint32_t c1, std::uint32_t c2);
std::uint32_t lighter(std::uint32_t colour, int amount, std::uint32_t tint = 0);
std::uint32_t darker(std::uint32_t colour, int amount, std::uint32_t tint = 0);
std::uint32_t transform(std::uint32_t colour, int add, std::uint32_t tint, double factor);
// transform(colour, −84, 0, 1): how a disabled control shows its colour.
std::uint32_t disabledColour(std::uint32_t colour);
// 0 (black) on light colours, 0xFFFFFF (white) on dark ones.
std::uint32_t contrastText(std::uint32_t colour);
// A text colour as given, or darkened when it is too light to read on white (yellow, cyan).
std::uint32_t readableOnWhite(std::uint32_t colour);

struct GradientColours {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    bool operator==(const GradientColours&) const = default;
};
// The light and dark ends derived from a control's colour, tinted by its hue: the button face
// gives white to 0x808080.
GradientColours automaticGradient(std::uint32_t face, std::uint32_t hue = 0);

enum class GradientType { none, vertical, horizontal, diagonal1, diagonal2 };

struct GradientPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GradientPoint&) const = default;
};

// Pixel edges: the rectangle covers left … left + width − 1.
struct GradientRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GradientRect&) const = default;
};

// One band of a fill: the rectangle, or, when polygon is not empty, the polygon (corners on
// pixel edges, inside rect), in colour.
struct GradientBand {
    GradientRect rect;
    std::vector<GradientPoint> polygon;
    std::uint32_t colour = 0;
};

// The bands that fill rect from c1 to c2, in order from the c1 end, covering it without
// overlap. none: one band in c1. vertical: horizontal bands of 4 pixels (2 under 60 pixels
// high); horizontal: vertical bands of 4 (2 under 160 wide); diagonal1 runs from the top-left
// corner to the bottom-right, diagonal2 from the top-right to the bottom-left, in slanted strips
// of 4 (2 when width + height is under 160), the corner pieces triangles.
std::vector<GradientBand> gradientPlan(const GradientRect& rect, GradientType type, std::uint32_t c1,
                                       std::uint32_t c2);

} // namespace lib
