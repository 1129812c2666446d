#pragma once

namespace lib {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }    // exclusive
    int bottom() const { return top + height; }   // exclusive
    friend bool operator==(const Box&, const Box&) = default;
};

struct DropDownPlace {
    Box box;
    bool below = true;  // false: opens above the control and unrolls upwards
};

// Where a drop-down window of the given size goes for a control at anchor on a screen whose free
// area is screen: under the control, left edges aligned, moved sideways to stay on the screen;
// above the control when only there it fits, else on the roomier side, kept on the screen.
DropDownPlace dropDownPlace(const Box& anchor, int width, int height, const Box& screen);

} // namespace lib
