// The simulator's parts without a terminal: frames, faults, ranges, commands, pace.
#include "Chromsimsupport.h"
#include "chromsim/Autorange.h"
#include "chromsim/Commandparser.h"
#include "chromsim/Framepacer.h"
#include "chromsim/Framestream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

using namespace chromsimtest;
using chromsim::FrameStream;
using chromsim::SimOptions;

constexpr std::uint64_t everything = std::numeric_limits<std::uint64_t>::max();

SimOptions shortCycle(std::int32_t model = 0, bool summator = false)
{
    SimOptions options;
    options.model = model;
    options.summator = summator;
    options.lengthSeconds = 60;
    options.seed = 7;
    return options;
}

Bytes wholeStream(const SimOptions& options, FrameStream::Mode mode = FrameStream::Mode::cycle,
                  std::uint64_t until = everything)
{
    FrameStream stream(options, mode, *options.seed);
    Bytes bytes;
    stream.produce(until, bytes);
    return bytes;
}

// The same cycle with and without one fault: the frames themselves do not depend on faults.
struct FaultedPair {
    Bytes clean;
    Bytes faulted;
};

FaultedPair withFault(const char* fault)
{
    auto options = shortCycle();
    const Bytes clean = wholeStream(options);
    EXPECT_FALSE(options.faults.enable(fault));
    return {clean, wholeStream(options)};
}

// Lines the faulted stream up with the clean one, frame by frame: what the fault inserted between
// frames, and which frames it changed or cut.
struct Alignment {
    std::vector<Bytes> inserted;
    std::vector<std::pair<framecodec::Frame, Bytes>> changed;  // clean frame, what was sent instead
    bool complete = true;
};

Alignment align(const Bytes& clean, const Bytes& faulted)
{
    const std::size_t cleanEnd = clean.size() - (endsWithMarker(clean) ? 4 : 0);
    const std::size_t faultedEnd = faulted.size() - (endsWithMarker(faulted) ? 4 : 0);
    Alignment result;
    std::size_t j = 0;
    Bytes run;
    const auto endRun = [&] {
        if (!run.empty())
            result.inserted.push_back(std::exchange(run, {}));
    };
    for (std::size_t i = 0; i + 4 <= cleanEnd; i += 4) {
        const framecodec::Frame frame{clean[i], clean[i + 1], clean[i + 2], clean[i + 3]};
        // Whatever comes before the frame's sync byte, the fault put there.
        while (j < faultedEnd && faulted[j] != frame[0])
            run.push_back(faulted[j++]);
        endRun();
        if (j == faultedEnd) {
            result.complete = false;
            return result;
        }
        std::size_t length = 1;
        while (length < 4 && j + length < faultedEnd && !(faulted[j + length] & 0x80))
            ++length;
        const Bytes sent(faulted.begin() + static_cast<std::ptrdiff_t>(j),
                         faulted.begin() + static_cast<std::ptrdiff_t>(j + length));
        if (!std::equal(sent.begin(), sent.end(), frame.begin(), frame.end()))
            result.changed.push_back({frame, sent});
        j += length;
    }
    while (j < faultedEnd)
        run.push_back(faulted[j++]);
    endRun();
    return result;
}

TEST(ChromsimStream, CycleIsLengthTimesFramesPerSecondWithCountersAndMarker)
{
    struct Case {
        std::int32_t rate;
        double length;
    };
    for (const auto& c : {Case{8, 120}, Case{8, 30}, Case{4, 60}, Case{10, 25}}) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate << ", length " << c.length);
        auto options = shortCycle();
        options.rate = c.rate;
        options.lengthSeconds = c.length;
        const auto scan = scanStream(wholeStream(options));
        EXPECT_EQ(scan.frames.size(), static_cast<std::size_t>(50 * c.rate * c.length));
        EXPECT_TRUE(scan.gaps.empty());
        EXPECT_TRUE(scan.endMarker);
        EXPECT_TRUE(countersAdvanceByOne(scan.frames));
    }
}

TEST(ChromsimStream, ProducesOnlyWhatIsDueAndEndsOnce)
{
    auto options = shortCycle();
    options.lengthSeconds = 1;
    FrameStream stream(options, FrameStream::Mode::cycle, 1);
    Bytes bytes;
    stream.produce(100, bytes);
    EXPECT_EQ(bytes.size(), 400u);
    stream.produce(100, bytes);
    EXPECT_EQ(bytes.size(), 400u);
    EXPECT_FALSE(stream.finished());
    stream.produce(everything, bytes);
    EXPECT_TRUE(stream.finished());
    EXPECT_EQ(bytes.size(), 4u * 400 + 4);
    stream.produce(everything, bytes);
    EXPECT_EQ(bytes.size(), 4u * 400 + 4);
}

TEST(ChromsimStream, SameSeedSameCycleOtherSeedOtherCycle)
{
    const auto options = shortCycle();
    const auto first = wholeStream(options);
    EXPECT_EQ(wholeStream(options), first);
    auto other = options;
    other.seed = 8;
    EXPECT_NE(wholeStream(other), first);
}

TEST(ChromsimStream, SummatorOnlyStreamNeverEndsAndHasNoPeaks)
{
    auto options = shortCycle(1, true);
    FrameStream stream(options, FrameStream::Mode::summatorOnly, 3);
    Bytes bytes;
    stream.produce(400 * 80, bytes);
    EXPECT_FALSE(stream.finished());
    const auto scan = scanStream(bytes);
    EXPECT_FALSE(scan.endMarker);
    EXPECT_TRUE(countersAdvanceByOne(scan.frames));
    const auto trace = detectorTrace(scan.frames, 1, options.framesPerSecond());
    EXPECT_LT(maximumIn(trace, 0, 80) - meanIn(trace, 0, 80), 1.0) << "a bare baseline";
}

TEST(ChromsimStream, SummatorReadingsOnlyFromModel1WithSummator)
{
    struct Case {
        const char* name;
        std::int32_t model;
        bool summator;
        bool readings;
    };
    for (const auto& c : {Case{"model 0", 0, false, false}, Case{"model 1 alone", 1, false, false},
                          Case{"model 1 with summator", 1, true, true}}) {
        SCOPED_TRACE(c.name);
        for (const auto mode : {FrameStream::Mode::cycle, FrameStream::Mode::summatorOnly}) {
            const auto options = shortCycle(c.model, c.summator);
            const auto frames = scanStream(wholeStream(options, mode, 4000)).frames;
            const auto isReading = [](const framecodec::Frame& f) { return (f[1] & 0x04) != 0; };
            const auto readings = std::count_if(frames.begin(), frames.end(), isReading);
            EXPECT_EQ(readings > 0, c.readings);
        }
    }
}

TEST(ChromsimStream, SummatorChannelsAgreeOnTheTotalGas)
{
    int pairs = 0;
    // Above 1 % total gas the low channel sits at its limit; some seeds give less.
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        auto options = shortCycle(1, true);
        options.seed = seed;
        std::optional<double> low;
        for (const auto& bytes : scanStream(wholeStream(options)).frames) {
            const auto frame = framecodec::decodeFrame(bytes, 1, AdcParameters{}, true);
            if (frame.kind == DeviceFrame::summatorLow) {
                low = frame.value;
            } else if (frame.kind == DeviceFrame::summatorHigh && low && *low < 8191) {
                // The high channel spans ten times the gas, so it reads a tenth of the low channel.
                EXPECT_NEAR(frame.value, *low / 10, 1 + *low / 50);
                ++pairs;
            }
        }
    }
    EXPECT_GT(pairs, 0);
}

TEST(ChromsimFaults, ShortFramesCutSomeFramesAndNothingElse)
{
    const auto [clean, faulted] = withFault("short-frames");
    const auto alignment = align(clean, faulted);
    ASSERT_TRUE(alignment.complete);
    EXPECT_TRUE(alignment.inserted.empty());
    ASSERT_FALSE(alignment.changed.empty());
    for (const auto& [frame, sent] : alignment.changed) {
        ASSERT_GE(sent.size(), 1u);
        ASSERT_LT(sent.size(), 4u);
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), frame.begin()));
    }
    EXPECT_TRUE(endsWithMarker(faulted));
}

TEST(ChromsimFaults, NoisePutsBytesWithoutBit7BetweenFrames)
{
    const auto [clean, faulted] = withFault("noise");
    const auto alignment = align(clean, faulted);
    ASSERT_TRUE(alignment.complete);
    EXPECT_TRUE(alignment.changed.empty());
    ASSERT_FALSE(alignment.inserted.empty());
    for (const auto& run : alignment.inserted) {
        EXPECT_LE(run.size(), 3u);
        EXPECT_TRUE(std::none_of(run.begin(), run.end(), [](auto b) { return b & 0x80; }));
    }
    EXPECT_TRUE(endsWithMarker(faulted));
}

TEST(ChromsimFaults, Bit7SetsTheTopBitInsideSomeFrames)
{
    const auto [clean, faulted] = withFault("bit7");
    ASSERT_EQ(faulted.size(), clean.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i + 4 < clean.size(); ++i) {
        if (faulted[i] == clean[i])
            continue;
        ++changed;
        EXPECT_EQ(faulted[i] ^ clean[i], 0x80);
        EXPECT_NE(i % 4, 0u) << "the sync byte stays as it was";
    }
    EXPECT_GT(changed, 0u);
}

TEST(ChromsimFaults, LineErrorsSendBurstsOfGarbageThatNeverEndTheCycle)
{
    const auto [clean, faulted] = withFault("line-errors");
    std::size_t bursts = 0;
    // Garbage may hold bytes with bit 7: look for the clean frames as they are, in order.
    std::size_t j = 0;
    Bytes run;
    for (std::size_t i = 0; i + 4 <= clean.size(); i += 4) {
        while (j + 4 <= faulted.size() && !std::equal(clean.begin() + static_cast<std::ptrdiff_t>(i),
                                                      clean.begin() + static_cast<std::ptrdiff_t>(i + 4),
                                                      faulted.begin() + static_cast<std::ptrdiff_t>(j)))
            run.push_back(faulted[j++]);
        ASSERT_LE(j + 4, faulted.size()) << "frame " << i / 4 << " is missing";
        if (!run.empty()) {
            ++bursts;
            EXPECT_GE(run.size(), 16u);
            EXPECT_LE(run.size(), 64u);
            EXPECT_EQ(std::count(run.begin(), run.end(), 0xFF), 0);
            run.clear();
        }
        j += 4;
    }
    EXPECT_EQ(j, faulted.size());
    EXPECT_GE(bursts, 2u) << "in a minute";
}

TEST(ChromsimFaults, NoEndMarkerDropsOnlyTheMarker)
{
    const auto [clean, faulted] = withFault("no-end-marker");
    ASSERT_TRUE(endsWithMarker(clean));
    EXPECT_EQ(faulted, Bytes(clean.begin(), clean.end() - 4));
}

TEST(ChromsimFaults, SilentAfterCutsTheCycleShortWithoutMarker)
{
    const auto [clean, faulted] = withFault("silent-after=12.5");
    EXPECT_EQ(faulted, Bytes(clean.begin(), clean.begin() + 4 * 5000));
}

TEST(ChromsimAutorange, PicksTheMostSensitiveRangeThatHoldsTheVoltage)
{
    // With the station's defaults a count is 0.00015 mV on range 0, ten times more per range.
    struct Case {
        double millivolts;
        chromsim::Autorange::Reading expected;
    };
    const std::array<Case, 10> cases{{
        {0, {0, 0}},
        {1.0, {0, 6554}},
        {-1.0, {0, -6554}},
        {1.2499, {0, 8191}},
        {1.25, {1, 819}},
        {-1.25, {0, -8192}},  // two's complement reaches one further down
        {100, {2, 6554}},
        {1249.85, {3, 8191}},
        {5000, {3, 8191}},    // clips on the least sensitive range
        {-5000, {3, -8192}},
    }};
    const AdcParameters adc;
    const chromsim::Autorange autorange(adc);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.millivolts);
        const auto reading = autorange.pick(c.millivolts);
        EXPECT_EQ(reading, c.expected) << "range " << reading.range << ", count " << reading.count;
        // What the station reads back from the frame is the voltage, to within half a count.
        const auto frame = framecodec::decodeFrame(
            framecodec::encodeSample(0, 1, reading.range, reading.count, adc.bits), 0, adc, false);
        const double step = adc.millivolts(adc.rangeFactor(reading.range), adc.fullScale());
        if (std::abs(c.millivolts) < 1249) {
            EXPECT_NEAR(adc.millivolts(frame.value, adc.fullScale()), c.millivolts, step / 2 + 1e-9);
        }
    }
}

TEST(ChromsimCommands, FindsTheNewestNineBytesThatMakeACommand)
{
    using Kind = chromsim::CommandParser::Command::Kind;
    const auto programme = toBytes(framecodec::programmeCommand(defaultProgramme));
    const auto summatorOnly = toBytes(framecodec::summatorOnlyCommand());
    auto badChecksum = programme;
    ++badChecksum.back();
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const Bytes garbage{0x13, 0x37, 0xFF, 0x80, 0x00};
    const Bytes firstHalf(programme.begin(), programme.begin() + 5);
    const Bytes secondHalf(programme.begin() + 5, programme.end());

    struct Case {
        const char* name;
        std::vector<Bytes> reads;
        std::vector<std::optional<Kind>> expected;  // after each read
    };
    const std::vector<Case> cases{
        {"a programme", {programme}, {Kind::programme}},
        {"the summator-only command", {summatorOnly}, {Kind::summatorOnly}},
        {"fewer than nine bytes", {firstHalf}, {std::nullopt}},
        {"a programme in two reads", {firstHalf, secondHalf}, {std::nullopt, Kind::programme}},
        {"garbage first", {join({garbage, programme})}, {Kind::programme}},
        {"garbage, then a programme in two reads", {join({garbage, firstHalf}), secondHalf},
         {Kind::badChecksum, Kind::programme}},
        {"a wrong checksum", {badChecksum}, {Kind::badChecksum}},
        {"a wrong checksum, then a programme", {badChecksum, programme}, {Kind::badChecksum, Kind::programme}},
        {"both in one read", {join({badChecksum, programme})}, {Kind::programme}},
        {"two programmes in one read", {join({programme, programme})}, {Kind::programme}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chromsim::CommandParser parser;
        for (std::size_t i = 0; i < c.reads.size(); ++i) {
            const auto command = parser.feed(c.reads[i]);
            ASSERT_EQ(command.has_value(), c.expected[i].has_value()) << "read " << i;
            if (!command)
                continue;
            EXPECT_EQ(command->kind, *c.expected[i]) << "read " << i;
            if (command->kind == Kind::programme) {
                EXPECT_EQ(toBytes(command->bytes), programme);
            }
        }
    }
}

TEST(ChromsimPacer, EachFrameFallsDueAtItsOwnTime)
{
    using Clock = chromsim::FramePacer::Clock;
    const auto start = Clock::now();
    for (const double speed : {1.0, 3.0, 1000.0}) {
        SCOPED_TRACE(speed);
        const chromsim::FramePacer pacer(400, speed, start);
        EXPECT_EQ(pacer.due(start), 0u);
        EXPECT_EQ(pacer.due(start + std::chrono::seconds(2)), static_cast<std::uint64_t>(800 * speed));
        for (const std::uint64_t frame : {1ull, 399ull, 400ull, 12345ull}) {
            // Woken at a frame's time, the loop must find it due, or it would wait again for nothing.
            EXPECT_GE(pacer.due(pacer.when(frame)), frame);
            EXPECT_LT(pacer.due(pacer.when(frame) - std::chrono::microseconds(1)), frame);
        }
    }
}

} // namespace
