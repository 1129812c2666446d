#include "chromatogram/Etalvisplot.h"

#include "library/Numstr.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Point = Surface::Point;
using Rect = Surface::Rect;
using PenStyle = Surface::PenStyle;
using BrushStyle = Surface::BrushStyle;

constexpr int firstRuleExponent = -7;
constexpr int circleCorners = 24;
constexpr int labelGap = 3;

double decade(int exponent)
{
    return std::pow(10.0, exponent);
}

bool positive(double value)
{
    return std::isfinite(value) && value > 0;
}

// The surface has no circle: a polygon of this many corners is one at the radii drawn here.
std::vector<Point> circle(Point centre, int radius)
{
    std::vector<Point> corners;
    corners.reserve(circleCorners);
    for (int k = 0; k < circleCorners; ++k) {
        const double angle = 2 * std::numbers::pi * k / circleCorners;
        corners.push_back({centre.x + static_cast<int>(std::lround(radius * std::cos(angle))),
                           centre.y + static_cast<int>(std::lround(radius * std::sin(angle)))});
    }
    return corners;
}

// 1, 2, … 9 times every power of ten from the axis start up to its end.
std::vector<double> gridValues(const EtalVisPlot::Axis& axis)
{
    std::vector<double> values;
    for (int exponent = EtalVisPlot::startExponent; exponent < axis.endExponent; ++exponent)
        for (int times = 1; times <= 9; ++times)
            values.push_back(times * decade(exponent));
    values.push_back(axis.end());
    return values;
}

void useFont(Surface& surface, std::uint32_t colour)
{
    surface.setFont(surface.fontName(), surface.fontSize(), colour);
}

} // namespace

int EtalVisPlot::Axis::pixel(double value) const
{
    const double share = (std::log10(value) - startExponent) / (endExponent - startExponent);
    return lo + static_cast<int>(std::lround(share * (hi - lo)));
}

double EtalVisPlot::Axis::value(int pixel) const
{
    if (hi == lo)
        return start();
    const double exponent = startExponent + static_cast<double>(pixel - lo) * (endExponent - startExponent) / (hi - lo);
    return std::pow(10.0, exponent);
}

double EtalVisPlot::Axis::start() const
{
    return decade(startExponent);
}

double EtalVisPlot::Axis::end() const
{
    return decade(endExponent);
}

int EtalVisPlot::endExponentFor(double largest)
{
    for (int exponent = firstRuleExponent; exponent <= lastExponent; ++exponent)
        if (decade(exponent) > largest)
            return std::max(exponent, startExponent + 1);
    return lastExponent;
}

EtalVisPlot::EtalVisPlot(std::vector<GazEtalLine> entries, double degassing)
    : entries_(std::move(entries)), degassing_(degassing != 0 && std::isfinite(degassing) ? degassing : 1.0)
{
}

void EtalVisPlot::setGas(std::size_t gas)
{
    gas_ = gas;
    picked_.reset();
}

GazEtalPoint EtalVisPlot::point(std::size_t entry) const
{
    const std::vector<GazEtalPoint>& points = entries_.at(entry).points;
    return gas_ < points.size() ? points[gas_] : GazEtalPoint{};
}

double EtalVisPlot::shownArea(std::size_t entry) const
{
    return point(entry).area / degassing_;
}

bool EtalVisPlot::drawn(std::size_t entry) const
{
    return entry < shownCount() && positive(point(entry).concentration) && positive(shownArea(entry));
}

std::size_t EtalVisPlot::shownCount() const
{
    return std::min(entries_.size(), maximumShown);
}

// A concentration of 0 has no coefficient either: the division would show "inf".
std::vector<EtalVisPlot::GridColumn> EtalVisPlot::gridColumns() const
{
    std::vector<GridColumn> columns;
    columns.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const GazEtalPoint p = point(i);
        const double area = shownArea(i);
        const bool none = p.area == 0 || p.concentration == 0;
        columns.push_back({std::to_string(i + 1), lib::formatReal(p.concentration, 6), lib::formatReal(area, 2),
                           none ? std::string(noCoefficient) : lib::formatReal(area / p.concentration, 1)});
    }
    return columns;
}

void EtalVisPlot::draw(Surface& surface, const Rect& area, int pixelsPerInch)
{
    const int radius = std::max(pixelsPerInch / 20, 1);
    fitEnds();
    layOut(surface, area);
    drawGrid(surface);
    drawLabels(surface);
    drawTitles(surface);
    drawLine(surface);
    drawValues(surface, area, radius);
    drawPoints(surface, radius);
}

// The left margin also takes the widest area label: in a proportional font "1000000" is
// wider than "  000.1  ", whose blanks are narrow.
void EtalVisPlot::layOut(Surface& surface, const Rect& area)
{
    textHeight_ = surface.textHeight("#");
    int leftMargin = surface.textWidth("  000.1  ");
    for (int exponent = startExponent; exponent <= vertical_.endExponent; ++exponent)
        leftMargin = std::max(leftMargin, surface.textWidth(lib::formatReal(decade(exponent))) + 2 * labelGap);
    plot_.left = area.left + leftMargin;
    plot_.right = std::max(plot_.left, area.right - surface.textWidth(" ##### "));
    plot_.top = area.top + textHeight_ * 3 / 2;
    plot_.bottom = std::max(plot_.top, area.bottom - (textHeight_ + 2));
    laidOut_ = true;
    horizontal_.lo = plot_.left;
    horizontal_.hi = plot_.right;
    vertical_.lo = plot_.bottom;
    vertical_.hi = plot_.top;

    surface.setPen(background, 1, PenStyle::solid);
    surface.setBrush(background, BrushStyle::solid);
    surface.fillRect(area);
}

void EtalVisPlot::fitEnds()
{
    if (picked_)
        return;
    double widest = 0;
    double highest = 0;
    for (std::size_t i = 0; i < shownCount(); ++i) {
        if (!drawn(i))
            continue;
        widest = std::max(widest, point(i).concentration);
        highest = std::max(highest, shownArea(i));
    }
    horizontal_.endExponent = endExponentFor(widest);
    vertical_.endExponent = endExponentFor(highest);
}

void EtalVisPlot::drawGrid(Surface& surface) const
{
    surface.setPen(gridGrey, 1, PenStyle::solid);
    for (const double value : gridValues(horizontal_)) {
        const int x = horizontal_.pixel(value);
        surface.line({x, plot_.top}, {x, plot_.bottom});
    }
    for (const double value : gridValues(vertical_)) {
        const int y = vertical_.pixel(value);
        surface.line({plot_.left, y}, {plot_.right, y});
    }
}

// A label that would run into the one before it is left out: eleven decades on a narrow
// window are more labels than fit.
void EtalVisPlot::drawLabels(Surface& surface) const
{
    useFont(surface, labelBlack);
    surface.setBrush(background, BrushStyle::solid);
    int freeFrom = plot_.left;
    for (int exponent = startExponent; exponent <= horizontal_.endExponent; ++exponent) {
        const std::string text = lib::formatReal(decade(exponent));
        const int width = surface.textWidth(text);
        // Not left of the plot, where the lowest area label is.
        const int left = std::max(horizontal_.pixel(decade(exponent)) - width / 2, plot_.left);
        if (left < freeFrom)
            continue;
        surface.text({left, plot_.bottom + 2}, text);
        freeFrom = left + width + labelGap;
    }
    int freeAbove = plot_.bottom + textHeight_;
    for (int exponent = startExponent; exponent <= vertical_.endExponent; ++exponent) {
        const std::string text = lib::formatReal(decade(exponent));
        const int top = vertical_.pixel(decade(exponent)) - textHeight_ / 2;
        if (top + textHeight_ > freeAbove)
            continue;
        surface.text({plot_.left - labelGap - surface.textWidth(text), top}, text);
        freeAbove = top;
    }
}

// Both titles stay clear of the labels: "Конц." sits on the axis line, "Площ." starts at the
// axis and runs right.
void EtalVisPlot::drawTitles(Surface& surface) const
{
    useFont(surface, titleGreen);
    surface.setBrush(background, BrushStyle::solid);
    surface.text({plot_.right + labelGap, plot_.bottom - textHeight_ - 1}, concentrationTitle);
    surface.text({plot_.left, plot_.top - textHeight_ - textHeight_ / 4}, areaTitle);
}

std::vector<Point> EtalVisPlot::drawnPoints() const
{
    std::vector<Point> points;
    for (std::size_t i = 0; i < shownCount(); ++i)
        if (drawn(i))
            points.push_back(pointAt(i));
    return points;
}

void EtalVisPlot::drawLine(Surface& surface) const
{
    const std::vector<Point> points = drawnPoints();
    if (points.size() < 2)
        return;
    surface.setPen(pointRed, lineWidth, PenStyle::solid);
    surface.polyline(points);
}

// Last, so that a neighbour's value never hides a point the operator may want to grab.
void EtalVisPlot::drawPoints(Surface& surface, int radius) const
{
    surface.setPen(pointRed, 1, PenStyle::solid);
    surface.setBrush(pointRed, BrushStyle::solid);
    for (const Point& centre : drawnPoints())
        surface.hatchedPolygon(circle(centre, radius), pointRed);
}

// Beside the point on its right, or on its left where the right would run out of the picture.
void EtalVisPlot::drawValues(Surface& surface, const Rect& area, int radius) const
{
    useFont(surface, labelBlack);
    surface.setBrush(valueYellow, BrushStyle::solid);
    for (std::size_t i = 0; i < shownCount(); ++i) {
        if (!drawn(i))
            continue;
        const Point centre = pointAt(i);
        const std::string text = lib::formatReal(shownArea(i));
        const int width = surface.textWidth(text);
        int left = centre.x + radius + 2;
        if (left + width > area.right)
            left = centre.x - radius - 2 - width;
        surface.text({left, centre.y - textHeight_ / 2}, text);
    }
}

// A value beyond an axis end (above 1e+06, or between 0 and 1e-05) sits on the plot's edge.
Point EtalVisPlot::pointAt(std::size_t entry) const
{
    const int x = horizontal_.pixel(point(entry).concentration);
    const int y = vertical_.pixel(shownArea(entry));
    return {std::clamp(x, plot_.left, plot_.right), std::clamp(y, plot_.top, plot_.bottom)};
}

std::optional<std::size_t> EtalVisPlot::pick(Point pointer)
{
    picked_.reset();
    if (!laidOut_)
        return picked_;
    int nearest = 0;
    for (std::size_t i = 0; i < shownCount(); ++i) {
        if (!drawn(i))
            continue;
        const int distance = std::abs(pointAt(i).y - pointer.y);
        if (!picked_ || distance < nearest) {
            picked_ = i;
            nearest = distance;
        }
    }
    return picked_;
}

bool EtalVisPlot::drag(Point pointer)
{
    if (!picked_)
        return false;
    const int y = std::clamp(pointer.y, plot_.top, plot_.bottom);
    entries_[*picked_].points[gas_].area = vertical_.value(y) * degassing_;
    return true;
}
