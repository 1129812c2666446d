#pragma once

#include "analysis/Calculatedgaz.h"
#include "device/Curvepoint.h"

#include <boost/signals2/signal.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

class Configuration;
class Gaz;
class GazOptions;
class SampleBuffer;

// Watches the acquisition buffer during an analysis: computes the zero level, integrates each
// gas once the signal has passed its window by five seconds, turns the response into a
// concentration, and completes the list with the total and the shares.
//
// Every index derived from a window is checked against the buffer: a window that reaches
// outside it waits for more samples, and a correction that would read outside it is abandoned.
class Calculation {
public:
    using ConcentrationFunction = std::function<double(std::size_t gasIndex, double response)>;

    Calculation(SampleBuffer& buffer, GazOptions& gases, const Configuration& configuration);

    void reset();
    // One pass over what the buffer holds now; main thread.
    void update(double depth, bool announceAtOnce);
    // The operator's "save": announces a pending list once, with two beeps.
    void announcePending();

    double zeroLevel() const { return zero_; }
    bool zeroReady() const { return zeroReady_; }
    bool resultsReady() const { return resultsReady_; }
    double baseline() const { return baseline_; }
    double depth() const { return depth_; }
    const CalculatedGazes& results() const { return results_; }

    ConcentrationFunction concentrationFunction;
    // Main thread, from update or announcePending.
    boost::signals2::signal<void(const CalculatedGazes& results, double depth)> resultsAnnounced;

private:
    struct Window {
        std::int64_t start;
        std::int64_t end;
    };

    void computeZero(const CurvePoints& samples);
    bool hasResult(const Gaz& gas) const;
    void calculateGas(std::size_t index, const CurvePoints& samples);
    std::optional<Window> workingWindow(const Gaz& gas) const;
    void correctWindow(Gaz& gas, const CurvePoints& samples) const;
    double response(const Window& window, const CurvePoints& samples, double& peakMaximum);
    double limitedConcentration(std::size_t index, double response) const;
    void complete();
    std::int64_t index(double seconds) const;
    std::int32_t rate() const;

    SampleBuffer& buffer_;
    GazOptions& gases_;
    const Configuration& configuration_;
    double zero_ = 0;
    bool zeroReady_ = false;
    double baseline_ = 0;
    double depth_ = 0;
    bool resultsReady_ = false;
    CalculatedGazes results_;
};
