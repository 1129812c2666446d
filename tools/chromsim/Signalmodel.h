#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace chromsim {

// What the detector and the summator of the simulated instrument see during a cycle: a
// drifting, noisy baseline with one Gaussian peak per gas of the station's default table.
class SignalModel {
public:
    struct Peak {
        double centre;  // seconds from the start of the cycle
        double sigma;   // seconds
        double height;  // millivolts above the baseline
    };

    // Without peaks the detector shows the baseline alone, as between analyses.
    SignalModel(std::uint64_t seed, bool withPeaks);

    double detectorMillivolts(double seconds);
    double totalGasPercent(double seconds);
    const std::vector<Peak>& peaks() const { return peaks_; }

private:
    double baseline(double seconds) const;
    double peakSum(double seconds) const;

    std::mt19937_64 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
    std::vector<Peak> peaks_;
    double offset_;
    double driftPhase_;
    double gasLevel_;
    double gasPhase_;
};

} // namespace chromsim
