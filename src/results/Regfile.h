#pragma once

#include "library/Mytime.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace reg_file {

// One analysis in the well's results file "data.tim": 145 bytes, little-endian, no header.
// Other programs of the station read this layout, so it never changes.
struct File {
    static constexpr std::size_t recordSize = 145;
    static constexpr std::size_t slotCount = 32;
    static constexpr std::size_t flagOffset = 0;
    static constexpr std::size_t timeOffset = 1;
    static constexpr std::size_t depthOffset = 5;
    static constexpr std::size_t valuesOffset = 13;

    using Bytes = std::array<char, recordSize>;

    std::uint8_t flag = 0;
    lib::LocalSeconds time = 0;
    float depth = 0;
    std::array<float, slotCount> values{};  // percent; unused slots 0

    // The reserved bytes are written as zeros.
    Bytes bytes() const;
    // record points at recordSize readable bytes; the reserved bytes are ignored.
    static File fromBytes(const char* record);

    static std::size_t valueOffset(std::size_t slot) { return valuesOffset + 4 * slot; }
    // Changes one field of a stored record in place, leaving every other byte as it is.
    static void storeReal(char* record, std::size_t offset, float value);
    static float loadReal(const char* record, std::size_t offset);
};

} // namespace reg_file
