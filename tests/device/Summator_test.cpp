#include "device/Demogenerator.h"
#include "device/Internalsummator.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

struct SummatorRig {
    explicit SummatorRig(InternalSummator::Settings settings = {}) : summator(settings, high, zeroing)
    {
        signals.summatorValue.connect([this](double percent) { percents.push_back(percent); });
        signals.lowChannelRaw.connect([this](double, double offset) { lowOffsets.push_back(offset); });
        signals.highChannelRaw.connect([this](double, double offset) { highOffsets.push_back(offset); });
    }
    void reading(DeviceFrame::Kind kind, double count)
    {
        DeviceFrame frame;
        frame.kind = kind;
        frame.value = count;
        summator.handle(frame, signals);
    }

    std::atomic<bool> high{false};
    std::atomic<bool> zeroing{false};
    AcquisitionSignals signals;
    InternalSummator summator;
    std::vector<double> percents, lowOffsets, highOffsets;
};

TEST(InternalSummator, HighChannelTakesOverAboveItsThreshold)
{
    SummatorRig rig;
    rig.reading(DeviceFrame::summatorLow, 819);  // about 1.0 V
    ASSERT_EQ(rig.percents.size(), 1u);
    EXPECT_NEAR(rig.percents[0], 0.1, 0.001);

    rig.reading(DeviceFrame::summatorHigh, 4096);  // about 5.0 V
    ASSERT_EQ(rig.percents.size(), 2u);
    EXPECT_NEAR(rig.percents[1], 5.0, 0.001);
    EXPECT_TRUE(rig.high);

    rig.reading(DeviceFrame::summatorLow, 819);  // silent while the high channel is active
    EXPECT_EQ(rig.percents.size(), 2u);
    rig.reading(DeviceFrame::summatorHigh, 700);  // 0.85 V: below the threshold, no value
    EXPECT_EQ(rig.percents.size(), 2u);
    EXPECT_FALSE(rig.high);
    rig.reading(DeviceFrame::summatorLow, 819);
    EXPECT_EQ(rig.percents.size(), 3u);
}

TEST(InternalSummator, ZeroCalibrationKeepsMinusTheLargestReadingAndEmitsNothing)
{
    SummatorRig rig({0.5, 0.5, 0.95, 1.0, 10.0});
    rig.zeroing = true;
    rig.reading(DeviceFrame::summatorLow, 82);    // about 0.1 V
    rig.reading(DeviceFrame::summatorLow, 164);   // about 0.2 V
    rig.reading(DeviceFrame::summatorLow, 41);
    rig.reading(DeviceFrame::summatorHigh, 41);
    EXPECT_TRUE(rig.percents.empty());
    EXPECT_NEAR(rig.lowOffsets.back(), -InternalSummator::volts(164), 1e-12);  // started from 0, not 0.5
    EXPECT_NEAR(rig.highOffsets.back(), -InternalSummator::volts(41), 1e-12);

    rig.zeroing = false;
    rig.reading(DeviceFrame::summatorLow, 164);  // the new offset applies at once
    ASSERT_EQ(rig.percents.size(), 1u);
    EXPECT_NEAR(rig.percents[0], 0.0, 1e-12);
}

TEST(DemoGenerator, EndsAfter6000FramesPerSampleRateWithPausesAndSummatorReadings)
{
    int pauses = 0;
    DemoGenerator generator(2, 42, [&pauses](std::chrono::milliseconds pause) {
        EXPECT_EQ(pause.count(), 10);
        ++pauses;
    });
    std::vector<DeviceFrame> summatorFrames;
    std::int64_t frames = 0;
    double largest = 0;
    while (!generator.exhausted()) {
        DeviceFrame frame;
        ASSERT_EQ(generator.next(frame), statusOk);
        ASSERT_EQ(frame.counter, frames & 0x7F);
        if (frame.kind != DeviceFrame::sample) {
            EXPECT_EQ(frames % 400, 0) << frames;
            summatorFrames.push_back(frame);
        } else {
            largest = std::max(largest, frame.value);
        }
        ++frames;
    }
    EXPECT_EQ(frames, 12000);
    EXPECT_EQ(pauses, 120);
    ASSERT_EQ(summatorFrames.size(), 30u);
    for (std::size_t i = 0; i + 1 < summatorFrames.size(); i += 2) {
        EXPECT_EQ(summatorFrames[i].kind, DeviceFrame::summatorLow);
        EXPECT_EQ(summatorFrames[i + 1].kind, DeviceFrame::summatorHigh);
        EXPECT_EQ(summatorFrames[i + 1].value, summatorFrames[i].value);  // the high channel repeats the count
        EXPECT_LT(summatorFrames[i].value, 8191);
    }
    EXPECT_GT(largest, 2000.0);
    EXPECT_LT(largest, 8000.0);
}

} // namespace
