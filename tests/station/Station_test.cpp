#include "device/Linkstatus.h"
#include "library/Locker.h"
#include "results/Log.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "station/Station.h"
#include "station/Stationview.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A station in a scratch folder with the demonstration signal, which a cycle runs through at
// full speed.
class StationTest : public ::testing::Test {
protected:
    StationTest()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        build();
    }
    ~StationTest() override
    {
        holdCycle = false;
        station.reset();
        ::unsetenv("NIVRA_MAILSLOT_DIR");
    }

    void build()
    {
        station.reset();
        station = std::make_unique<Station>(configuration, notifier, dir.path());
        // Full speed, unless a test holds the cycle open.
        station->system().nivra.setDemoPacing(
            [this](std::chrono::milliseconds) {
                for (int i = 0; i < 30000 && holdCycle; ++i)
                    std::this_thread::sleep_for(1ms);
            },
            7);
    }
    void open()
    {
        station->startUp();
        configuration.demo = true;
        station->startServices();
    }
    // Ticks until the cycle has ended, as the window's timer would.
    void runCycle()
    {
        ASSERT_EQ(station->start(), std::nullopt);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!station->idle() && std::chrono::steady_clock::now() < deadline) {
            ASSERT_EQ(station->tick(), std::nullopt);
            std::this_thread::sleep_for(10ms);
        }
        ASSERT_TRUE(station->idle());
    }
    std::vector<std::string> journalTexts() const
    {
        std::vector<std::string> texts;
        for (const std::string& line : station->journal().lines())
            texts.push_back(line.size() > 5 ? line.substr(line.find("     ") + 5) : line);
        return texts;
    }

    test::TemporaryDirectory dir;
    test::DecimalSeparatorScope separator{','};
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::atomic<bool> holdCycle = false;
    std::unique_ptr<Station> station;
};

TEST_F(StationTest, OneCycleFromStartUpToClosing)
{
    open();
    EXPECT_THAT(journalTexts(), ::testing::ElementsAre("Запуск программы"));
    EXPECT_TRUE(station->system().textGrid.isOpen());
    EXPECT_EQ(station->system().curve.pointCount(), configuration.samplesPerSecond * configuration.screenSeconds)
        << "the live display's width";

    runCycle();
    EXPECT_EQ(station->system().history.entryCount(), 1u);
    EXPECT_EQ(station->system().textGrid.recordCount(), 1u);
    EXPECT_GT(station->pointCount(), 0u);
    EXPECT_EQ(station->pointCount(), station->system().curve.sampleCount()) << "the live curve took every point";

    station->closeDown();
    EXPECT_THAT(journalTexts(), ::testing::ElementsAre("Запуск программы", "Закрытие программы", ""));
    EXPECT_TRUE(std::filesystem::exists(station->wellFolder() / Station::resultsFileName));
    EXPECT_TRUE(std::filesystem::exists(dir / History::fileName));
    lib::IniFile ini(dir / Configuration::iniFileName);
    EXPECT_TRUE(ini.sectionExists(TextGrid::section));
    EXPECT_TRUE(ini.sectionExists(NivraSystem::sectionName));
}

TEST_F(StationTest, SummatorAveragesGoIntoTheTrendAndItsFile)
{
    open();
    const double day = lib::toDateTime(lib::toLocalSeconds(2026, 12, 10, 8, 0, 0));
    station->system().nivra.summatorAveraged(day, 1500.5f, 2.0);
    station->system().nivra.summatorAveraged(day + 1.0 / 86400, 1500.5f, 3.0);
    {
        const lib::Locker lock(station->summatorTrendLock());
        ASSERT_EQ(station->summatorTrend().size(), 2u);
        EXPECT_FLOAT_EQ(station->summatorTrend().points()[1].value, 3.0f);
        EXPECT_FLOAT_EQ(station->summatorTrend().points()[1].depth, 1500.5f);
    }
    station->closeDown();

    build();
    open();
    const lib::Locker lock(station->summatorTrendLock());
    EXPECT_EQ(station->summatorTrend().size(), 2u) << "the next start takes the well's trend back";
}

TEST_F(StationTest, SummatorReadingFollowsShowUseAndTheTotalGasThreshold)
{
    const struct {
        bool show, use, byTotalGas;
        std::string expected;  // "" when nothing is shown
    } cases[] = {
        {true, true, false, "1,50"},   // the chromatograph's own summator (model 1)
        {true, false, true, "0,00"},   // the registration computer's total gas, none answered yet
        {true, true, true, "1,50"},    // the summator wins
        {false, true, true, ""},
        {true, false, false, ""},
    };
    open();
    configuration.deviceType = modelTavir;
    // No instrument: model 1 would stream summator readings of its own between cycles.
    configuration.demo = false;
    configuration.portName = (dir / "no-such-port").string();
    for (const auto& c : cases) {
        configuration.summatorShow = c.show;
        configuration.summatorUse = c.use;
        configuration.thresholdByTotalGas = c.byTotalGas;
        station->system().nivra.setSummatorValue(1.5);
        ASSERT_EQ(station->tick(), std::nullopt);
        EXPECT_EQ(station->summatorText(), c.expected) << c.show << c.use << c.byTotalGas;
        EXPECT_EQ(station->summatorReading().has_value(), !c.expected.empty());
    }
}

TEST_F(StationTest, IndicatorTexts)
{
    open();
    ASSERT_EQ(station->tick(), std::nullopt);
    EXPECT_EQ(station->adcText(), "АЦП=0000h ДИАП=0[1]");
    configuration.adcValueMode = 1;
    EXPECT_EQ(station->adcText(), "АЦП=0 ДИАП=0[1]");
    EXPECT_EQ(station->cycleTimeText(), "") << "empty while idle";

    holdCycle = true;
    ASSERT_EQ(station->start(), std::nullopt);
    ASSERT_EQ(station->tick(), std::nullopt);
    ASSERT_FALSE(station->idle());
    EXPECT_THAT(station->adcText(), ::testing::EndsWith("[0]"));
    EXPECT_EQ(station->cycleTimeText(), "0 с.");
    holdCycle = false;
}

TEST_F(StationTest, FailuresComeBackAsTheirTexts)
{
    open();
    configuration.demo = false;
    configuration.portName = (dir / "no-such-port").string();
    const auto refused = station->start();
    ASSERT_TRUE(refused.has_value());
    EXPECT_THAT(*refused, ::testing::StartsWith("ОШИБКА: Невозможно открыть порт"));

    station->system().setWorkMode(NivraSystem::continuousMode);
    const auto failed = station->tick();
    EXPECT_EQ(failed, refused) << "a mode's start fails the tick with the same text";
    EXPECT_TRUE(station->idle());
}

TEST_F(StationTest, ViewFollowsTheModelAndTheSettings)
{
    const struct {
        std::int32_t deviceType;
        const char* caption;
        bool warmUpItem;
    } models[] = {
        {0, "Хроматограф ЛТ-4КС", false},
        {1, "Хроматограф Тавир", true},
        {5, "Хроматограф <Неизвестный прототип> (ПРОВЕРЬТЕ ПРАВИЛЬНОСТЬ УСТАНОВКИ ПРОГРАММЫ !!!)", true},
    };
    open();
    const StationView view(configuration, station->system());
    for (const auto& m : models) {
        configuration.deviceType = m.deviceType;
        EXPECT_EQ(view.caption(), m.caption);
        EXPECT_EQ(view.warmUpItemVisible(), m.warmUpItem) << m.deviceType;
    }

    station->system().setTimeModePeriod(600);
    configuration.thresholdValue = 0.5;
    EXPECT_EQ(view.timeModeHint(), " Режим работы по времени с интервалом 600 сек");
    EXPECT_EQ(view.summatorModeHint(), " Режим запуска при показаниях газосумматора более чем: 0,500%");

    const struct {
        bool use, show, showWindow, byTotalGas;
        bool modeEnabled, strip, chart;
    } summators[] = {
        {false, true, true, false, false, false, false},
        {false, true, true, true, true, false, false},
        {true, false, false, false, true, false, false},
        {true, true, false, false, true, true, false},
        {true, false, true, false, true, false, true},
    };
    for (const auto& c : summators) {
        configuration.summatorUse = c.use;
        configuration.summatorShow = c.show;
        configuration.summatorShowWindow = c.showWindow;
        configuration.thresholdByTotalGas = c.byTotalGas;
        EXPECT_EQ(view.summatorModeEnabled(), c.modeEnabled);
        EXPECT_EQ(view.summatorStripVisible(), c.strip);
        EXPECT_EQ(view.summatorChartVisible(), c.chart);
    }

    station->system().setSaveAllValues(true);
    EXPECT_FALSE(view.saveButtonEnabled()) << "results are recorded at once: nothing to save by hand";
    station->system().setSaveAllValues(false);
    EXPECT_TRUE(view.saveButtonEnabled());
    configuration.showAdcValue = true;
    EXPECT_TRUE(view.adcIndicatorVisible());
}

TEST_F(StationTest, StateIndicatorBlinksWhileWorking)
{
    open();
    StationView view(configuration, station->system());
    view.refreshState();
    EXPECT_EQ(view.stateText(), StationView::idleText);
    EXPECT_EQ(view.stateGradient(), StationView::idleGradient);

    holdCycle = true;
    ASSERT_EQ(station->start(), std::nullopt);
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        view.refreshState();
        shown.push_back(view.stateText());
        EXPECT_EQ(view.stateGradient(), StationView::workingGradient);
    }
    EXPECT_THAT(shown, ::testing::ElementsAre("Р А Б О Т А", "", "Р А Б О Т А", ""));
    holdCycle = false;
    station->system().abortCycle();
    view.refreshState();
    EXPECT_EQ(view.stateText(), StationView::idleText);
}

} // namespace
