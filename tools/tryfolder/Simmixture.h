#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tryfolder {

// The sample nivra-chromsim analyses in one cycle, read from its own signal model: the
// alkanes methane to hexane in elution order, each with the area of its peak and its share of
// the sample. The simulated detector is a flame-ionisation one: its response is proportional
// to the carbon atoms burnt, the same per atom for every gas.
class SimMixture {
public:
    static constexpr double areaPerCarbonPercent = 100;  // mV·s for 1 % of a gas per carbon atom

    struct Component {
        int carbonAtoms;       // 1 for methane … 6 for hexane
        double retention;      // seconds from the start of the cycle to the peak's top
        double area;           // mV·s above the baseline
        double concentration;  // percent
    };

    // The sample streamed from this seed of the simulator's signal.
    explicit SimMixture(std::uint64_t signalSeed);
    // The sample of cycle number `cycle` (1 first) of a simulator started with --seed runSeed.
    static SimMixture ofCycle(std::uint64_t runSeed, std::uint64_t cycle);

    const std::vector<Component>& components() const { return components_; }
    // The component whose peak top lies within the window, seconds; none when no peak does.
    std::optional<Component> inWindow(double start, double end) const;

private:
    std::vector<Component> components_;
};

} // namespace tryfolder
