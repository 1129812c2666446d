#include "device/Framecodec.h"
#include "station/Nivrasystem.h"
#include "station/Sysexception.h"
#include "library/Codepage.h"
#include "platform/Mailslotclient.h"
#include "testsupport/Pseudoterminal.h"
#include "testsupport/Recordingnotifier.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A controller on fake clocks. In demonstration mode a cycle's acquisition runs at full speed
// and ends by itself, so every cycle ends at the tick after its start.
class ControllerTest : public ::testing::Test {
protected:
    ControllerTest()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        configuration.loadProgramSettings(dir.path());
        configuration.demo = true;
        rebuild();
    }
    ~ControllerTest() override
    {
        system.reset();
        ::unsetenv("NIVRA_MAILSLOT_DIR");
    }

    // A fresh controller at time zero.
    void rebuild()
    {
        system.reset();
        steadyNow = {};
        localNowMs = 0;
        starts.clear();
        modeTexts.clear();
        finished.clear();
        states.clear();
        announcedModes.clear();
        NivraSystem::Clocks clocks;
        clocks.steady = [this] { return steadyNow; };
        clocks.local = [this] { return localNow; };
        system = std::make_unique<NivraSystem>(configuration, notifier, dir.path(), clocks);
        system->nivra.setDemoPacing([](std::chrono::milliseconds) {}, 7);
        system->nivra.setFrameTiming({200ms, 1ms});
        system->cycleStarted.connect([this] {
            starts.push_back(steadyNow);
            modeTexts.push_back(system->modeText());
        });
        system->cycleFinished.connect([this](std::int32_t status) { finished.push_back(status); });
        system->stateChanged.connect([this] { states.push_back(system->state()); });
        system->modeChanged.connect([this] { announcedModes.push_back(system->modeText()); });
    }

    // One 400 ms tick of the main timer; a started acquisition is let finish before the next.
    void step()
    {
        steadyNow += 400ms;
        localNowMs += 400;
        localNow = lib::toLocalSeconds(2026, 12, 10, 12, 0, 0) + static_cast<lib::LocalSeconds>(localNowMs / 1000);
        system->tick();
        for (int i = 0; i < 5000 && system->state() == NivraSystem::running && !system->nivra.threadFinished()
                        && !system->nivra.stopped();
             ++i)
            std::this_thread::sleep_for(1ms);
    }
    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            step();
    }
    double secondsOf(std::chrono::steady_clock::time_point t) const
    {
        return std::chrono::duration<double>(t - std::chrono::steady_clock::time_point{}).count();
    }
    void sendRemote(std::string_view text)
    {
        platform::MailslotClient client(RemoteControl::mailslotName);
        client.setFallbackHost("");
        ASSERT_EQ(client.send(text), platform::MailslotClient::Delivery::local);
    }

    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::chrono::steady_clock::time_point steadyNow{};
    std::int64_t localNowMs = 0;
    lib::LocalSeconds localNow = lib::toLocalSeconds(2026, 12, 10, 12, 0, 0);
    std::unique_ptr<NivraSystem> system;
    std::vector<std::chrono::steady_clock::time_point> starts;
    std::vector<std::string> modeTexts;
    std::vector<std::int32_t> finished;
    std::vector<std::int32_t> states;
    std::vector<std::string> announcedModes;
};

TEST_F(ControllerTest, ManualStartRunsOneCycleIntoTheHistory)
{
    system->start();
    EXPECT_EQ(system->state(), NivraSystem::running);
    system->start();  // ignored while running
    steps(2);
    EXPECT_EQ(system->state(), NivraSystem::idle);
    EXPECT_THAT(finished, ::testing::ElementsAre(statusOk));
    EXPECT_EQ(system->history.entryCount(), 1u);
    EXPECT_GT(system->curve.sampleCount(), 0u);
    steps(5);
    EXPECT_EQ(starts.size(), 1u) << "manual mode starts nothing by itself";
    EXPECT_THAT(states, ::testing::ElementsAre(NivraSystem::running, NivraSystem::idle));
}

TEST_F(ControllerTest, AnalysesOfACalibrationStayOutOfTheWellsTable)
{
    ASSERT_TRUE(system->textGrid.open(dir / "data.tim"));
    system->setCalibrating(true);
    system->start();
    steps(2);
    EXPECT_EQ(system->completedCycles(), 1);
    EXPECT_EQ(system->textGrid.recordCount(), 0u);
    system->setCalibrating(false);
    system->start();
    steps(2);
    EXPECT_EQ(system->textGrid.recordCount(), 1u);
}

TEST_F(ControllerTest, OnlyCyclesThatEndedNormallyCount)
{
    EXPECT_EQ(system->completedCycles(), 0);
    system->start();
    steps(2);
    EXPECT_EQ(system->completedCycles(), 1);
    system->start();
    system->abortCycle();
    steps(2);
    EXPECT_EQ(system->completedCycles(), 1) << "an abandoned cycle gives no results";
}

TEST_F(ControllerTest, ACalibrationTakenIsWrittenAtOnceAndFilesComeBackAsTheyWere)
{
    GazEtalLine mixture;
    mixture.dilution = "2 / 10";
    mixture.repeats = 3;
    mixture.points.assign(6, GazEtalPoint{0.25, 123.456789012345});
    system->takeCalibration({mixture}, 1.3333333333333333);
    EXPECT_DOUBLE_EQ(system->etalonStorage.date, lib::toDateTime(localNow));
    EtalonStorage stored;
    stored.load(system->calibrationPath);
    ASSERT_EQ(stored.entries.size(), 1u);
    EXPECT_EQ(stored.entries[0].toText(), mixture.toText());

    const auto file = dir / "mixture.cal";
    EXPECT_TRUE(system->saveCalibration(file)) << "a degassing coefficient of 16 digits still reads back";
    EXPECT_FALSE(system->saveCalibration(dir / "no-such-folder" / "x.cal"));

    system->takeCalibration({}, 1.0);
    EXPECT_TRUE(system->loadCalibration(file));
    ASSERT_EQ(system->etalonStorage.entries.size(), 1u);
    EXPECT_EQ(system->etalonStorage.entries[0].toText(), mixture.toText());
    stored.load(system->calibrationPath);
    EXPECT_EQ(stored.entries.size(), 1u) << "the station's own file follows";

    // Files without a calibration leave it as it was.
    const auto settings = dir / Configuration::iniFileName;
    for (const auto& other : {dir / "missing.cal", dir.path(), settings}) {
        EXPECT_FALSE(system->loadCalibration(other)) << other;
        EXPECT_EQ(system->etalonStorage.entries.size(), 1u) << other;
    }
}

TEST_F(ControllerTest, LiveCurveAnnouncesOnlyNewSamples)
{
    int changes = 0;
    system->liveCurveChanged.connect([&] { ++changes; });
    system->refreshLiveCurve();
    EXPECT_EQ(changes, 0) << "nothing taken, nothing to repaint";
    system->refreshLiveCurve(true);
    EXPECT_EQ(changes, 1) << "a forced refresh repaints";
    system->nivra.samples.append(CurvePoint{});
    system->refreshLiveCurve();
    system->refreshLiveCurve();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(system->curve.sampleCount(), 1u);
}

TEST_F(ControllerTest, TimeModeCountsWallClockSeconds)
{
    const struct {
        std::int32_t period;
        double firstStart;  // fake seconds; the clock's second changes every 2.5 ticks
        double gap;         // between the first two starts
        double tolerance;   // a second's change reaches the tick up to 400 ms late
    } cases[] = {
        // Period 0: the tick after the second first changes; then, once the cycle has ended,
        // the tick after the next change.
        {0, 1.6, 0.8, 0.01},
        // Period 60: 61 counted seconds after the previous start.
        {60, 61, 61, 0.85},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.period);
        rebuild();
        system->setTimeModePeriod(c.period);
        system->setWorkMode(NivraSystem::timeMode);
        while (starts.size() < 2 && secondsOf(steadyNow) < 200)
            step();
        ASSERT_EQ(starts.size(), 2u);
        EXPECT_NEAR(secondsOf(starts[0]), c.firstStart, c.tolerance);
        EXPECT_NEAR(secondsOf(starts[1]) - secondsOf(starts[0]), c.gap, c.tolerance);
    }
}

TEST_F(ControllerTest, ContinuousModeStartsAtTheFirstIdleTick)
{
    system->setWorkMode(NivraSystem::continuousMode);
    steps(6);
    // start, end, start, end, …: one cycle every second tick.
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_NEAR(secondsOf(starts[1]) - secondsOf(starts[0]), 0.8, 0.01);
    EXPECT_EQ(finished.size(), 3u);
}

TEST_F(ControllerTest, SummatorModeNeedsASummatorOrTheTotalGasThreshold)
{
    std::vector<std::int32_t> modes;
    system->modeChanged.connect([&] { modes.push_back(system->workMode()); });
    configuration.summatorUse = false;
    configuration.thresholdByTotalGas = false;
    system->setWorkMode(NivraSystem::summatorMode);
    configuration.thresholdByTotalGas = true;
    system->setWorkMode(NivraSystem::summatorMode);
    EXPECT_THAT(modes, ::testing::ElementsAre(NivraSystem::manualMode, NivraSystem::summatorMode));
}

TEST_F(ControllerTest, SummatorThresholdStartsACycle)
{
    configuration.thresholdValue = 0.5;
    double totalGas = 0.2;
    system->setTotalGasSource([&] { return totalGas; });
    configuration.thresholdByTotalGas = true;
    system->setWorkMode(NivraSystem::summatorMode);
    steps(3);
    EXPECT_TRUE(starts.empty());
    totalGas = 0.6;
    step();
    EXPECT_EQ(starts.size(), 1u);
    totalGas = 0;

    // The link's own value when the registration computer is not asked.
    steps(2);
    configuration.thresholdByTotalGas = false;
    configuration.summatorUse = true;
    system->nivra.setSummatorValue(0.4);
    steps(3);
    EXPECT_EQ(starts.size(), 1u);
    system->nivra.setSummatorValue(0.51);
    step();
    EXPECT_EQ(starts.size(), 2u);
}

TEST_F(ControllerTest, WarmUpRunsThreeCyclesWithItsProgrammeAndRestoresIt)
{
    configuration.deviceType = modelTavir;
    configuration.applyDeviceTimeDefaults();
    const auto programme = configuration.programmeTimes;
    std::vector<std::array<std::int32_t, 8>> sent;
    system->cycleStarted.connect([&] { sent.push_back(system->nivra.programme); });

    system->requestWarmUp();
    EXPECT_EQ(system->modeText(), "Прогрев колонок 1 из 3");
    step();
    EXPECT_EQ(modeTexts.back(), "Прогрев колонок 1 из 3");
    EXPECT_EQ(configuration.programmeTimes, programme) << "restored right after the start";
    system->requestWarmUp();  // refused while running
    ASSERT_EQ(notifier.messages().size(), 1u);
    EXPECT_EQ(notifier.messages()[0].text, NivraSystem::warmUpRefusedText);
    EXPECT_EQ(notifier.messages()[0].caption, "Сообщение");
    steps(5);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_THAT(modeTexts, ::testing::ElementsAre("Прогрев колонок 1 из 3", "Прогрев колонок 2 из 3",
                                                  "Прогрев колонок 3 из 3"));
    // "время5" is the cycle duration and "время3" the heating end of this model.
    EXPECT_EQ(sent[0][4], 65);
    EXPECT_EQ(sent[0][2], 63);
    EXPECT_EQ(sent[2][4], 120);
    EXPECT_EQ(sent[2][2], 70);
    EXPECT_EQ(system->warmUpLeft(), 0);
    EXPECT_EQ(configuration.programmeTimes, programme);
    // A window following the notifications sees every count and the mode once the warm-up ends.
    EXPECT_THAT(announcedModes, ::testing::ElementsAre("Прогрев колонок 1 из 3", "Прогрев колонок 2 из 3",
                                                       "Прогрев колонок 3 из 3", "Ручной режим"));
}

TEST_F(ControllerTest, RemoteStartRunsADepthSeriesAndTheDepthExpires)
{
    system->setWorkMode(NivraSystem::depthMarkMode);
    sendRemote(std::string("operation=start\r\ndepth=2500.5\r\n\0", 33));
    step();
    EXPECT_FLOAT_EQ(system->currentDepth(), 2500.5f);
    EXPECT_EQ(starts.size(), 1u);
    steps(7);
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_THAT(modeTexts, ::testing::ElementsAre("Вход в режим #3", "Вход в режим #2", "Вход в режим #1",
                                                  "По метке глубины"));
    EXPECT_THAT(announcedModes, ::testing::ElementsAre("По метке глубины", "Вход в режим #3", "Вход в режим #2",
                                                       "Вход в режим #1", "По метке глубины"));
    EXPECT_EQ(system->seriesLeft(), 0);
    // 8 ticks = 3.2 s so far; the depth holds until 10 s after its message.
    steps(15);
    EXPECT_FLOAT_EQ(system->currentDepth(), 2500.5f);
    steps(3);
    EXPECT_FLOAT_EQ(system->currentDepth(), 0.0f);
}

TEST_F(ControllerTest, RemoteMessagesOutsideDepthModeOnlySetValues)
{
    sendRemote("operation=start\r\ndepth=1200\r\n");
    sendRemote("time_period=600");
    sendRemote("operation=mode\r\nvalue=2");
    step();  // two polls a tick
    EXPECT_TRUE(starts.empty());
    EXPECT_FLOAT_EQ(system->currentDepth(), 1200.0f);
    step();
    EXPECT_EQ(system->workMode(), NivraSystem::continuousMode);
    step();
    EXPECT_EQ(system->timeModePeriod(), 600) << "taken at the poll after its message";

    configuration.remoteControl = false;
    step();
    EXPECT_FLOAT_EQ(system->currentDepth(), 0.0f);
}

TEST_F(ControllerTest, SectionKeysRoundTrip)
{
    system->setWorkMode(NivraSystem::depthMarkMode);
    system->setTimeModePeriod(300);
    system->setSaveScienceValues(true);
    system->save();
    const std::string ini = lib::fromCp1251(test::readFile(dir / Configuration::iniFileName));
    EXPECT_THAT(ini, ::testing::HasSubstr("[NivraSystem]\r\nsave_all_values=1\r\nsave_science_values=1\r\n"
                                          "work_mode=03000000\r\ntime_mode_period=300\r\nmax_depth_counter=3\r\n"));
    NivraSystem again(configuration, notifier, dir.path());
    bool announced = false;
    again.modeChanged.connect([&] { announced = true; });
    again.load();
    EXPECT_TRUE(announced);
    EXPECT_EQ(again.workMode(), NivraSystem::depthMarkMode);
    EXPECT_EQ(again.timeModePeriod(), 300);
    EXPECT_TRUE(again.saveScienceValues());
}

// Cycles against a pseudo-terminal that plays the instrument.
class ControllerLinkTest : public ControllerTest {
protected:
    ControllerLinkTest()
    {
        configuration.demo = false;
        configuration.portName = instrument.slavePath();
    }
    ~ControllerLinkTest() override
    {
        stopStreaming = true;
        if (streamer.joinable())
            streamer.join();
    }

    // Answers the programme command, then sends samples every few milliseconds until told to stop.
    void answerAndStream(int frames)
    {
        streamer = std::thread([this, frames] {
            instrument.readExactly(9, 3s);
            const Bytes ok{'O', 'K'};
            instrument.write(ok);
            for (int i = 1; i <= frames && !stopStreaming; ++i) {
                const auto frame = framecodec::encodeSample(0, static_cast<std::uint8_t>(i % 128), 0, 100, 14);
                instrument.write(frame);
                std::this_thread::sleep_for(2ms);
            }
        });
    }
    // Ticks in real time until the controller is idle or raised.
    std::string tickUntilFailure(std::chrono::seconds limit, std::chrono::seconds fakeAdvance = 0s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            steadyNow += fakeAdvance;
            try {
                system->tick();
            } catch (const SysException& failure) {
                return failure.what();
            }
            std::this_thread::sleep_for(20ms);
        }
        return "<no failure>";
    }

    platform::PseudoTerminal instrument;
    std::thread streamer;
    std::atomic<bool> stopStreaming = false;
};

TEST_F(ControllerLinkTest, StartFailuresRaiseTheirMessages)
{
    configuration.portName = (dir / "no-such-port").string();
    try {
        system->start();
        FAIL() << "no failure";
    } catch (const SysException& failure) {
        EXPECT_EQ(std::string(failure.what()), "ОШИБКА: Невозможно открыть порт " + configuration.portName
                                                   + ". Возможно он отсутствует на компьютере, или занят другим устройством.");
    }
    // A silent instrument: the start returns at once and a later tick says it did not answer.
    configuration.portName = instrument.slavePath();
    system->start();
    EXPECT_TRUE(system->isStarting());
    system->start();  // one wait at a time
    EXPECT_EQ(tickUntilFailure(20s), NivraSystem::noAnswerText);
    EXPECT_FALSE(system->isStarting());
    EXPECT_EQ(system->state(), NivraSystem::idle);
    EXPECT_TRUE(starts.empty());
    // Still idle, but each failed start tells a window following the state to show it.
    EXPECT_THAT(states, ::testing::ElementsAre(NivraSystem::idle, NivraSystem::idle));
}

TEST_F(ControllerLinkTest, FailedWarmUpStartStillRestoresTheProgramme)
{
    configuration.portName = (dir / "no-such-port").string();
    const auto programme = configuration.programmeTimes;
    system->requestWarmUp();
    EXPECT_THROW(step(), SysException);
    EXPECT_EQ(configuration.programmeTimes, programme);
    EXPECT_EQ(system->warmUpLeft(), 3) << "the warm-up is tried again at the next tick";
}

TEST_F(ControllerLinkTest, SilenceMidCycleIsALossWithoutFinishedNotification)
{
    configuration.correctWindows = false;
    system->setSaveScienceValues(true);
    answerAndStream(200);
    system->start();
    EXPECT_EQ(tickUntilFailure(10s), NivraSystem::lostText);
    EXPECT_EQ(system->state(), NivraSystem::idle);
    EXPECT_TRUE(finished.empty());
    EXPECT_THAT(states, ::testing::ElementsAre(NivraSystem::running, NivraSystem::idle))
        << "a loss ends the cycle without cycleFinished, so the state says so";
    EXPECT_EQ(system->history.entryCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "Analiz"));
}

TEST_F(ControllerLinkTest, AcquisitionOutlivingItsProgrammeEndsAsLoss)
{
    answerAndStream(1'000'000);
    system->start();
    // Each tick advances the fake clock by a minute: past duration + margin on the fourth.
    EXPECT_EQ(tickUntilFailure(10s, 60s), NivraSystem::lostText);
    EXPECT_TRUE(system->nivra.stopped());
    EXPECT_TRUE(finished.empty());
}

} // namespace
