#include "device/Adcparameters.h"

#include <cmath>

double AdcParameters::fullScale() const
{
    const double scale = std::ldexp(1.0, bits) * std::pow(static_cast<double>(rangeRatio), ranges - 1);
    // Damaged settings must not divide by zero or produce infinities downstream.
    return std::isfinite(scale) && scale != 0 ? scale : 1.0;
}

double AdcParameters::rangeFactor(std::int32_t range) const
{
    return std::pow(static_cast<double>(rangeRatio), range);
}
