#include "library/Dropdownplace.h"

#include <algorithm>

namespace lib {
namespace {

// Keeps [start, start + size) inside [low, high); a window larger than the span starts at low.
int within(int start, int size, int low, int high)
{
    return std::max(low, std::min(start, high - size));
}

} // namespace

DropDownPlace dropDownPlace(const Box& anchor, int width, int height, const Box& screen)
{
    const int roomBelow = screen.bottom() - anchor.bottom();
    const int roomAbove = anchor.top - screen.top;
    const bool below = height <= roomBelow || (height > roomAbove && roomBelow >= roomAbove);
    const int top = below ? anchor.bottom() : anchor.top - height;
    return {{within(anchor.left, width, screen.left, screen.right()), within(top, height, screen.top, screen.bottom()),
             width, height},
            below};
}

} // namespace lib
