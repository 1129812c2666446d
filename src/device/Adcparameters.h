#pragma once

#include <cstdint>

// How ADC counts become millivolts; read from the settings once per cycle.
struct AdcParameters {
    std::int32_t bits = 14;
    std::int32_t ranges = 4;
    std::int32_t rangeRatio = 10;
    double inputVoltage = 2.5;

    // 2^bits × ratio^(ranges − 1): the count of the most sensitive range at full input.
    double fullScale() const;
    double rangeFactor(std::int32_t range) const;
    double millivolts(double value, double fullScale) const { return value * 1000.0 * inputVoltage / fullScale; }
};
