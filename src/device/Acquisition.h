#pragma once

#include "device/Acquisitionsignals.h"
#include "device/Adcparameters.h"
#include "device/Deviceframe.h"
#include "device/Internalsummator.h"

#include <array>
#include <cstdint>

// Turns the irregular frame stream into one chromatogram point per 50 frame times: gaps in the
// frame counter are filled by linear interpolation, each block of 50 sub-samples is reduced to
// its trimmed mean. Summator readings of model 1 go to the internal summator.
class Acquisition {
public:
    static constexpr int subSamplesPerPoint = 50;
    enum Presence : std::int32_t { presenceUnknown = 0, presenceSeen = 1, presenceAbsent = 2 };

    struct Settings {
        std::int32_t model = 0;
        std::int32_t samplesPerSecond = 8;
        std::int32_t screenSeconds = 120;
        AdcParameters adc;
        bool summatorOnly = false;
        bool summatorInUse = false;
        std::int32_t presence = presenceUnknown;
        InternalSummator::Settings summator;
    };

    Acquisition(const Settings& settings, AcquisitionSignals& signals, LiveValues& live, InternalSummator& summator);

    void feed(const DeviceFrame& frame);
    std::int32_t presence() const { return presence_; }
    std::int64_t ticks() const { return ticks_; }

private:
    bool isSummatorReading(const DeviceFrame& frame) const;
    void addSample(const DeviceFrame& frame);
    void addSubSample(double millivolts, std::int32_t second);

    Settings settings_;
    AcquisitionSignals& signals_;
    LiveValues& live_;
    InternalSummator& summator_;
    double fullScale_;
    std::int32_t presence_;
    std::int64_t ticks_ = 0;
    std::int64_t previousTicks_ = 0;
    std::uint8_t previousCounter_ = 0;
    double previousMillivolts_ = 0;
    std::array<double, subSamplesPerPoint> subSamples_{};
    int subSampleIndex_ = 0;
};
