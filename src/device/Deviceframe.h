#pragma once

#include <cstdint>

// One decoded four-byte frame of the chromatograph.
struct DeviceFrame {
    enum Kind : std::uint8_t { sample = 0, summatorLow = 4, summatorHigh = 5 };

    std::uint8_t kind = sample;
    std::uint8_t counter = 0;  // 7-bit frame counter
    double value = 0;          // sample: signed ADC count × range factor; summator: 14-bit count
    std::int32_t adcCount = 0; // sample: the signed count alone
    std::int32_t range = 0;    // sample: the range index

    bool operator==(const DeviceFrame&) const = default;
};
