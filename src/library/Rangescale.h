#pragma once

#include <vector>

// The geometry and dragging of the two-slider range selector, in pixels of a control `width`
// wide whose font is `textHeight` (h) high: the scale runs from x = 2h to width − 2h.
class RangeScale {
public:
    enum class Slider { none, first, second };

    struct Tick {
        int x = 0;
        int length = 0;     // h / 2 on every fifth tick, h / 4 on the others
        bool labelled = false;
        int value = 0;      // the label of a labelled tick
        bool operator==(const Tick&) const = default;
    };

    void setWidth(int width) { width_ = width; }
    void setTextHeight(int h) { h_ = h; }
    int width() const { return width_; }
    int textHeight() const { return h_; }

    // Min and Max as given; the values are moved into the new range.
    void setRange(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }
    // Clamped to Min … Max; the order of the two is left to the caller.
    void setValue1(int value);
    void setValue2(int value);
    int value1() const { return value1_; }
    int value2() const { return value2_; }
    void setScalesCount(int count) { scalesCount_ = count; }
    int scalesCount() const { return scalesCount_; }

    int scaleLeft() const { return 2 * h_; }
    int scaleRight() const { return width_ - 2 * h_; }
    // 2h + (value − Min) × (width − 4h) / (Max − Min); 2h when Max equals Min.
    int xOf(int value) const;
    // Min + (x − 2h) × (Max − Min) / (width − 4h), integer division; Min when the scale has no
    // length. Not clamped.
    int valueAt(int x) const;

    // The slider within h / 3 of x, slider 1 first.
    Slider sliderAt(int x) const;
    // Grabs the slider under x; false when there is none.
    bool press(int x);
    // Moves the grabbed slider to x, within Min … Max and at least 1 from the other slider.
    // True when its value changed; nothing moves on a scale without length.
    bool drag(int x);
    void release() { grabbed_ = Slider::none; }
    Slider grabbed() const { return grabbed_; }

    // The 5 × ScalesCount intervals of the scale, with a mark at both ends.
    std::vector<Tick> ticks() const;

private:
    int width_ = 100;
    int h_ = 13;
    int min_ = 0;
    int max_ = 100;
    int value1_ = 25;
    int value2_ = 75;
    int scalesCount_ = 10;
    Slider grabbed_ = Slider::none;
};
