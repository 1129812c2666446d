#include "library/Rangescale.h"

#include <gtest/gtest.h>

namespace {

using Slider = RangeScale::Slider;

RangeScale scale(int width = 200, int h = 13)
{
    RangeScale s;
    s.setWidth(width);
    s.setTextHeight(h);
    return s;
}

TEST(RangeScale, MapsValuesToTheScaleBetweenTwiceTheTextHeightFromEitherEnd)
{
    const RangeScale s = scale();
    const std::pair<int, int> valueToX[] = {{0, 26}, {100, 174}, {25, 63}, {75, 137}, {50, 100}};
    for (const auto& [value, x] : valueToX) {
        EXPECT_EQ(s.xOf(value), x) << value;
        EXPECT_EQ(s.valueAt(x), value) << x;
    }
    EXPECT_EQ(s.valueAt(27), 0);     // 100 / 148 truncated
    EXPECT_EQ(s.valueAt(0), -17);    // not clamped here: dragging clamps
}

TEST(RangeScale, GrabsTheSliderWithinAThirdOfTheTextHeightSliderOneFirst)
{
    RangeScale s = scale();
    const std::pair<int, Slider> cases[] = {
        {63, Slider::first}, {59, Slider::first}, {67, Slider::first}, {58, Slider::none},
        {68, Slider::none}, {133, Slider::second}, {141, Slider::second}, {100, Slider::none},
    };
    for (const auto& [x, slider] : cases)
        EXPECT_EQ(s.sliderAt(x), slider) << x;

    s.setValue1(50);
    s.setValue2(51);
    EXPECT_EQ(s.sliderAt(101), Slider::first);
    EXPECT_TRUE(s.press(101));
    EXPECT_EQ(s.grabbed(), Slider::first);
    s.release();
    EXPECT_FALSE(s.press(10));
    EXPECT_FALSE(s.drag(120));
}

TEST(RangeScale, DraggingClampsToTheRangeAndKeepsTheSlidersApart)
{
    RangeScale s = scale();
    ASSERT_TRUE(s.press(63));
    EXPECT_TRUE(s.drag(300));       // past slider 2
    EXPECT_EQ(s.value1(), 74);
    EXPECT_FALSE(s.drag(250));      // still held at Value2 − 1: no change
    EXPECT_TRUE(s.drag(-40));
    EXPECT_EQ(s.value1(), 0);
    s.release();

    ASSERT_TRUE(s.press(137));
    EXPECT_TRUE(s.drag(0));         // past slider 1
    EXPECT_EQ(s.value2(), 1);
    EXPECT_TRUE(s.drag(1000));
    EXPECT_EQ(s.value2(), 100);
    EXPECT_EQ(s.value1(), 0);
}

TEST(RangeScale, DegenerateRangesAndWidthsDivideByNothing)
{
    RangeScale s = scale();
    s.setRange(5, 5);
    EXPECT_EQ(s.value1(), 5);
    EXPECT_EQ(s.value2(), 5);
    EXPECT_EQ(s.xOf(5), 26);
    EXPECT_EQ(s.valueAt(150), 5);
    ASSERT_TRUE(s.press(26));
    EXPECT_FALSE(s.drag(150));      // no room to keep them apart: nothing moves out of range
    EXPECT_EQ(s.value1(), 5);
    for (const auto& tick : s.ticks())
        EXPECT_EQ(tick.value, 5);

    RangeScale narrow = scale(40, 13);   // the scale has a negative length
    EXPECT_EQ(narrow.valueAt(20), 0);
    ASSERT_TRUE(narrow.press(narrow.xOf(25)));
    EXPECT_FALSE(narrow.drag(35));
}

TEST(RangeScale, TicksEveryFifthLongAndLabelled)
{
    RangeScale s = scale();
    const auto ticks = s.ticks();
    ASSERT_EQ(ticks.size(), 51u);
    EXPECT_EQ(ticks[0], (RangeScale::Tick{26, 6, true, 0}));
    EXPECT_EQ(ticks[1], (RangeScale::Tick{28, 3, false, 2}));
    EXPECT_EQ(ticks[5], (RangeScale::Tick{40, 6, true, 10}));
    EXPECT_EQ(ticks[50], (RangeScale::Tick{174, 6, true, 100}));

    s.setRange(-10, 20);
    s.setScalesCount(2);
    const auto few = s.ticks();
    ASSERT_EQ(few.size(), 11u);
    EXPECT_EQ(few[5].value, 5);
    EXPECT_EQ(few[10].value, 20);

    s.setScalesCount(0);
    EXPECT_TRUE(s.ticks().empty());
}

} // namespace
