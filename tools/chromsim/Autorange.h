#pragma once

#include "device/Adcparameters.h"

#include <cstdint>

namespace chromsim {

// The instrument's autoranging amplifier: a voltage becomes an ADC count on the most sensitive
// range that does not overflow.
class Autorange {
public:
    struct Reading {
        std::int32_t range = 0;
        std::int32_t count = 0;  // signed, within the ADC's bits
        bool operator==(const Reading&) const = default;
    };

    explicit Autorange(const AdcParameters& adc = {});

    // Beyond the least sensitive range the count clips at the ADC's limit.
    Reading pick(double millivolts) const;

private:
    AdcParameters adc_;
    double fullScale_;
    std::int32_t maxCount_;
};

} // namespace chromsim
