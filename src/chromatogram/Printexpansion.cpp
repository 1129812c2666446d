#include "chromatogram/Printexpansion.h"

#include <algorithm>
#include <limits>

namespace {

std::int32_t saturated(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int32_t PrintExpansion::pointsPerPair(std::int32_t samplesPerSecond, std::size_t copyPoints)
{
    const std::int64_t wanted = std::max(1, samplesPerSecond / 2);
    const auto pairs = static_cast<std::int64_t>(copyPoints < 2 ? 1 : copyPoints - 1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(maxPoints / pairs, 1, wanted));
}

MyGraphics PrintExpansion::expand(const MyGraphics& archiveCopy, std::int32_t samplesPerSecond)
{
    const CurvePoints& copy = archiveCopy.samples();
    const std::int32_t s = pointsPerPair(samplesPerSecond, copy.size());

    CurvePoints expanded;
    if (copy.size() >= 2) {
        expanded.reserve((copy.size() - 1) * static_cast<std::size_t>(s));
        for (std::size_t k = 0; k + 1 < copy.size(); ++k) {
            const CurvePoint& a = copy[k];
            const CurvePoint& b = copy[k + 1];
            for (std::int32_t i = 0; i < s; ++i) {
                CurvePoint point;
                point.value = a.value + (b.value - a.value) * i / s;
                point.second = b.second;
                expanded.push_back(point);
            }
        }
    }

    std::vector<GazArea> marks = archiveCopy.marks();
    for (GazArea& mark : marks) {
        mark.firstIndex = saturated(std::int64_t{mark.firstIndex} * s + s);
        mark.lastIndex = saturated(std::int64_t{mark.lastIndex} * s - s);
    }

    MyGraphics curve;
    curve.setPointCount(static_cast<std::int32_t>(expanded.size()));
    curve.setSamples(std::move(expanded));
    curve.setMarks(std::move(marks));
    curve.setArchived(false);
    return curve;
}
