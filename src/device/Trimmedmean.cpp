#include "device/Trimmedmean.h"

#include <algorithm>
#include <array>

double trimmedMean(std::span<const double> values)
{
    constexpr std::size_t trimmed = 20;
    constexpr std::size_t capacity = 64;
    std::array<double, capacity> kept{};  // no allocation: this runs every 50 frames
    std::size_t count = 0;
    for (const double value : values)
        if (value != removedSampleMarker && count < capacity)
            kept[count++] = value;
    std::sort(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(count));
    const std::size_t withoutLargest = count - std::min(trimmed, count);
    const std::size_t first = std::min(trimmed, withoutLargest);
    if (first >= withoutLargest)
        return 0.0;
    double sum = 0;
    for (std::size_t i = first; i < withoutLargest; ++i)
        sum += kept[i];
    return sum / static_cast<double>(withoutLargest - first);
}
