// nivra-summsim: its command line, its frames, and the station's summator thread reading it.
#include "device/Summatorframe.h"
#include "device/Summthread.h"
#include "platform/Beep.h"
#include "summsim/Framemaker.h"
#include "summsim/Readingplan.h"
#include "summsim/Simoptions.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace {

using namespace std::chrono_literals;
using summsim::SimOptions;

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments)
        line += argument + ' ';
    return line;
}

TEST(SummsimOptions, ReadsEveryOption)
{
    struct Accepted {
        std::vector<std::string> arguments;
        void (*expect)(SimOptions& defaults);  // what the arguments change
    };
    const std::vector<Accepted> cases{
        {{}, [](SimOptions&) {}},
        {{"--rate", "20", "--reading", "-300", "--exponent", "-2"},
         [](SimOptions& o) { o.rate = 20, o.reading = -300, o.exponent = -2; }},
        {{"--percent=5", "--coeff", "0.2"}, [](SimOptions& o) { o.percent = 5, o.coeff = 0.2; }},
        {{"--ramp", "-100", "--ramp-to", "0"}, [](SimOptions& o) { o.ramp = -100, o.rampTo = 0; }},
        {{"--bad-checksum-every", "3", "--short-every", "7"},
         [](SimOptions& o) { o.badChecksumEvery = 3, o.shortEvery = 7; }},
        {{"--garbage", "--seconds", "2.5"}, [](SimOptions& o) { o.garbage = true, o.seconds = 2.5; }},
        {{"--frames", "10", "--seconds=60"}, [](SimOptions& o) { o.frames = 10, o.seconds = 60; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = SimOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed)) << std::get<std::string>(parsed);
        const auto& options = std::get<SimOptions>(parsed);
        SimOptions expected;
        c.expect(expected);
        EXPECT_EQ(options.rate, expected.rate);
        EXPECT_EQ(options.reading, expected.reading);
        EXPECT_EQ(options.exponent, expected.exponent);
        EXPECT_EQ(options.percent, expected.percent);
        EXPECT_EQ(options.coeff, expected.coeff);
        EXPECT_EQ(options.ramp, expected.ramp);
        EXPECT_EQ(options.rampTo, expected.rampTo);
        EXPECT_EQ(options.badChecksumEvery, expected.badChecksumEvery);
        EXPECT_EQ(options.shortEvery, expected.shortEvery);
        EXPECT_EQ(options.garbage, expected.garbage);
        EXPECT_EQ(options.seconds, expected.seconds);
        EXPECT_EQ(options.frames, expected.frames);
        EXPECT_FALSE(options.help);
    }
}

TEST(SummsimOptions, RefusesWhatItCannotDo)
{
    struct Refused {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Refused> cases{
        {{"--bogus"}, "unknown argument: --bogus"},
        {{"--rate", "0"}, "--rate"},
        {{"--rate"}, "--rate needs HZ"},
        {{"--reading", "32768"}, "--reading"},
        {{"--reading", "many"}, "--reading"},
        {{"--exponent", "1.5"}, "--exponent"},
        {{"--bad-checksum-every", "0"}, "--bad-checksum-every"},
        {{"--frames", "-1"}, "--frames"},
        {{"--garbage=yes"}, "takes no value"},
        {{"--percent", "5", "--reading", "100"}, "leave out --reading"},
        {{"--coeff", "0.2"}, "--coeff only goes with --percent"},
        {{"--ramp-to", "100"}, "--ramp-to needs --ramp"},
        {{"--reading", "1000", "--ramp", "10", "--ramp-to", "500"}, "behind the start"},
        {{"--garbage", "--frames", "5"}, "--seconds"},
        {{"--garbage", "--short-every", "2"}, "--garbage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = SimOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_NE(std::get<std::string>(parsed).find(c.says), std::string::npos) << std::get<std::string>(parsed);
    }
}

SimOptions parsed(const std::vector<std::string>& arguments)
{
    return std::get<SimOptions>(SimOptions::parse(arguments));
}

// What the station makes of a frame: its value, or nothing when it is damaged.
std::optional<double> stationValue(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() != summsim::FrameMaker::frameSize
        || !std::equal(summatorframe::header.begin(), summatorframe::header.end(), bytes.begin()))
        return std::nullopt;
    summatorframe::Body body{};
    std::copy(bytes.begin() + 3, bytes.end(), body.begin());
    return summatorframe::decode(body);
}

TEST(SummsimFrames, CarryTheValueAskedFor)
{
    struct Case {
        std::vector<std::string> arguments;
        std::vector<double> values;  // of frames 1, 2, …
    };
    const std::vector<Case> cases{
        {{"--reading", "100", "--exponent", "2"}, {10000, 10000}},
        {{"--percent", "5"}, {409600}},
        {{"--percent", "0.5", "--coeff", "0.2"}, {20480}},
        {{"--rate", "2", "--ramp", "8192", "--ramp-to", "16384"}, {8192, 12288, 16384, 16384}},
        {{"--rate", "1", "--reading", "10", "--ramp", "-4"}, {10, 6, 2, -2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const summsim::FrameMaker maker(parsed(c.arguments));
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            const auto value = stationValue(maker.frame(i + 1));
            ASSERT_TRUE(value) << "frame " << i + 1;
            EXPECT_NEAR(*value, c.values[i], 1e-9 * std::abs(c.values[i])) << "frame " << i + 1;
        }
    }
    // Sent as written, not reshaped: the station sees these very fields.
    const auto asGiven = summsim::FrameMaker(parsed({"--reading", "100", "--exponent", "2"})).frame(1);
    EXPECT_EQ(asGiven[3 + 1], 2);
    EXPECT_EQ(asGiven[3 + 2], 100);
}

TEST(SummsimFrames, FittedReadingIsCloseAndUsesTheDigitsItHas)
{
    for (const double value : {0.5, 8192.0, 32767.6, -101089.28, 3.3e9, 1.25e-7}) {
        SCOPED_TRACE(value);
        const auto reading = summsim::Reading::fitted(value);
        EXPECT_NEAR(reading.value(), value, std::abs(value) * 1e-4);
        EXPECT_GE(std::abs(reading.mantissa), 3276);  // no digit given away
    }
    EXPECT_EQ(summsim::Reading::fitted(0).value(), 0);
}

TEST(SummsimFrames, FaultsHitEveryKthFrameAndCountersWrap)
{
    const summsim::FrameMaker maker(parsed({"--bad-checksum-every", "3", "--short-every", "4"}));
    std::string pattern;
    for (std::uint64_t number = 1; number <= 12; ++number) {
        const auto bytes = maker.frame(number);
        pattern += bytes.size() < summsim::FrameMaker::frameSize ? 's' : stationValue(bytes) ? '.' : 'x';
    }
    EXPECT_EQ(pattern, "..xs.x.sx..s");  // a frame both would hit is cut short
    EXPECT_EQ(maker.frame(256)[3], 255);
    EXPECT_EQ(maker.frame(257)[3], 0);
}

// The values the summator thread hands out.
class Values {
public:
    void add(double value)
    {
        {
            std::lock_guard lock(mutex_);
            values_.push_back(value);
        }
        changed_.notify_all();
    }
    std::vector<double> all() const
    {
        std::lock_guard lock(mutex_);
        return values_;
    }
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 5000ms) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return values_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<double> values_;
};

// The station's beeps stay out of the test's output.
class QuietBeeps {
public:
    QuietBeeps() : previous_(platform::setBeepSink([](int, int) {})) {}
    ~QuietBeeps() { platform::setBeepSink(previous_); }
    QuietBeeps(const QuietBeeps&) = delete;
    QuietBeeps& operator=(const QuietBeeps&) = delete;

private:
    platform::BeepSink previous_;
};

TEST(SummsimProgram, StationReadsTheValueItSendsThenItEnds)
{
    const QuietBeeps quiet;
    test::ChildProcess program(SUMMSIM_PATH,
                               {"--reading", "8192", "--exponent", "1", "--rate", "20", "--frames", "40"});
    const auto path = program.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

    Values values;
    TSummThread thread({true, 0, path, 0.1f, 0}, [&](double percent) { values.add(percent); });
    thread.start();
    ASSERT_TRUE(values.waitForCount(3)) << program.errors();
    for (const double value : values.all())
        EXPECT_NEAR(value, 1.0, 1e-6);
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_NE(program.errors().find("sent 40 frames"), std::string::npos);
}

TEST(SummsimProgram, GarbageYieldsNoValueNorHangsTheStation)
{
    const QuietBeeps quiet;
    test::ChildProcess program(SUMMSIM_PATH, {"--garbage"});
    const auto path = program.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

    Values values;
    TSummThread thread({true, 0, path, 0.1f, 0}, [&](double percent) { values.add(percent); });
    thread.start();
    std::this_thread::sleep_for(700ms);
    const auto started = std::chrono::steady_clock::now();
    thread.terminate();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_TRUE(values.all().empty());

    program.signal(SIGTERM);
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_NE(program.errors().find("random bytes"), std::string::npos);
}

} // namespace
