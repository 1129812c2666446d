#pragma once

#include "library/Array.h"

#include <cstdint>

// One chromatogram point; its memory image (24 bytes, little-endian) is what curve and history
// files store.
struct CurvePoint {
    std::uint64_t reserved = 0;
    double value = 0;         // millivolts, zero shift removed where the reader asks for it
    std::int32_t second = 0;  // whole seconds since the analysis started
    std::int32_t reservedTail = 0;

    bool operator==(const CurvePoint&) const = default;
};
static_assert(sizeof(CurvePoint) == 24);

using CurvePoints = lib::array<CurvePoint>;
