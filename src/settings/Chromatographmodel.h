#pragma once

#include <cstdint>

// The chromatograph models "device_type" names; the frame format and the summator follow them.
enum ChromatographModel : std::int32_t {
    modelLT4KS = 0,  // "ЛТ-4КС": 7-bit halves sent bit-reversed
    modelTavir = 1,  // "Тавир": plain halves, summator readings interleaved
};
