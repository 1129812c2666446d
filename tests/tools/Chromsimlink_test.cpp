// The simulator core driven in-process over a pseudo-terminal, with the station's own serial port.
#include "Chromsimsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using namespace chromsimtest;
using chromsim::SimOptions;

const Bytes ok{'O', 'K'};

struct GasWindow {
    const char* gas;
    double start;
    double end;
};

// The station's default retention windows.
constexpr std::array<GasWindow, 6> gasWindows{{
    {"C1", 10, 15}, {"C2", 17, 20}, {"C3", 34, 40}, {"C4", 48, 54}, {"C5", 60, 65}, {"C6", 70, 75}}};

// Stretches between the windows where the detector must show its baseline alone.
constexpr std::array<std::pair<double, double>, 4> quietStretches{{{22, 33}, {42, 47}, {56, 59}, {66, 69}}};

SimOptions fastOptions(std::int32_t model = 0, bool summator = false)
{
    SimOptions options;
    options.model = model;
    options.summator = summator;
    options.speed = 1000;
    options.lengthSeconds = 80;  // past the last window
    options.seed = 20240611;
    return options;
}

struct Cycle {
    Bytes answer;
    Bytes stream;
};

// One cycle as the station sees it: the programme command, the answer, the frames.
Cycle runCycle(SimulatorSession& session, std::size_t answerSize = 2, std::chrono::milliseconds silence = 1000ms)
{
    StationPort port(session.slavePath(), silence);
    EXPECT_TRUE(port.opened());
    EXPECT_TRUE(port.sendProgramme());
    Cycle cycle;
    cycle.answer = port.read(answerSize);
    cycle.stream = port.readToEnd();
    return cycle;
}

Cycle runCycle(const SimOptions& options, std::size_t answerSize = 2)
{
    SimulatorSession session(options);
    auto cycle = runCycle(session, answerSize);
    EXPECT_TRUE(session.stop());
    return cycle;
}

struct ModelCase {
    const char* name;
    std::int32_t model;
    bool summator;
};

constexpr std::array<ModelCase, 3> modelCases{{
    {"model 0", 0, false},
    {"model 1", 1, false},
    {"model 1 with summator", 1, true},
}};

TEST(ChromsimCycle, AnswersOkThenCountedFramesAndTheEndMarker)
{
    for (const auto& model : modelCases) {
        SCOPED_TRACE(model.name);
        const auto options = fastOptions(model.model, model.summator);
        const auto cycle = runCycle(options);
        EXPECT_EQ(cycle.answer, ok);
        const auto scan = scanStream(cycle.stream);
        EXPECT_TRUE(scan.endMarker);
        EXPECT_TRUE(scan.gaps.empty());
        EXPECT_EQ(scan.frames.size(), static_cast<std::size_t>(options.lengthSeconds * options.framesPerSecond()));
        EXPECT_TRUE(countersAdvanceByOne(scan.frames));
    }
}

TEST(ChromsimCycle, PeaksStandInEveryGasWindowAndNowhereElse)
{
    for (const auto& model : modelCases) {
        SCOPED_TRACE(model.name);
        const auto options = fastOptions(model.model, model.summator);
        const auto trace = detectorTrace(scanStream(runCycle(options).stream).frames, model.model,
                                         options.framesPerSecond());
        ASSERT_FALSE(trace.empty());
        for (const auto& window : gasWindows) {
            SCOPED_TRACE(window.gas);
            const double baseline = meanIn(trace, window.start - 1, window.start - 0.2);
            const double peak = maximumIn(trace, window.start, window.end) - baseline;
            EXPECT_GT(peak, 1.0) << "mV above a baseline of " << baseline;
            // The peak has died away by the end of its window, so the station's baseline is clean.
            EXPECT_LT(std::abs(meanIn(trace, window.end - 0.2, window.end) - baseline), 0.2);
        }
        for (const auto& [from, to] : quietStretches)
            EXPECT_LT(maximumIn(trace, from, to) - meanIn(trace, from, to), 0.5) << from << " to " << to << " s";
    }
}

TEST(ChromsimCycle, PeakAreasLookLikeMudGas)
{
    const auto options = fastOptions();
    const auto trace = detectorTrace(scanStream(runCycle(options).stream).frames, 0, options.framesPerSecond());
    std::vector<double> areas;
    for (const auto& window : gasWindows) {
        const double baseline = meanIn(trace, window.start - 1, window.start - 0.2);
        // The station's area, millivolts above the baseline summed over its points and divided by
        // their rate, is the mean height times the window's width.
        areas.push_back((meanIn(trace, window.start, window.end) - baseline) * (window.end - window.start));
        EXPECT_GT(areas.back(), 1.0) << window.gas << " in mV·s";
        EXPECT_LT(areas.back(), 1000.0) << window.gas << " in mV·s";
    }
    EXPECT_EQ(std::max_element(areas.begin(), areas.end()), areas.begin()) << "methane leads";
}

TEST(ChromsimCycle, RangeIsTheMostSensitiveThatHoldsTheSignal)
{
    const auto options = fastOptions(1);
    const auto trace = detectorTrace(scanStream(runCycle(options).stream).frames, 1, options.framesPerSecond());
    std::set<std::int32_t> rangesSeen;
    for (const auto& sample : trace) {
        const auto frame = framecodec::decodeFrame(sample.bytes, 1, AdcParameters{}, false);
        rangesSeen.insert(frame.range);
        // One range more sensitive multiplies the count by ten: it would have overflowed.
        if (frame.range > 0) {
            ASSERT_GE(std::abs(frame.adcCount) * 10 + 5, 8192) << "at " << sample.seconds << " s";
        }
        ASSERT_LE(std::abs(frame.adcCount), 8192);
    }
    // A baseline of a millivolt or two and a methane peak of hundreds cover ranges 1 to 3.
    EXPECT_TRUE(rangesSeen.count(1) && rangesSeen.count(3)) << "ranges seen: " << rangesSeen.size();
}

TEST(ChromsimCycle, SummatorReadingsComeSeveralTimesASecondOnBothChannels)
{
    const auto options = fastOptions(1, true);
    const auto frames = scanStream(runCycle(options).stream).frames;
    std::array<std::vector<std::size_t>, 2> seen;  // frame numbers of low and high readings
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto frame = framecodec::decodeFrame(frames[i], 1, AdcParameters{}, true);
        if (frame.kind == DeviceFrame::sample)
            continue;
        seen[frame.kind == DeviceFrame::summatorHigh].push_back(i);
        EXPECT_GE(frame.value, 0);
        EXPECT_LE(frame.value, 8191);
    }
    const auto perSecond = options.framesPerSecond();
    for (const auto& channel : seen) {
        ASSERT_FALSE(channel.empty());
        // The station gives up on the summator when none comes within half a second.
        EXPECT_LT(channel.front(), perSecond / 2);
        for (std::size_t k = 1; k < channel.size(); ++k)
            ASSERT_LT(channel[k] - channel[k - 1], perSecond / 2);
    }
}

TEST(ChromsimCommands, WrongChecksumGoesUnansweredAndTheNextGoodCommandIsServed)
{
    SimulatorSession session(fastOptions());
    StationPort port(session.slavePath());
    ASSERT_TRUE(port.opened());
    auto command = framecodec::programmeCommand(defaultProgramme);
    ++command[8];
    ASSERT_TRUE(port.send(command));
    EXPECT_TRUE(port.readFor(500ms).empty());
    EXPECT_TRUE(session.log().waitFor("no command with a valid checksum"));

    ASSERT_TRUE(port.sendProgramme());
    EXPECT_EQ(port.read(2), ok);
    EXPECT_TRUE(scanStream(port.readToEnd()).endMarker);
    EXPECT_TRUE(session.log().waitFor("programme 2 23 30 35 55 70 120 0"));
}

TEST(ChromsimCommands, GarbageBeforeACommandIsSkipped)
{
    SimulatorSession session(fastOptions());
    StationPort port(session.slavePath());
    ASSERT_TRUE(port.opened());
    Bytes line{0x13, 0x37, 0xFF, 0x80, 0x00};
    const auto command = framecodec::programmeCommand(defaultProgramme);
    line.insert(line.end(), command.begin(), command.end());
    ASSERT_TRUE(port.send(line));
    EXPECT_EQ(port.read(2), ok);
}

TEST(ChromsimCommands, SummatorOnlyStreamsReadingsUntilTheNextProgramme)
{
    auto options = fastOptions(1, true);
    options.speed = 20;
    options.lengthSeconds = 5;
    SimulatorSession session(options);
    StationPort port(session.slavePath());
    ASSERT_TRUE(port.opened());
    ASSERT_TRUE(port.send(framecodec::summatorOnlyCommand()));

    // No answer comes: the first byte already starts a frame.
    const auto summatorOnly = scanStream(port.read(4 * 400));
    ASSERT_FALSE(summatorOnly.frames.empty());
    EXPECT_TRUE(summatorOnly.gaps.empty());
    EXPECT_TRUE(countersAdvanceByOne(summatorOnly.frames));
    std::set<int> kinds;
    for (const auto& frame : summatorOnly.frames)
        kinds.insert(framecodec::decodeFrame(frame, 1, AdcParameters{}, true).kind);
    EXPECT_EQ(kinds, (std::set<int>{DeviceFrame::sample, DeviceFrame::summatorLow, DeviceFrame::summatorHigh}));

    ASSERT_TRUE(port.sendProgramme());
    const auto rest = port.readToEnd();
    // What was already on its way comes first; the cycle starts with "OK" and frame 1.
    const Bytes cycleStart{'O', 'K', 0x81};
    const auto start = std::search(rest.begin(), rest.end(), cycleStart.begin(), cycleStart.end());
    ASSERT_NE(start, rest.end());
    const auto cycle = scanStream(Bytes(start + 2, rest.end()));
    EXPECT_TRUE(cycle.endMarker);
    EXPECT_EQ(cycle.frames.size(), 5u * 400);
    EXPECT_TRUE(countersAdvanceByOne(cycle.frames));
}

TEST(ChromsimStation, ClosingThePortMidCycleLeavesNothingStaleForTheNextOpen)
{
    auto options = fastOptions();
    options.speed = 5;  // the cycle is still running when the port closes
    SimulatorSession session(options);
    {
        StationPort port(session.slavePath());
        ASSERT_TRUE(port.opened());
        ASSERT_TRUE(port.sendProgramme());
        ASSERT_EQ(port.read(2), ok);
        ASSERT_EQ(port.read(400).size(), 400u);
    }
    ASSERT_TRUE(session.log().waitFor("closed the port"));

    StationPort again(session.slavePath());
    ASSERT_TRUE(again.opened());
    ASSERT_TRUE(again.sendProgramme());
    EXPECT_EQ(again.read(3), (Bytes{'O', 'K', 0x81}));
    EXPECT_TRUE(session.log().waitFor("cycle 2, programme"));
}

TEST(ChromsimStation, ServesCycleAfterCycle)
{
    auto options = fastOptions();
    options.lengthSeconds = 10;
    SimulatorSession session(options);
    for (int cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE(cycle);
        const auto served = runCycle(session);
        EXPECT_EQ(served.answer, ok);
        EXPECT_EQ(scanStream(served.stream).frames.size(), 4000u);
        EXPECT_TRUE(endsWithMarker(served.stream));
    }
    EXPECT_TRUE(session.stop());
}

TEST(ChromsimFaults, NoAnswerSendsNothingAtAll)
{
    auto options = fastOptions();
    ASSERT_FALSE(options.faults.enable("no-answer"));
    SimulatorSession session(options);
    StationPort port(session.slavePath());
    ASSERT_TRUE(port.opened());
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(port.sendProgramme());
        EXPECT_TRUE(port.readFor(500ms).empty());
    }
    EXPECT_TRUE(session.log().waitFor("cycle 2 not answered"));
}

TEST(ChromsimFaults, OtherAnswerIsFiveBytesThatAreNotOkAndTheCycleFollows)
{
    auto options = fastOptions();
    options.lengthSeconds = 10;
    ASSERT_FALSE(options.faults.enable("other-answer"));
    const auto cycle = runCycle(options, 5);
    ASSERT_EQ(cycle.answer.size(), 5u);
    EXPECT_EQ(std::search(cycle.answer.begin(), cycle.answer.end(), ok.begin(), ok.end()), cycle.answer.end());
    EXPECT_TRUE(std::none_of(cycle.answer.begin(), cycle.answer.end(), [](auto b) { return b & 0x80; }));
    const auto scan = scanStream(cycle.stream);
    EXPECT_TRUE(scan.endMarker);
    EXPECT_TRUE(countersAdvanceByOne(scan.frames));
}

TEST(ChromsimFaults, SilentAfterStopsTheStreamBeforeTheEndMarker)
{
    auto options = fastOptions();
    options.lengthSeconds = 20;
    ASSERT_FALSE(options.faults.enable("silent-after=5"));
    SimulatorSession session(options);
    for (int cycle = 1; cycle <= 2; ++cycle) {
        SCOPED_TRACE(cycle);
        const auto served = runCycle(session, 2, 300ms);
        EXPECT_EQ(served.answer, ok);
        const auto scan = scanStream(served.stream);
        EXPECT_FALSE(scan.endMarker);
        EXPECT_TRUE(scan.gaps.empty());
        EXPECT_EQ(scan.frames.size(), 5u * 400);
        EXPECT_TRUE(countersAdvanceByOne(scan.frames));
    }
}

} // namespace
