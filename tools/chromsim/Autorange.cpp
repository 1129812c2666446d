#include "chromsim/Autorange.h"

#include <algorithm>
#include <cmath>

namespace chromsim {

Autorange::Autorange(const AdcParameters& adc)
    : adc_(adc), fullScale_(adc.fullScale()), maxCount_((1 << (std::clamp(adc.bits, 2, 30) - 1)) - 1)
{
}

Autorange::Reading Autorange::pick(double millivolts) const
{
    const std::int32_t top = std::max(adc_.ranges - 1, 0);
    for (std::int32_t range = 0;; ++range) {
        // The inverse of the station's scaling: millivolts = count × factor × 1000 × V / full scale.
        const double perCount = 1000.0 * adc_.inputVoltage * adc_.rangeFactor(range) / fullScale_;
        const double count = std::round(millivolts / perCount);
        if ((count <= maxCount_ && count >= -maxCount_ - 1) || range == top)
            return {range, static_cast<std::int32_t>(std::clamp<double>(count, -maxCount_ - 1, maxCount_))};
    }
}

} // namespace chromsim
