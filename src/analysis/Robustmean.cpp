#include "analysis/Robustmean.h"

#include <cmath>
#include <cstddef>
#include <numeric>
#include <optional>
#include <vector>

namespace {

bool isExcluded(double value)
{
    return std::fabs(excludedValueMarker - value) < 0.1;
}

// Strictly better only, so the first occurrence wins.
template <typename Better>
std::optional<std::size_t> firstExtreme(const std::vector<double>& values, Better better)
{
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!isExcluded(values[i]) && (!found || better(values[i], values[*found])))
            found = i;
    return found;
}

std::optional<std::size_t> largestRemaining(const std::vector<double>& values)
{
    return firstExtreme(values, [](double a, double b) { return a > b; });
}

std::optional<std::size_t> smallestRemaining(const std::vector<double>& values)
{
    return firstExtreme(values, [](double a, double b) { return a < b; });
}

void exclude(std::vector<double>& values, std::optional<std::size_t> index)
{
    if (index)
        values[*index] = excludedValueMarker;
}

// Of three, the one farther from their mean; the smallest on a tie.
void excludeFarthestOfThree(std::vector<double>& values)
{
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / 3;
    std::size_t largest = 0;
    std::size_t smallest = 0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (values[i] > values[largest])
            largest = i;
        if (values[i] < values[smallest])
            smallest = i;
    }
    const bool largestFarther = std::fabs(values[largest] - mean) > std::fabs(values[smallest] - mean);
    values[largestFarther ? largest : smallest] = excludedValueMarker;
}

void excludeExtremes(std::vector<double>& values)
{
    exclude(values, largestRemaining(values));
    exclude(values, smallestRemaining(values));
}

double meanOfRemaining(const std::vector<double>& values)
{
    double sum = 0;
    std::size_t count = 0;
    for (const double value : values) {
        if (isExcluded(value))
            continue;
        sum += value;
        ++count;
    }
    return count == 0 ? 0.0 : sum / static_cast<double>(count);
}

} // namespace

double robustMean(std::span<const double> values)
{
    switch (values.size()) {
    case 0:
        return 0;
    case 1:
        return values[0];
    case 2:
        return (values[0] + values[1]) / 2;
    default:
        break;
    }
    std::vector<double> working(values.begin(), values.end());
    if (working.size() == 3) {
        excludeFarthestOfThree(working);
    } else {
        excludeExtremes(working);
        if (working.size() > 6)
            excludeExtremes(working);
    }
    return meanOfRemaining(working);
}
