#include "device/Internalsummator.h"

InternalSummator::InternalSummator(Settings settings, std::atomic<bool>& highChannelActive,
                                   std::atomic<bool>& zeroCalibration)
    : settings_(settings), highChannelActive_(highChannelActive), zeroCalibration_(zeroCalibration)
{
}

bool InternalSummator::calibrating()
{
    const bool now = zeroCalibration_.load();
    if (now && !wasCalibrating_)
        settings_.null = settings_.null10 = 0;  // a calibration starts from zero offsets
    wasCalibrating_ = now;
    return now;
}

void InternalSummator::handle(const DeviceFrame& frame, AcquisitionSignals& signals)
{
    if (frame.kind == DeviceFrame::summatorHigh)
        handleHigh(frame.value, signals);
    else if (frame.kind == DeviceFrame::summatorLow)
        handleLow(frame.value, signals);
}

void InternalSummator::handleHigh(double count, AcquisitionSignals& signals)
{
    const double v = volts(count);
    const bool zeroing = calibrating();
    if (zeroing && v > -settings_.null10)
        settings_.null10 = -v;
    signals.highChannelRaw(count, settings_.null10);
    if (zeroing)
        return;
    if (v > settings_.threshold) {
        signals.summatorValue((v + settings_.null10) * settings_.max10 * 0.1);
        highChannelActive_ = true;
    } else {
        highChannelActive_ = false;
    }
}

void InternalSummator::handleLow(double count, AcquisitionSignals& signals)
{
    const double v = volts(count);
    const bool zeroing = calibrating();
    if (zeroing && v > -settings_.null)
        settings_.null = -v;
    signals.lowChannelRaw(count, settings_.null);
    if (!zeroing && !highChannelActive_)
        signals.summatorValue((v + settings_.null) * settings_.max1 * 0.1);
}
