#include "device/Acquisition.h"

#include "device/Framecodec.h"
#include "device/Trimmedmean.h"

#include <algorithm>

Acquisition::Acquisition(const Settings& settings, AcquisitionSignals& signals, LiveValues& live,
                         InternalSummator& summator)
    : settings_(settings), signals_(signals), live_(live), summator_(summator),
      fullScale_(settings.adc.fullScale()), presence_(settings.presence)
{
    // A damaged rate must not divide by zero.
    settings_.samplesPerSecond = std::max(settings_.samplesPerSecond, 1);
}

bool Acquisition::isSummatorReading(const DeviceFrame& frame) const
{
    return settings_.model == modelTavir && presence_ != presenceAbsent
        && (frame.kind == DeviceFrame::summatorLow || frame.kind == DeviceFrame::summatorHigh);
}

void Acquisition::feed(const DeviceFrame& frame)
{
    if (isSummatorReading(frame)) {
        presence_ = presenceSeen;
        if (settings_.summatorInUse)
            summator_.handle(frame, signals_);
        return;
    }
    addSample(frame);
    if (settings_.model == modelTavir && presence_ != presenceSeen && settings_.summatorOnly
        && ticks_ > 25 * settings_.samplesPerSecond)
        presence_ = presenceAbsent;  // no summator reading within half a second of frame time
    previousTicks_ = ticks_;
}

void Acquisition::addSample(const DeviceFrame& frame)
{
    live_.adcCount.store(frame.adcCount, std::memory_order_relaxed);
    live_.range.store(frame.range, std::memory_order_relaxed);
    ticks_ += (frame.counter - previousCounter_ + 128) % 128;
    previousCounter_ = frame.counter;
    const auto second = static_cast<std::int32_t>(ticks_ / settings_.samplesPerSecond / subSamplesPerPoint);
    live_.second.store(second, std::memory_order_relaxed);

    const double millivolts = settings_.adc.millivolts(frame.value, fullScale_);
    const double span = static_cast<double>(ticks_ - previousTicks_);
    for (std::int64_t k = previousTicks_ + 1; k <= ticks_; ++k)
        addSubSample(previousMillivolts_ + static_cast<double>(k - previousTicks_) * (millivolts - previousMillivolts_) / span,
                     second);
    previousMillivolts_ = millivolts;
}

void Acquisition::addSubSample(double millivolts, std::int32_t second)
{
    subSamples_[static_cast<std::size_t>(subSampleIndex_++)] = millivolts;
    if (subSampleIndex_ < subSamplesPerPoint)
        return;
    subSampleIndex_ = 0;
    if (settings_.summatorOnly || second > settings_.screenSeconds)
        return;
    CurvePoint point;
    point.value = trimmedMean(subSamples_);
    point.second = second;
    signals_.point(point);
}
