#include "chromatogram/Summcurvewindow.h"

#include "chromatogram/Summcurve.h"
#include "library/Mytime.h"
#include "library/Numstr.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Times are day counts, so whole seconds carry rounding of about 1e-11 day.
constexpr double timeSlack = 0.001 / 86400;
// Day 1 of the local seconds, 1 January 1970, is day 25569 of the stored date-times.
constexpr double daysBeforeFirstLocalDay = 25568.0;

struct StepChoice {
    int seconds;
    int subTicks;
};
// Every step divides a day, so ticks counted from day 0 fall on round clock times.
constexpr std::array<StepChoice, 18> stepChoices{{
    {1, 0},
    {2, 1},
    {5, 4},
    {10, 1},
    {15, 2},
    {30, 2},
    {60, 3},
    {120, 1},
    {300, 4},
    {600, 1},
    {900, 2},
    {1800, 2},
    {3600, 3},
    {7200, 1},
    {10800, 2},
    {21600, 5},
    {43200, 1},
    {86400, 3},
}};

lib::LocalSeconds localSeconds(double time)
{
    const double seconds = std::round((time - daysBeforeFirstLocalDay) * 86400);
    if (!(seconds >= 0))
        return 0;
    if (seconds >= static_cast<double>(std::numeric_limits<lib::LocalSeconds>::max()))
        return std::numeric_limits<lib::LocalSeconds>::max();
    return static_cast<lib::LocalSeconds>(seconds);
}

int clampToInt(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

template <typename... Fields>
std::string printed(const char* format, Fields... fields)
{
    char text[64];
    std::snprintf(text, sizeof text, format, fields...);
    return text;
}

} // namespace

std::size_t SummCurveWindow::scaleIndex(std::int32_t stored)
{
    return stored >= 0 && static_cast<std::size_t>(stored) < timeScales.size() ? static_cast<std::size_t>(stored) : 0;
}

void SummCurveWindow::setScale(std::size_t index)
{
    const bool follow = nearEnd();
    const double middle = (top() + bottom()) / 2;
    scale_ = index < timeScales.size() ? index : 0;
    measure();
    position_ = follow ? maxPosition_ : clampToInt(std::round((middle - length() / 2 - first_) * 86400));
    clampPosition();
}

void SummCurveWindow::setExtent(double first, double last)
{
    if (!std::isfinite(first) || !std::isfinite(last))
        return;
    const bool follow = nearEnd();
    first_ = first;
    last_ = std::max(first, last);
    measure();
    if (follow)
        position_ = maxPosition_;
    clampPosition();
}

void SummCurveWindow::measure()
{
    const double hidden = (last_ - first_ - length()) * 86400;
    // A thousandth of a second over a whole count is rounding, not a position more.
    maxPosition_ = clampToInt(std::ceil(hidden - 1e-3));
}

void SummCurveWindow::setPosition(int position)
{
    position_ = position;
    clampPosition();
}

void SummCurveWindow::clampPosition()
{
    position_ = std::clamp(position_, 0, maxPosition_);
}

int SummCurveWindow::pageStep() const
{
    return std::max(1, clampToInt(std::round(length() * 86400)));
}

int SummCurveWindow::singleStep() const
{
    return std::max(1, pageStep() / 10);
}

double SummCurveWindow::top() const
{
    if (maxPosition_ > 0 && position_ >= maxPosition_)
        return last_ - length();
    return first_ + position_ * second;
}

SummCurveWindow::IndexRange SummCurveWindow::indexRange(std::span<const SummCurvePoint> points, double from, double to)
{
    const auto begin = std::lower_bound(points.begin(), points.end(), from,
                                        [](const SummCurvePoint& point, double t) { return point.time < t; });
    const auto end = std::upper_bound(begin, points.end(), to,
                                      [](double t, const SummCurvePoint& point) { return t < point.time; });
    return {static_cast<std::size_t>(begin - points.begin()), static_cast<std::size_t>(end - points.begin())};
}

std::optional<std::size_t> SummCurveWindow::readingAt(std::span<const SummCurvePoint> points, double time)
{
    const std::size_t later = indexRange(points, time, time).begin;
    std::optional<std::size_t> nearest;
    double distance = minute + timeSlack;
    for (std::size_t index : {later - 1, later}) {
        if (index >= points.size())
            continue;  // also the wrapped index before the first point
        const double gap = std::fabs(points[index].time - time);
        if (gap <= distance) {
            distance = gap;
            nearest = index;
        }
    }
    return nearest;
}

SummCurveWindow::TickStep SummCurveWindow::tickStep(double span, int maxTicks)
{
    const double seconds = std::max(span, 0.0) * 86400;
    const double ticks = std::max(maxTicks, 1);
    for (const StepChoice& choice : stepChoices)
        if (seconds / choice.seconds <= ticks)
            return {choice.seconds * second, choice.subTicks};
    return {std::ceil(seconds / 86400 / ticks), 0};
}

std::string SummCurveWindow::tickLabel(double time, double stepDays)
{
    const lib::LocalTimeFields t = lib::fromLocalSeconds(localSeconds(time));
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        return printed("%02d.%02d", t.day, t.month);
    if (stepDays < minute - timeSlack)
        return printed("%02d:%02d:%02d", t.hour, t.minute, t.second);
    return printed("%02d:%02d", t.hour, t.minute);
}

std::string SummCurveWindow::timeText(double time)
{
    const lib::LocalTimeFields t = lib::fromLocalSeconds(localSeconds(time));
    return printed("%02d.%02d %02d:%02d:%02d", t.day, t.month, t.hour, t.minute, t.second);
}

// The same text the trend gives its points' labels.
std::string SummCurveWindow::depthText(float depth)
{
    return TSummCurve::depthLabel(depth);
}

SummCurveWindow::CursorTexts SummCurveWindow::cursorTexts(const TSummCurve& trend, double time, int decimals)
{
    CursorTexts texts{timeText(time), depthText(trend.depthAt(time)), {}};
    const std::span<const SummCurvePoint> points{trend.points().data(), trend.size()};
    if (const auto index = readingAt(points, time))
        texts.value = lib::formatReal(points[*index].value, std::clamp(decimals, 0, 15));
    return texts;
}

SummCurveWindow::ValueRange SummCurveWindow::valueRange(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max) || !(min < max))
        return {defaultValueMin, defaultValueMax};
    return {min, max};
}

int SummCurveWindow::restoredWidth(int stored)
{
    return stored >= minimumPanelWidth ? stored : defaultPanelWidth;
}

int SummCurveWindow::storedWidth(int current, int stored)
{
    return current >= minimumPanelWidth ? current : stored;
}
