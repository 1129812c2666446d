#include "widgets/Qtcolour.h"

#include "library/Myfunctions.h"

QColor qtColour(std::uint32_t bgr)
{
    const lib::Rgb rgb = lib::split(bgr);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

std::uint32_t bgrColour(const QColor& colour)
{
    return lib::join({colour.red(), colour.green(), colour.blue()});
}
