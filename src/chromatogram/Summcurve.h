#pragma once

#include "chromatogram/Summcurvepoint.h"
#include "chromatogram/Summcurveseries.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The gas summator's trend: one point a second with the depth of the moment, kept across runs
// in the well's "gsumm.dat".
// Not locked by itself: its owner appends under a lock of its own on the thread that delivers
// the readings, so whoever saves it or fills a chart while readings still arrive takes that lock.
class TSummCurve {
public:
    static constexpr std::string_view magic = "NivraSummCurv2";
    static constexpr std::uint8_t version = 1;
    static constexpr std::size_t headerSize = magic.size() + 1 + sizeof(std::int32_t);
    // Thirty days of one point a second: the most a file holds.
    static constexpr std::size_t maxFilePoints = 2'592'000;
    // The label a point of this depth carries on the chart; empty for 0 (depth unknown).
    static std::string depthLabel(float depth);

    // Returns the index of the new point.
    std::size_t append(double time, float depth, float value);

    // Replaces the series' points with the trend's; an empty trend leaves the series alone.
    void fillSeries(SummCurveSeries& series);

    // The depth of the first later point that has one, unless a point without depth a minute
    // or more after time comes first; 0 when nothing is found.
    float depthAt(double time) const;

    // Out-of-range indexes are ignored (read as not shown): the chart may hold a stale index.
    void setMarkShown(std::size_t index, bool shown);
    bool markShown(std::size_t index) const;

    // Writes the newest maxFilePoints points, replacing the file whole; an empty trend writes
    // nothing. False when nothing was written.
    bool save(const std::filesystem::path& path) const;
    // A file of another program (wrong magic) is deleted; any other unusable file (another
    // version, a count out of range or longer than the file) loads nothing and stays.
    void load(const std::filesystem::path& path);

    const SummCurvePoints& points() const { return points_; }
    std::size_t size() const { return points_.size(); }
    // The times of the first and the last point, for the chart's scrolling.
    double firstTime() const { return firstTime_; }
    double lastTime() const { return lastTime_; }

private:
    void adopt(SummCurvePoints loaded);
    std::size_t firstLaterThan(double time) const;

    SummCurvePoints points_;
    double firstTime_ = 0;
    double lastTime_ = 0;
    // While true a binary search finds the first later point; a clock set back clears it.
    bool inTimeOrder_ = true;
};
