#pragma once

#include <cstdint>
#include <string>

// One gas window marked on a chromatogram, with the gas's result when it has one.
struct GazArea {
    std::uint32_t colour = 0;  // red in the low byte
    std::int32_t firstIndex = 0;
    std::int32_t lastIndex = 0;
    std::string gasName;
    std::string resultText;  // " 0,123% ", empty without a result
    double peakMaximum = 0;
    bool hasResult = false;

    bool operator==(const GazArea&) const = default;
};
