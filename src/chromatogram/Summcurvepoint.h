#pragma once

#include "library/Array.h"

#include <array>
#include <cstdint>
#include <type_traits>

// One second of the gas summator's trend; its memory image (24 bytes, little-endian) is what
// the trend file stores, so the members keep this order and carry no padding.
struct SummCurvePoint {
    double time = 0;         // days since 30 December 1899, local time of day in the fraction
    float depth = 0;         // metres, 0 when unknown
    float value = 0;         // the mean summator reading of that second
    std::uint8_t markShown = 0;  // 1: the chart shows this point's depth label
    std::array<std::uint8_t, 7> reserved{};

    bool operator==(const SummCurvePoint&) const = default;
};
static_assert(sizeof(SummCurvePoint) == 24);
static_assert(std::is_trivially_copyable_v<SummCurvePoint>);

using SummCurvePoints = lib::array<SummCurvePoint>;
