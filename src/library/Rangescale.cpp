#include "library/Rangescale.h"

#include <algorithm>
#include <cstdlib>

namespace {

int clampInRange(int value, int low, int high) { return std::max(low, std::min(value, high)); }

} // namespace

void RangeScale::setRange(int min, int max)
{
    min_ = min;
    max_ = max;
    setValue1(value1_);
    setValue2(value2_);
}

void RangeScale::setValue1(int value) { value1_ = clampInRange(value, min_, max_); }

void RangeScale::setValue2(int value) { value2_ = clampInRange(value, min_, max_); }

int RangeScale::xOf(int value) const
{
    if (max_ == min_)
        return scaleLeft();
    const long long span = scaleRight() - scaleLeft();
    return scaleLeft() + static_cast<int>((static_cast<long long>(value) - min_) * span / (static_cast<long long>(max_) - min_));
}

int RangeScale::valueAt(int x) const
{
    const int span = scaleRight() - scaleLeft();
    if (span <= 0)
        return min_;
    return min_ + static_cast<int>(static_cast<long long>(x - scaleLeft()) * (static_cast<long long>(max_) - min_) / span);
}

RangeScale::Slider RangeScale::sliderAt(int x) const
{
    const int reach = h_ / 3;
    if (std::abs(x - xOf(value1_)) <= reach)
        return Slider::first;
    if (std::abs(x - xOf(value2_)) <= reach)
        return Slider::second;
    return Slider::none;
}

bool RangeScale::press(int x)
{
    grabbed_ = sliderAt(x);
    return grabbed_ != Slider::none;
}

bool RangeScale::drag(int x)
{
    if (scaleRight() <= scaleLeft())
        return false;
    // Max over min in both lines, so that a range too short to keep the sliders apart leaves
    // them inside Min … Max rather than below Min.
    const int wanted = clampInRange(valueAt(x), min_, max_);
    int& value = grabbed_ == Slider::first ? value1_ : value2_;
    int moved = value;
    if (grabbed_ == Slider::first)
        moved = std::max(min_, std::min(wanted, value2_ - 1));
    else if (grabbed_ == Slider::second)
        moved = std::min(max_, std::max(wanted, value1_ + 1));
    else
        return false;
    if (moved == value)
        return false;
    value = moved;
    return true;
}

std::vector<RangeScale::Tick> RangeScale::ticks() const
{
    if (scalesCount_ <= 0)
        return {};
    const long long count = 5LL * scalesCount_;
    const long long span = scaleRight() - scaleLeft();
    const long long range = static_cast<long long>(max_) - min_;
    std::vector<Tick> ticks;
    ticks.reserve(static_cast<std::size_t>(count + 1));
    for (long long i = 0; i <= count; ++i) {
        const bool labelled = i % 5 == 0;
        ticks.push_back({scaleLeft() + static_cast<int>(i * span / count), labelled ? h_ / 2 : h_ / 4, labelled,
                         min_ + static_cast<int>(i * range / count)});
    }
    return ticks;
}
