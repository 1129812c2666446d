#pragma once

#include <cstddef>
#include <string_view>

// What the summator trend needs from the chart line that shows it, so that the trend can fill
// a chart without knowing the drawing toolkit.
class SummCurveSeries {
public:
    virtual ~SummCurveSeries() = default;

    virtual void clear() = 0;
    // A hint before count points are added; a chart may size its storage once.
    virtual void reserve(std::size_t count) { static_cast<void>(count); }
    // One point: the reading on the horizontal axis, the time on the vertical one; an empty
    // label shows nothing. The point takes the series' default colour.
    virtual void add(double value, double time, std::string_view label) = 0;
    // Whether the label of the index-th point is shown at all; a chart that shows only the
    // labels the operator asked for spares formatting the depth of every other point.
    virtual bool showsLabel(std::size_t index) const
    {
        static_cast<void>(index);
        return true;
    }
};
