#include "analysis/Gaz_calculation.h"
#include "analysis/Gazopts.h"
#include "device/Samplebuffer.h"
#include "platform/Beep.h"
#include "testsupport/Recordingnotifier.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <cmath>
#include <vector>

namespace {

using ::testing::ElementsAre;

class CalculationTest : public ::testing::Test {
protected:
    CalculationTest() : gases(buffer), calculation(buffer, gases, configuration)
    {
        configuration.samplesPerSecond = 10;
        configuration.zeroTime = 5;
        configuration.minGazValue = 0.0001;
        calculation.concentrationFunction = [this](std::size_t gas, double response) {
            calls.emplace_back(gas, response);
            return response;  // one percent per unit of response unless a test says otherwise
        };
        calculation.resultsAnnounced.connect([this](const CalculatedGazes& results, double depth) {
            announced.push_back(results);
            depths.push_back(depth);
        });
    }

    void useGases(std::vector<std::pair<float, float>> windows)
    {
        gases.Gazes.clear();
        const char* names[] = {"метан", "этан", "пропан", "бутан"};
        for (std::size_t i = 0; i < windows.size(); ++i) {
            Gaz& gas = gases.Gazes.emplace_back();
            gas.name = names[i];
            gas.label = "C" + std::to_string(i + 1);
            gas.colour = 0x10 + static_cast<std::uint32_t>(i);
            gas.nominalStart = gas.integrationStart = windows[i].first;
            gas.nominalEnd = gas.integrationEnd = windows[i].second;
        }
    }

    // Appends samples: value(i) for the next count sample indices.
    template <typename Signal>
    void feed(int count, Signal value)
    {
        for (int k = 0; k < count; ++k) {
            CurvePoint point;
            point.value = value(fed);
            buffer.append(point);
            ++fed;
        }
    }
    void feedFlat(int count, double millivolts)
    {
        feed(count, [millivolts](int) { return millivolts; });
    }

    test::DecimalSeparatorScope point{'.'};
    Configuration configuration;
    platform::RecordingNotifier notifier;
    SampleBuffer buffer;
    GazOptions gases;
    Calculation calculation;
    int fed = 0;
    std::vector<std::pair<std::size_t, double>> calls;
    std::vector<CalculatedGazes> announced;
    std::vector<double> depths;
};

TEST_F(CalculationTest, ZeroLevelIsTheMeanAfterTheFirstTenthOfASecond)
{
    useGases({});
    feed(49, [](int i) { return i < 1 ? 100.0 : 2.0; });  // index 0 lies before R / 10
    calculation.update(0, false);
    EXPECT_FALSE(calculation.zeroReady());  // needs Z × R = 50 samples
    feedFlat(1, 2.0);
    calculation.update(0, false);
    EXPECT_TRUE(calculation.zeroReady());
    EXPECT_DOUBLE_EQ(calculation.zeroLevel(), 2.0);
}

TEST_F(CalculationTest, WindowOfFiveSamplesIsNeverIntegrated)
{
    useGases({{1.0f, 1.5f}});  // indices 10 and 15
    feedFlat(500, 1.0);
    calculation.update(0, false);
    EXPECT_TRUE(calculation.results().empty());
    EXPECT_TRUE(calls.empty());
}

TEST_F(CalculationTest, GasIsIntegratedFiveSecondsAfterItsWindow)
{
    useGases({{50.0f, 60.0f}});  // ends at index 600; needs 650 samples
    feedFlat(649, 1.0);
    calculation.update(0, false);
    EXPECT_TRUE(calculation.results().empty());
    feedFlat(1, 1.0);
    calculation.update(12.5, false);
    ASSERT_EQ(calculation.results().size(), 3u);  // the gas, the total, its share
    EXPECT_THAT(calls, ElementsAre(std::pair<std::size_t, double>{0, 0.0}));  // flat: area 0
    EXPECT_DOUBLE_EQ(calculation.baseline(), 1.0);
    EXPECT_TRUE(calculation.resultsReady());
    EXPECT_TRUE(announced.empty());  // waits for the operator
    calculation.update(12.5, false);
    EXPECT_EQ(calls.size(), 1u);  // computed once
}

TEST_F(CalculationTest, PeakModeSubtractsTheBaselineTwice)
{
    configuration.calcResultFromPeak = true;
    useGases({{1.0f, 3.0f}});
    feed(300, [](int i) { return i == 20 ? 5.0 : 1.0; });
    calculation.update(0, false);
    ASSERT_FALSE(calculation.results().empty());
    EXPECT_DOUBLE_EQ(calculation.results()[0].area, 3.0);
    EXPECT_DOUBLE_EQ(calculation.results()[0].peakMaximum, 5.0);
}

TEST_F(CalculationTest, GaussianPeakIntegratesToItsArea)
{
    // 4 mV·s under a Gaussian of sigma 1 s centred in a 10 s window on a 0.5 mV baseline: the
    // window holds ±5 sigma, so the tails it cuts off are below 1e-6 of the area; the only error
    // left is the rectangle rule at 10 samples a second, far below the 0.1 % allowed here.
    const double area = 4.0, sigma = 1.0, centre = 25.0;
    useGases({{20.0f, 30.0f}});
    feed(400, [&](int i) {
        const double t = i / 10.0;
        return 0.5 + area / (sigma * std::sqrt(2 * M_PI)) * std::exp(-0.5 * std::pow((t - centre) / sigma, 2));
    });
    calculation.update(0, false);
    ASSERT_FALSE(calculation.results().empty());
    EXPECT_NEAR(calculation.results()[0].area, area, area * 0.001);
}

TEST_F(CalculationTest, ConcentrationsAreCappedAndSmallOnesDropped)
{
    configuration.minGazValue = 0.01;
    const double returned[] = {150.0, 0.001, std::nan(""), -3.0};
    const double expected[] = {100.0, 0.0, 0.0, 0.0};
    for (std::size_t c = 0; c < 4; ++c) {
        calculation.reset();
        calculation.concentrationFunction = [&, c](std::size_t, double) { return returned[c]; };
        useGases({{1.0f, 3.0f}});
        calculation.update(0, false);
        if (fed == 0)
            feedFlat(300, 1.0);
        calculation.update(0, false);
        ASSERT_FALSE(calculation.results().empty());
        EXPECT_EQ(calculation.results()[0].concentration, expected[c]) << returned[c];
    }
}

TEST_F(CalculationTest, TotalIsCappedAndSharesFollowTheAbsoluteResults)
{
    struct Case {
        double first, second, total, firstShare, secondShare;
    };
    const Case cases[] = {{40, 80, 100, 40, 80}, {0, 0, 0, 0, 0}, {10, 30, 40, 25, 75}};
    for (const auto& c : cases) {
        calculation.reset();
        calculation.concentrationFunction = [&c](std::size_t gas, double) { return gas == 0 ? c.first : c.second; };
        useGases({{1.0f, 3.0f}, {4.0f, 6.0f}});
        if (fed == 0)
            feedFlat(300, 1.0);
        calculation.update(0, false);
        const auto& r = calculation.results();
        ASSERT_EQ(r.size(), 5u);
        EXPECT_EQ(r[2].concentration, c.total);
        EXPECT_EQ(r[3].concentration, c.firstShare);
        EXPECT_EQ(r[4].concentration, c.secondShare);
    }
}

TEST_F(CalculationTest, ResultRecordsCarryTheirTexts)
{
    configuration.samplesPerSecond = 10;
    calculation.concentrationFunction = [](std::size_t gas, double) { return gas == 0 ? 0.5 : 12.0; };
    useGases({{1.0f, 3.0f}, {4.0f, 6.0f}});
    feed(300, [](int i) { return i == 20 ? 3.0 : 1.0; });  // area of methane: 2 mV × 0.1 s
    calculation.update(0, false);
    const auto& r = calculation.results();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].name, "метан");
    EXPECT_EQ(r[0].key, "метан_абс");
    EXPECT_EQ(r[0].label, "C1");
    EXPECT_EQ(r[0].description, "метан: площадь = 0.2, конц. = 0.5%");
    EXPECT_EQ(r[0].shortText, " 0.5% ");
    EXPECT_EQ(r[0].colour, 0x10u);
    EXPECT_EQ(r[0].derived, 0);
    EXPECT_EQ(r[2].name, "сумм_газ");
    EXPECT_EQ(r[2].key, "сумм_газ");
    EXPECT_EQ(r[2].label, "GS");
    EXPECT_EQ(r[2].description, "сумм_газ = 12.5%");
    EXPECT_EQ(r[2].derived, 1);
    EXPECT_EQ(r[4].name, "этан_отн");
    EXPECT_EQ(r[4].key, "этан_отн");
    EXPECT_EQ(r[4].label, "C2r");
    EXPECT_EQ(r[4].description, "этан = 96%");
    EXPECT_EQ(r[4].colour, 0x11u);
    EXPECT_EQ(r[4].derived, 1);
}

TEST_F(CalculationTest, SavePressedTwiceAnnouncesOnceWithTwoBeeps)
{
    std::vector<std::pair<int, int>> beeps;
    const auto previous = platform::setBeepSink([&beeps](int f, int ms) { beeps.emplace_back(f, ms); });
    useGases({{1.0f, 3.0f}});
    feedFlat(300, 1.0);
    calculation.update(2500.5, false);
    calculation.announcePending();
    calculation.announcePending();
    platform::setBeepSink(previous);
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_THAT(depths, ElementsAre(2500.5));
    EXPECT_THAT(beeps, ElementsAre(std::pair{1000, 40}, std::pair{600, 40}));
}

TEST_F(CalculationTest, SaveAllValuesAnnouncesAtOnceWithoutBeeps)
{
    std::vector<std::pair<int, int>> beeps;
    const auto previous = platform::setBeepSink([&beeps](int f, int ms) { beeps.emplace_back(f, ms); });
    useGases({{1.0f, 3.0f}});
    feedFlat(300, 1.0);
    calculation.update(7, true);
    calculation.announcePending();  // nothing left pending
    platform::setBeepSink(previous);
    EXPECT_EQ(announced.size(), 1u);
    EXPECT_TRUE(beeps.empty());
}

TEST_F(CalculationTest, CorrectionLeavesAFlatWindowAlone)
{
    configuration.correctWindows = true;
    useGases({{10.0f, 20.0f}});
    feed(400, [](int i) { return 1.0 + (i % 2) * 0.005; });
    calculation.update(0, false);
    EXPECT_FLOAT_EQ(gases.gas(0).integrationStart, 10.0f);
    EXPECT_FLOAT_EQ(gases.gas(0).integrationEnd, 20.0f);
}

TEST_F(CalculationTest, CorrectionMovesTheEdgesOfARealPeak)
{
    // A peak from 9 to 21 s that the window 10–20 s cuts on both sides: the signal rises into
    // the start and falls at the end, so the edges move out to where the signal is flat.
    configuration.correctWindows = true;
    useGases({{10.0f, 20.0f}});
    feed(400, [](int i) {
        const double t = i / 10.0;
        return t < 9 || t > 21 ? 1.0 : 1.0 + 10.0 * std::sin(M_PI * (t - 9) / 12);
    });
    calculation.update(0, false);
    EXPECT_FLOAT_EQ(gases.gas(0).integrationStart, 9.0f);
    EXPECT_FLOAT_EQ(gases.gas(0).integrationEnd, 21.0f);
    EXPECT_FLOAT_EQ(gases.gas(0).nominalStart, 10.0f);
    ASSERT_FALSE(calculation.results().empty());
    // Nearly the whole peak (76.4 above 1 mV, less what the raised baseline of the corrected
    // edges cuts off), against 45.9 inside the uncorrected window.
    EXPECT_NEAR(calculation.results()[0].area, 73.9, 0.05);
}

TEST_F(CalculationTest, WindowsAtTheEdgesOfTheBufferNeverReadOutsideIt)
{
    configuration.correctWindows = true;
    const std::pair<float, float> windows[] = {{0.0f, 2.0f}, {0.0f, 0.1f}, {-1.0f, 5.0f}, {38.0f, 45.0f}, {1e30f, 2e30f},
                                               {std::nanf(""), 3.0f}};
    for (const auto& window : windows) {
        calculation.reset();
        useGases({window});
        if (fed == 0)
            feed(500, [](int i) { return 1.0 + (i % 7); });
        EXPECT_NO_THROW(calculation.update(0, false)) << window.first;
    }
}

TEST_F(CalculationTest, DamagedSamplesNeverBecomeNotANumber)
{
    useGases({{1.0f, 3.0f}, {4.0f, 6.0f}});
    feed(300, [](int i) {
        if (i == 15)
            return std::nan("");
        return i == 45 ? INFINITY : 1.0;
    });
    calculation.update(0, false);
    ASSERT_EQ(calculation.results().size(), 5u);
    for (const auto& r : calculation.results()) {
        EXPECT_TRUE(std::isfinite(r.concentration)) << r.name;
        EXPECT_TRUE(std::isfinite(r.area)) << r.name;
    }
    EXPECT_TRUE(std::isfinite(calculation.zeroLevel()));
}

} // namespace
