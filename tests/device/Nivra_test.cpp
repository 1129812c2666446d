#include "device/Commport.h"
#include "device/Framecodec.h"
#include "device/Nivra.h"
#include "library/Locker.h"
#include "testsupport/Pseudoterminal.h"
#include "testsupport/Recordingnotifier.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A station link wired to a pseudo-terminal that plays the instrument.
class LinkTest : public ::testing::Test {
protected:
    LinkTest() : link(configuration, notifier)
    {
        configuration.loadProgramSettings(dir.path());  // so a save has somewhere to go
        configuration.portName = instrument.slavePath();
        link.applyPortSettings();
        link.programme = {2, 23, 30, 35, 55, 70, 120, 0};
    }

    // The instrument's side: reads one command and answers it.
    std::jthread answerCommand(Bytes answer, Bytes* received = nullptr)
    {
        return std::jthread([this, answer = std::move(answer), received] {
            const auto command = instrument.readExactly(9, 3s);
            if (received)
                *received = command;
            if (!answer.empty())
                instrument.write(answer);
        });
    }

    void stream(const Bytes& bytes) { ASSERT_TRUE(instrument.write(bytes)); }

    Bytes samples(int count, std::int32_t model = 0)
    {
        Bytes bytes;
        for (int i = 1; i <= count; ++i) {
            const auto frame = framecodec::encodeSample(model, static_cast<std::uint8_t>(i % 128), 0, 100, 14);
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        }
        return bytes;
    }

    // Ticks the way the controller does until the thread has been collected.
    bool waitForEnd(std::chrono::seconds limit = 10s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (link.collectEndedThread())
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    platform::PseudoTerminal instrument;
    Nivra link;
};

TEST(NivraPort, ModeStringFromSpeedParityAndStopBits)
{
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, const char*> cases[] = {
        {19200, 0, 0, "19200,n,8,1"}, {19200, 0, 1, "19200,n,8,1.5"}, {38400, 2, 2, "38400,e,8,2"},
        {9600, 3, 0, "9600,m,8,1"}, {9600, 4, 0, "9600,s,8,1"}, {9600, 1, 0, "9600,o,8,1"}, {9600, 7, 9, "9600,,8,"},
    };
    for (const auto& [speed, parity, stop, expected] : cases)
        EXPECT_EQ(platform::SerialPort::modeString(speed, parity, stop), expected);
}

TEST_F(LinkTest, WaitForTextMatchesByteWiseAndGivesUpOnMismatchesOrSilence)
{
    ASSERT_TRUE(link.openPort());
    stream({'x', 'O', 'K'});
    EXPECT_TRUE(link.waitForText("OK"));
    stream({'O', 'x', 'O', 'K'});  // a wrong byte restarts the match
    EXPECT_TRUE(link.waitForText("OK"));
    stream({'O', 'O', 'K'});  // the mismatching byte is not retried as a first one
    EXPECT_FALSE(link.waitForText("OK"));
    stream(Bytes(10, 'K'));
    EXPECT_FALSE(link.waitForText("OK"));
    EXPECT_FALSE(link.waitForText("OK"));  // silence
}

TEST_F(LinkTest, ClosingAPortNeverOpenedDoesNothing)
{
    EXPECT_FALSE(link.portOpen());
    link.closePort();
    EXPECT_FALSE(link.portOpen());
}

TEST_F(LinkTest, CycleRunsFromOkToTheEndMarker)
{
    Bytes command;
    auto peer = answerCommand({'O', 'K'}, &command);
    ASSERT_TRUE(link.connectForCycle());
    peer.join();
    EXPECT_THAT(command, ::testing::ElementsAre(0x02, 0x17, 0x1E, 0x23, 0x37, 0x46, 0x78, 0x00, 0xB1));
    EXPECT_FALSE(link.stopped());
    stream(samples(500));
    stream({0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(link.status(), statusEndOfCycle);
    EXPECT_TRUE(link.stopped());
    EXPECT_FALSE(link.portOpen());
    EXPECT_EQ(link.samples.count(), 10u);
    const double millivolts = 100 * 1000.0 * 2.5 / 16384000.0;
    EXPECT_NEAR(link.samples.point(9).value, millivolts, 1e-12);
    link.samples.setZeroShift(millivolts);
    EXPECT_NEAR(link.samples.copyFrom(8)[1].value, 0.0, 1e-12);
    EXPECT_EQ(link.samples.copyFrom(8).size(), 2u);
    EXPECT_EQ(link.currentAdcCount(), 100);
}

TEST_F(LinkTest, FiveBytesAfterTheWaitForOkAreAnAnswerToo)
{
    // An instrument that streams at once instead of answering: the wait for "OK" gives up after
    // ten wrong bytes, and five more bytes show it is alive.
    auto peer = answerCommand(Bytes(15, 0x11));
    ASSERT_TRUE(link.connectForCycle());
    peer.join();
    stream({0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(link.status(), statusEndOfCycle);
}

TEST_F(LinkTest, NoAnswerTwiceClosesThePort)
{
    EXPECT_FALSE(link.connectForCycle());
    EXPECT_EQ(link.status(), statusNoAnswer);
    EXPECT_FALSE(link.portOpen());
    EXPECT_TRUE(link.stopped());
    const auto sent = instrument.read(64, 100ms);
    EXPECT_EQ(sent.size(), 18u);  // the programme went out twice
}

TEST_F(LinkTest, MissingPortOrNoTerminal)
{
    for (const std::string& name : {(dir / "nothing").string(), (dir / "хроматограф.ini").string(), std::string("COM99")}) {
        configuration.save(configuration.iniPath);
        link.setPortParams(name, 19200, 0, 0);
        EXPECT_FALSE(link.connectForCycle()) << name;
        EXPECT_EQ(link.status(), statusPortFailed) << name;
        EXPECT_FALSE(link.portOpen());
    }
}

TEST_F(LinkTest, SilenceOrAPulledAdapterMidCycleIsALostConnection)
{
    auto peer = answerCommand({'O', 'K'});
    ASSERT_TRUE(link.connectForCycle());
    peer.join();
    stream(samples(100));
    ASSERT_TRUE(waitForEnd());  // a second of silence
    EXPECT_EQ(link.status(), statusNoAnswer);
    EXPECT_EQ(link.samples.count(), 2u);

    auto again = answerCommand({'O', 'K'});
    ASSERT_TRUE(link.connectForCycle());
    again.join();
    EXPECT_EQ(link.samples.count(), 0u);  // a new cycle starts empty
    stream(samples(60));
    std::this_thread::sleep_for(100ms);
    instrument.closeMaster();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(link.status(), statusNoAnswer);
}

TEST_F(LinkTest, SummatorOnlyStreamingWithoutReadingsSwitchesTheSummatorOff)
{
    configuration.deviceType = 1;
    configuration.summatorUse = true;
    configuration.summatorPresent = 0;
    int lost = 0;
    link.summatorLost.connect([&lost] { ++lost; });
    ASSERT_TRUE(link.connectSummatorOnly());
    EXPECT_TRUE(link.summatorOnly());
    EXPECT_EQ(instrument.readExactly(9, 2s), Bytes({0x53, 0x55, 0x4D, 0x4D, 0x01, 0x54, 0x4F, 0x52, 0xC8}));
    stream(samples(300, 1));
    stream({0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(link.samples.count(), 0u);
    EXPECT_FALSE(configuration.summatorUse);
    EXPECT_EQ(configuration.summatorPresent, 2);
    EXPECT_EQ(lost, 1);
    EXPECT_THAT(notifier.messages(),
                ::testing::ElementsAre(platform::OperatorMessage{
                    "  ОШИБКА", "Газосумматор не найден! Использование внутреннего газосумматора не возможно!",
                    platform::OperatorMessage::Icon::error}));
    EXPECT_EQ(lib::IniFile(configuration.iniPath).readInteger("газосумматор", "use", -1), 0);  // saved
}

TEST_F(LinkTest, SummatorReadingsInTheStreamReachTheLink)
{
    configuration.deviceType = 1;
    configuration.summatorUse = true;
    std::vector<double> readings;
    link.summatorReading.connect([&readings](double percent) { readings.push_back(percent); });
    ASSERT_TRUE(link.connectSummatorOnly());
    Bytes bytes = samples(10, 1);
    for (const auto& frame : {framecodec::encodeSummatorReading(11, true, 700),  // 0.85 V: the low channel counts
                              framecodec::encodeSummatorReading(12, false, 819)})
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    stream(bytes);
    stream({0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_NEAR(readings[0], 0.1, 0.001);
    EXPECT_EQ(configuration.summatorPresent, 1);
    EXPECT_EQ(link.lowChannelLabel(), "sum1: 0333h (0.000)");
    EXPECT_TRUE(configuration.summatorUse);
}

TEST_F(LinkTest, DemonstrationCycleNeedsNoPortAndEndsByItself)
{
    configuration.demo = true;
    configuration.portName = "COM99";
    link.applyPortSettings();
    link.setDemoPacing({}, 7);
    ASSERT_TRUE(link.connectForCycle());
    ASSERT_TRUE(waitForEnd(60s));
    EXPECT_EQ(link.status(), statusOk);
    // 120 s at 8 points a second, less the first frame: its counter 0 is no advance from 0.
    EXPECT_EQ(link.samples.count(), 959u);
}

// The summator-only thread writes the channel labels until it is stopped; a link that goes
// while it streams must stop it before those members go (ThreadSanitizer saw it otherwise).
TEST(NivraShutDown, ALinkGoingWhileItsSummatorStreamsStopsTheThreadFirst)
{
    Configuration configuration;
    platform::RecordingNotifier notifier;
    configuration.demo = true;
    configuration.deviceType = modelTavir;
    configuration.summatorUse = true;
    auto link = std::make_unique<Nivra>(configuration, notifier);
    link->setDemoPacing([](std::chrono::milliseconds) { std::this_thread::sleep_for(1ms); }, 7);
    ASSERT_TRUE(link->connectSummatorOnly());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (link->lowChannelLabel().empty() && link->highChannelLabel().empty()
           && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(link->lowChannelLabel().empty() && link->highChannelLabel().empty()) << "the thread streams";
    std::this_thread::sleep_for(100ms);  // more readings, none of them seen by this thread
    link.reset();
}

TEST(CommPort, ModeReadsAndTheErrorFlag)
{
    EXPECT_EQ(platform::SerialPort::modeString(9600, 0), "9600,n,8,1");
    EXPECT_EQ(platform::SerialPort::modeString(9600, 2), "9600,e,8,1");
    EXPECT_EQ(platform::SerialPort::modeString(9600, 9), "9600,,8,1");  // an unknown key adds no letter

    CommPort closed;
    std::array<std::uint8_t, 3> buffer{};
    EXPECT_FALSE(closed.expectText("MMV"));
    EXPECT_FALSE(closed.readExact(buffer));
    EXPECT_FALSE(closed.close());
    EXPECT_FALSE(closed.reopen());

    platform::PseudoTerminal summator;
    CommPort port;
    ASSERT_TRUE(port.open(summator.slavePath()));
    EXPECT_FALSE(port.open(summator.slavePath()));  // already open
    ASSERT_TRUE(port.configure(9600, 0, 250));
    EXPECT_FALSE(port.configure(9600, 9, 250));
    ASSERT_TRUE(port.configure(9600, 0, 250));
    ASSERT_TRUE(summator.write(Bytes{'M', 'M', 'X', 'M', 'M', 'V', 1, 2}));
    EXPECT_FALSE(port.expectText("MMV"));  // the first wrong byte fails at once
    EXPECT_TRUE(port.expectText("MMV"));
    std::size_t count = 0;
    EXPECT_TRUE(port.readExact(buffer, &count));
    EXPECT_EQ(count, 2u);
    EXPECT_TRUE(port.errorFlag);
    EXPECT_TRUE(port.reopen());
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.timeoutMs(), 250);
}

} // namespace

namespace {

TEST_F(LinkTest, EndlessNoiseDoesNotKeepTheStationFromClosing)
{
    auto station = std::make_unique<Nivra>(configuration, notifier);
    station->applyPortSettings();
    auto peer = answerCommand({'O', 'K'});
    ASSERT_TRUE(station->connectForCycle());
    peer.join();
    std::atomic<bool> noisy{true};
    std::jthread noise([this, &noisy] {
        while (noisy)
            instrument.write(Bytes(64, 0x11), 50ms);  // never a sync byte
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(station->collectEndedThread());  // noise is not silence: still reading
    station.reset();  // must return although the noise goes on
    noisy = false;
}

} // namespace

namespace {

// The link's per-second averaging of the internal summator's readings.
TEST(NivraSummatorAverage, OneAverageASecondWithoutTheClosingReading)
{
    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    Nivra link(configuration, notifier);
    lib::LocalSeconds now = lib::toLocalSeconds(2026, 12, 10, 8, 0, 0);
    link.setClock([&] { return now; });
    link.setSummatorDepth(1500.5f);
    std::vector<std::pair<double, double>> averages;  // date-time, value
    link.summatorAveraged.connect([&](double time, float depth, double average) {
        EXPECT_FLOAT_EQ(depth, 1500.5f);
        averages.emplace_back(time, average);
    });

    const struct {
        int second;
        double percent;
    } readings[] = {
        {0, 9.0},                          // closes the (empty) second before: its own value
        {0, 1.0}, {0, 2.0}, {0, 3.0},      // one second's readings
        {1, 7.0},                          // closes it: 2.0; not part of the next average
        {1, -4.0}, {1, 4.0},               // a negative reading counts as 0
        {2, 0.5},                          // closes it: 2.0
    };
    for (const auto& r : readings) {
        now = lib::toLocalSeconds(2026, 12, 10, 8, 0, r.second);
        link.addSummatorValue(r.percent);
    }
    ASSERT_EQ(averages.size(), 3u);
    EXPECT_DOUBLE_EQ(averages[0].second, 9.0);
    EXPECT_DOUBLE_EQ(averages[1].second, 2.0);
    EXPECT_DOUBLE_EQ(averages[2].second, 2.0);
    EXPECT_NEAR((averages[1].first - averages[0].first) * 86400, 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(link.summatorValue(), 2.0);
}

} // namespace
