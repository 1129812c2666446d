#include "device/Acquisition.h"
#include "device/Trimmedmean.h"

#include <gmock/gmock.h>

#include <numeric>
#include <vector>

namespace {

// Feeds frames and records every point the acquisition hands out.
class AcquisitionRig {
public:
    explicit AcquisitionRig(Acquisition::Settings settings = {})
        : summator_({}, high_, zeroing_), acquisition_(settings, signals_, live_, summator_)
    {
        signals_.point.connect([this](const CurvePoint& p) { points.push_back(p); });
    }

    void sample(std::uint8_t counter, double value)
    {
        DeviceFrame frame;
        frame.counter = counter;
        frame.value = value;
        acquisition_.feed(frame);
    }
    void summator(std::uint8_t counter)
    {
        DeviceFrame frame;
        frame.kind = DeviceFrame::summatorLow;
        frame.counter = counter;
        acquisition_.feed(frame);
    }
    // The next frames of a stream whose counter goes 1, 2, 3 … modulo 128, all the same value.
    void steadyStream(int frames, double value)
    {
        for (int i = 0; i < frames; ++i)
            sample(static_cast<std::uint8_t>(++counter_ % 128), value);
    }

    std::vector<CurvePoint> points;
    Acquisition& acquisition() { return acquisition_; }
    LiveValues& live() { return live_; }

private:
    AcquisitionSignals signals_;
    LiveValues live_;
    int counter_ = 0;
    std::atomic<bool> high_{true};
    std::atomic<bool> zeroing_{false};
    InternalSummator summator_;
    Acquisition acquisition_;
};

// A value whose millivolts are exactly the count, for readable expectations.
constexpr double oneMillivolt = 16384000.0 / 2500.0;

TEST(Acquisition, CounterAdvancesModulo128AndRepeatsAddNothing)
{
    AcquisitionRig rig;
    const std::pair<std::uint8_t, std::int64_t> steps[] = {{126, 126}, {127, 127}, {0, 128}, {1, 129}, {1, 129}, {4, 132}};
    for (const auto& [counter, ticks] : steps) {
        rig.sample(counter, 0);
        EXPECT_EQ(rig.acquisition().ticks(), ticks) << int(counter);
    }
    AcquisitionRig gap;
    gap.sample(126, 0);
    gap.sample(1, 0);
    EXPECT_EQ(gap.acquisition().ticks(), 129);  // 126 -> 1 is three frame times
}

TEST(Acquisition, OnePointPerFiftyFramesWithItsSecond)
{
    AcquisitionRig rig;
    rig.steadyStream(49, oneMillivolt);
    EXPECT_TRUE(rig.points.empty());
    rig.steadyStream(1, oneMillivolt);  // the 50th frame time
    ASSERT_EQ(rig.points.size(), 1u);
    EXPECT_DOUBLE_EQ(rig.points[0].value, 1.0);
    rig.steadyStream(400 - 50, oneMillivolt);
    ASSERT_EQ(rig.points.size(), 8u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(rig.points[static_cast<std::size_t>(i)].second, 0) << i;
    EXPECT_EQ(rig.points[7].second, 1);
    EXPECT_EQ(rig.live().second.load(), 1);
}

TEST(Acquisition, GapsAreFilledByInterpolationFromZero)
{
    AcquisitionRig rig;
    rig.sample(100, 100 * oneMillivolt);  // first counter 100: 100 sub-samples rising 1, 2 … 100 mV
    // Points take the trimmed mean of 1..50 and 51..100: the middle ten of each block.
    ASSERT_EQ(rig.points.size(), 2u);
    EXPECT_DOUBLE_EQ(rig.points[0].value, 25.5);
    EXPECT_DOUBLE_EQ(rig.points[1].value, 75.5);
}

TEST(Acquisition, PointsBeyondTheScreenAreNotPublished)
{
    Acquisition::Settings settings;
    settings.screenSeconds = 2;
    AcquisitionRig rig(settings);
    rig.steadyStream(5 * 400, oneMillivolt);  // five seconds of frames
    ASSERT_EQ(rig.points.size(), 23u);         // seconds 0 (7 points), 1 and 2 (8 each)
    EXPECT_EQ(rig.points.back().second, 2);
    EXPECT_EQ(rig.acquisition().ticks(), 2000);  // reading went on all the same
}

TEST(Acquisition, SummatorPresenceInSummatorOnlyStreaming)
{
    Acquisition::Settings settings;
    settings.model = 1;
    settings.summatorOnly = true;
    AcquisitionRig silent(settings);
    silent.steadyStream(200, 0);
    EXPECT_EQ(silent.acquisition().presence(), Acquisition::presenceUnknown);
    silent.steadyStream(1, 0);  // tick 201 > 25 × 8
    EXPECT_EQ(silent.acquisition().presence(), Acquisition::presenceAbsent);
    EXPECT_TRUE(silent.points.empty());  // summator-only publishes no chromatogram

    AcquisitionRig present(settings);
    present.summator(1);
    present.steadyStream(400, 0);
    EXPECT_EQ(present.acquisition().presence(), Acquisition::presenceSeen);

    settings.model = 0;
    AcquisitionRig otherModel(settings);
    otherModel.steadyStream(400, 0);
    EXPECT_EQ(otherModel.acquisition().presence(), Acquisition::presenceUnknown);
}

TEST(TrimmedMean, MiddleTenOfFifty)
{
    std::vector<double> values(50, 3.5);
    EXPECT_DOUBLE_EQ(trimmedMean(values), 3.5);
    values.assign(50, 0.0);
    values[17] = 1e9;
    EXPECT_DOUBLE_EQ(trimmedMean(values), 0.0);
    values.resize(50);
    std::iota(values.begin(), values.end(), 1.0);  // 1..50: 21..30 remain
    EXPECT_DOUBLE_EQ(trimmedMean(values), 25.5);
    values[0] = removedSampleMarker;  // counts as already removed: of 2..50, 22..30 remain
    EXPECT_DOUBLE_EQ(trimmedMean(values), 26.0);
    EXPECT_DOUBLE_EQ(trimmedMean(std::vector<double>(30, 1.0)), 0.0);  // nothing left
}

} // namespace
