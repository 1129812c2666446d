#include "library/Colorselection.h"

#include "library/Myfunctions.h"

#include "library/Strworks.h"

#include <algorithm>
#include <array>

namespace lib {
namespace {

constexpr std::array<std::string_view, 3> baseCaptions{" Цвет", " Цвет и толщина", " Цвет и палитра"};

int cellAt(int x, int stripWidth, int cells)
{
    if (stripWidth <= 0)
        return 0;
    const long long cell = static_cast<long long>(x) * cells / stripWidth;
    return static_cast<int>(std::clamp<long long>(cell, 0, cells - 1));
}

} // namespace

void ColorSelection::setLineWidth(int width)
{
    lineWidth_ = std::clamp(width, minLineWidth, maxLineWidth);
}

void ColorSelection::setFillStyle(int style)
{
    fillStyle_ = std::clamp(style, 0, fillStyleCount - 1);
}

void ColorSelection::setLineStyle(int style)
{
    lineStyle_ = std::clamp(style, 0, lineStyleCount - 1);
}

void ColorSelection::setMode(int mode)
{
    mode_ = std::clamp(mode, static_cast<int>(colourOnly), static_cast<int>(colourAndFill));
}

std::string ColorSelection::caption(std::string_view title, bool titleIsCaption) const
{
    if (titleIsCaption)
        return std::string(title);
    std::string caption(baseCaptions[static_cast<std::size_t>(mode_)]);
    const std::string_view trimmed = trim(title);
    if (!title.empty())
        caption.append(" - ''").append(trimmed).append("''");
    return caption;
}

int ColorSelection::lineWidthAt(int x, int stripWidth)
{
    return cellAt(x, stripWidth, maxLineWidth - minLineWidth + 1) + minLineWidth;
}

int ColorSelection::lineStyleAt(int x, int stripWidth)
{
    return cellAt(x, stripWidth, lineStyleCount);
}

int ColorSelection::fillStyleAt(int x, int stripWidth)
{
    return cellAt(x, stripWidth, fillStyleCount);
}

std::uint32_t ColorSelection::contrastingColour(std::uint32_t windowColour)
{
    return contrastText(windowColour);
}

} // namespace lib
