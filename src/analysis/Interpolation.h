#pragma once

#include "library/Array.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>

// A table of points and the two ways calibration reads a value between them: straight
// segments, or the one polynomial through all points.
class Interpolation {
public:
    struct Point {
        double x = 0;
        double y = 0;
    };

    Interpolation() = default;
    Interpolation(std::initializer_list<Point> points);
    explicit Interpolation(lib::array<Point> points);

    void add(Point point);
    void reserve(std::size_t count);
    std::size_t size() const { return points_.size(); }
    // Throws std::out_of_range outside 0 … size() − 1.
    const Point& point(std::size_t index) const { return points_[index]; }

    // Points in ascending x. Outside the table the outermost segment is extended; a value on
    // the first point, or one no segment holds (points out of order), gives 0.
    double linear(double x) const;
    // The interpolating polynomial; points sharing an x leave their terms out.
    double lagrange(double x) const;

    // Two x closer than this make no segment.
    static constexpr double nearZero = 0.00001;

private:
    std::optional<std::size_t> segmentFor(double x) const;
    double alongSegment(std::size_t a, std::size_t c, double x) const;
    static double lagrangeTerm(std::span<const Point> points, std::size_t j, double x);

    lib::array<Point> points_;
};
