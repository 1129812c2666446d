#pragma once

#include "device/Acquisitionsignals.h"
#include "device/Deviceframe.h"

#include <atomic>

// The two-channel summator built into the model-1 chromatograph: readings of the low and the
// high channel become one percent value, the high channel taking over above its threshold.
//
// Zero calibration keeps its offsets here and hands them out with every raw reading, rather
// than writing the settings from this thread; the window that runs the calibration stores them.
class InternalSummator {
public:
    struct Settings {
        double null = 0;       // zero offset of the low channel, volts
        double null10 = 0;     // zero offset of the high channel, volts
        double threshold = 0.95;
        double max1 = 1.0;
        double max10 = 10.0;
    };

    InternalSummator(Settings settings, std::atomic<bool>& highChannelActive, std::atomic<bool>& zeroCalibration);

    void handle(const DeviceFrame& frame, AcquisitionSignals& signals);

    static double volts(double count) { return count * 10.0 / 8191.0; }

private:
    void handleHigh(double count, AcquisitionSignals& signals);
    void handleLow(double count, AcquisitionSignals& signals);
    bool calibrating();

    Settings settings_;
    std::atomic<bool>& highChannelActive_;
    std::atomic<bool>& zeroCalibration_;
    bool wasCalibrating_ = false;
};
