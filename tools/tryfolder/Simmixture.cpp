#include "tryfolder/Simmixture.h"

#include "chromsim/Signalmodel.h"

#include <cmath>
#include <numbers>

namespace tryfolder {

SimMixture::SimMixture(std::uint64_t signalSeed)
{
    const chromsim::SignalModel signal(signalSeed, true);
    int carbonAtoms = 0;
    for (const auto& peak : signal.peaks()) {
        ++carbonAtoms;
        // The whole Gaussian: the station integrates at least four sigmas to either side.
        const double area = peak.height * peak.sigma * std::sqrt(2 * std::numbers::pi);
        components_.push_back({carbonAtoms, peak.centre, area, area / (areaPerCarbonPercent * carbonAtoms)});
    }
}

SimMixture SimMixture::ofCycle(std::uint64_t runSeed, std::uint64_t cycle)
{
    // How nivra-chromsim seeds each cycle's signal.
    return SimMixture(runSeed + cycle);
}

std::optional<SimMixture::Component> SimMixture::inWindow(double start, double end) const
{
    for (const auto& component : components_)
        if (component.retention >= start && component.retention <= end)
            return component;
    return std::nullopt;
}

} // namespace tryfolder
