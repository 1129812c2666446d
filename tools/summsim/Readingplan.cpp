#include "summsim/Readingplan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace summsim {
namespace {

constexpr double largestMantissa = std::numeric_limits<std::int16_t>::max();
constexpr int lowestExponent = std::numeric_limits<std::int8_t>::min();
constexpr int highestExponent = std::numeric_limits<std::int8_t>::max();

} // namespace

double Reading::value() const
{
    return mantissa * std::pow(10.0, exponent);
}

Reading Reading::fitted(double value)
{
    if (value == 0 || !std::isfinite(value))
        return {};
    int exponent = static_cast<int>(std::ceil(std::log10(std::abs(value) / largestMantissa)));
    exponent = std::clamp(exponent, lowestExponent, highestExponent);
    double mantissa = std::round(value / std::pow(10.0, exponent));
    // Rounding up can just overflow the 16 bits: one digit less then.
    if (std::abs(mantissa) > largestMantissa && exponent < highestExponent)
        mantissa = std::round(value / std::pow(10.0, ++exponent));
    mantissa = std::clamp(mantissa, -largestMantissa, largestMantissa);
    return {static_cast<std::int16_t>(mantissa), static_cast<std::int8_t>(exponent)};
}

ReadingPlan::ReadingPlan(const SimOptions& options)
    : start_(options.startValue()), ramp_(options.ramp.value_or(0)), rampTo_(options.rampTo)
{
    if (!options.percent && !options.ramp)
        asGiven_ = Reading{options.reading, options.exponent};
}

Reading ReadingPlan::at(double seconds) const
{
    return asGiven_ ? *asGiven_ : Reading::fitted(valueAt(seconds));
}

double ReadingPlan::valueAt(double seconds) const
{
    const double value = start_ + ramp_ * seconds;
    if (!rampTo_)
        return value;
    return ramp_ > 0 ? std::min(value, *rampTo_) : std::max(value, *rampTo_);
}

} // namespace summsim
