#include "chromsim/Signalmodel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace chromsim {
namespace {

struct GasPeak {
    double windowStart;  // seconds
    double windowEnd;
    double height;       // millivolts, before the per-cycle scatter
};

// The station's default retention windows. Heights give areas of roughly 5 to 500 mV·s, falling
// from methane to hexane as in a typical mud gas.
constexpr std::array<GasPeak, 6> gases{{
    {10, 15, 250},
    {17, 20, 90},
    {34, 40, 35},
    {48, 54, 18},
    {60, 65, 9},
    {70, 75, 5},
}};

constexpr double noiseMillivolts = 0.02;
constexpr double driftMillivolts = 0.3;
constexpr double driftPeriod = 240;      // seconds
constexpr double driftSlope = 0.002;     // mV per second: the column slowly warming
constexpr double gasSwing = 0.25;        // share of the total-gas level
constexpr double gasPeriod = 90;
constexpr double gasNoisePercent = 0.005;

double uniform(std::mt19937_64& random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

} // namespace

SignalModel::SignalModel(std::uint64_t seed, bool withPeaks)
    : random_(seed),
      offset_(uniform(random_, 1.0, 2.0)),
      driftPhase_(uniform(random_, 0, 2 * std::numbers::pi)),
      gasLevel_(uniform(random_, 0.2, 1.5)),
      gasPhase_(uniform(random_, 0, 2 * std::numbers::pi))
{
    if (!withPeaks)
        return;
    // Each sample is richer or leaner as a whole; each gas scatters a little on its own.
    const double show = uniform(random_, 0.6, 1.4);
    for (const auto& gas : gases) {
        const double width = gas.windowEnd - gas.windowStart;
        // At least four sigmas from either edge, so the station's baseline at the edges is clean.
        const double centre = gas.windowStart + width * uniform(random_, 0.4, 0.6);
        peaks_.push_back({centre, width / 10, gas.height * show * uniform(random_, 0.9, 1.1)});
    }
}

double SignalModel::detectorMillivolts(double seconds)
{
    return baseline(seconds) + peakSum(seconds) + noiseMillivolts * noise_(random_);
}

double SignalModel::totalGasPercent(double seconds)
{
    const double level = gasLevel_ * (1 + gasSwing * std::sin(2 * std::numbers::pi * seconds / gasPeriod + gasPhase_));
    return std::max(0.0, level + gasNoisePercent * noise_(random_));
}

double SignalModel::baseline(double seconds) const
{
    return offset_ + driftMillivolts * std::sin(2 * std::numbers::pi * seconds / driftPeriod + driftPhase_)
        + driftSlope * seconds;
}

double SignalModel::peakSum(double seconds) const
{
    double sum = 0;
    for (const auto& peak : peaks_) {
        const double z = (seconds - peak.centre) / peak.sigma;
        if (std::abs(z) < 8)
            sum += peak.height * std::exp(-0.5 * z * z);
    }
    return sum;
}

} // namespace chromsim
