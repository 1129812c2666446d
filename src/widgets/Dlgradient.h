#pragma once

#include "library/Myfunctions.h"

#include <QRect>

#include <cstdint>

class QPainter;

// The gradient fill a control owns: its type and two colours, or with AutoColor two colours
// derived from the control's own. Paints the band plan of the colour arithmetic.
class TDLGradient {
public:
    enum GradientType { dlgtNone, dlgtVertical, dlgtHorizontal, dlgtDiagonal1, dlgtDiagonal2 };

    void setType(GradientType type) { type_ = type; }
    GradientType type() const { return type_; }
    void setAutoColor(bool on) { autoColor_ = on; }
    bool autoColor() const { return autoColor_; }
    void setColor1(std::uint32_t colour) { color1_ = colour; }
    std::uint32_t color1() const { return color1_; }
    void setColor2(std::uint32_t colour) { color2_ = colour; }
    std::uint32_t color2() const { return color2_; }

    // Fills rect; controlColour is what AutoColor derives from.
    void paint(QPainter& painter, const QRect& rect, std::uint32_t controlColour, std::uint32_t hue = 0) const;

    // The plan of rect from c1 to c2, drawn without a pen and without antialiasing, so that the
    // bands meet without seams. The painter's state is kept.
    static void fill(QPainter& painter, const QRect& rect, lib::GradientType type, std::uint32_t c1,
                     std::uint32_t c2);

private:
    GradientType type_ = dlgtVertical;
    bool autoColor_ = true;
    std::uint32_t color1_ = 0xFFFFFF;
    std::uint32_t color2_ = 0x808080;
};
