#include "analysis/Interpolation.h"

#include <cmath>
#include <utility>

Interpolation::Interpolation(std::initializer_list<Point> points) : points_(points) {}

Interpolation::Interpolation(lib::array<Point> points) : points_(std::move(points)) {}

void Interpolation::add(Point point)
{
    points_.push_back(point);
}

void Interpolation::reserve(std::size_t count)
{
    points_.reserve(count);
}

// The first point of a segment whose span holds x; the span is open at its left end, so x
// equal to the first point's x belongs to none.
std::optional<std::size_t> Interpolation::segmentFor(double x) const
{
    const std::size_t last = points_.size() - 1;
    if (x < points_[0].x)
        return 0;
    if (x > points_[last].x)
        return last - 1;
    for (std::size_t a = 0; a < last; ++a)
        if (points_[a].x < x && x <= points_[a + 1].x)
            return a;
    return std::nullopt;
}

double Interpolation::alongSegment(std::size_t a, std::size_t c, double x) const
{
    const Point& start = points_[a];
    const Point& end = points_[c];
    if (std::fabs(start.x - end.x) < nearZero)
        return 0;
    return start.y + (x - start.x) * (end.y - start.y) / (end.x - start.x);
}

double Interpolation::linear(double x) const
{
    if (points_.size() <= 1)
        return 0;
    const auto a = segmentFor(x);
    return a ? alongSegment(*a, *a + 1, x) : 0.0;
}

// One term of the Lagrange sum; 0 when another point shares this point's x, because its
// denominator would be 0. Runs for every pair of points: indices here are in range by
// construction, so the loop reads the points unchecked.
double Interpolation::lagrangeTerm(std::span<const Point> points, std::size_t j, double x)
{
    double numerator = 1;
    double denominator = 1;
    const double xj = points[j].x;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (k == j)
            continue;
        numerator *= x - points[k].x;
        denominator *= xj - points[k].x;
    }
    if (denominator == 0)
        return 0;
    return points[j].y * numerator / denominator;
}

double Interpolation::lagrange(double x) const
{
    const std::span<const Point> points(points_.data(), points_.size());
    for (const Point& p : points)
        if (p.x == x)
            return p.y;
    double sum = 0;
    for (std::size_t j = 0; j < points.size(); ++j)
        sum += lagrangeTerm(points, j, x);
    return sum;
}
