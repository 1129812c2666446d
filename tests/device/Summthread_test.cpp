#include "device/Summatorframe.h"
#include "device/Summthread.h"
#include "platform/Beep.h"
#include "testsupport/Pseudoterminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Items another thread adds while the test waits for them.
template <typename Item>
class Record {
public:
    void add(Item item)
    {
        {
            std::lock_guard lock(mutex_);
            items_.push_back(item);
        }
        changed_.notify_all();
    }
    std::vector<Item> items() const
    {
        std::lock_guard lock(mutex_);
        return items_;
    }
    // True once there are at least count items; false when they did not come in time.
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 30s) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Item> items_;
};

// The frequencies of the beeps sounded while it lives.
class BeepRecorder {
public:
    BeepRecorder() : previous_(platform::setBeepSink([this](int frequency, int) { beeps_.add(frequency); })) {}
    ~BeepRecorder() { platform::setBeepSink(previous_); }
    BeepRecorder(const BeepRecorder&) = delete;
    BeepRecorder& operator=(const BeepRecorder&) = delete;

    long count(int frequency) const
    {
        const auto all = beeps_.items();
        return std::count(all.begin(), all.end(), frequency);
    }
    bool waitFor(int frequency, long atLeast = 1, std::chrono::milliseconds timeout = 30s) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (count(frequency) < atLeast) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

private:
    Record<int> beeps_;
    platform::BeepSink previous_;
};

Bytes frame(std::int16_t reading, std::int8_t exponent = 0)
{
    Bytes bytes(summatorframe::header.begin(), summatorframe::header.end());
    const auto body = summatorframe::encode(0, exponent, reading);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

TSummThread::Settings onTerminal(const platform::PseudoTerminal& terminal)
{
    return {true, 0, terminal.slavePath(), 0.1f, 0};
}

// The thread on a pseudo-terminal the test plays the summator on; started at once.
struct Rig {
    explicit Rig(const std::function<void(TSummThread::Settings&)>& adjust = {})
        : thread(settings(adjust), [this](double percent) { readings.add(percent); })
    {
        thread.start();
    }
    TSummThread::Settings settings(const std::function<void(TSummThread::Settings&)>& adjust) const
    {
        auto result = onTerminal(terminal);
        if (adjust)
            adjust(result);
        return result;
    }
    void send(const Bytes& bytes) { ASSERT_TRUE(terminal.write(bytes)); }

    BeepRecorder beeps;
    platform::PseudoTerminal terminal;
    Record<double> readings;
    TSummThread thread;  // last: stops before what it uses goes away
};

TEST(SummThread, ReadingBecomesPercentNeverNegative)
{
    struct Case {
        std::int16_t reading;
        std::int8_t exponent;
        float null;
        double percent;
    };
    const std::vector<Case> cases{
        {8192, 0, 0, 0.1},
        {8192, 1, 0, 1.0},
        {4096, -1, 0.5f, 0.505},
        {8192, 0, -1, 0},
        {-8192, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.reading) + "e" + std::to_string(c.exponent) + " null " + std::to_string(c.null));
        Rig rig([&](TSummThread::Settings& s) { s.null = c.null; });
        rig.send(frame(c.reading, c.exponent));
        ASSERT_TRUE(rig.readings.waitForCount(1));
        EXPECT_NEAR(rig.readings.items()[0], c.percent, 1e-6);
        EXPECT_NEAR(rig.thread.value(), c.percent, 1e-6);
        EXPECT_TRUE(rig.thread.portOpen());
        EXPECT_EQ(rig.beeps.count(900), 1);  // one open, kept
    }
}

TEST(SummThread, DamagedFrameIsDroppedAndTheNextOneRead)
{
    struct Case {
        const char* what;
        Bytes damaged;
        std::chrono::milliseconds pause;  // before the good frame follows
    };
    Bytes badSum = frame(16384);
    ++badSum.back();
    Bytes badHeader = frame(16384);
    badHeader[2] = 'W';
    Bytes cut = frame(16384);
    cut.resize(3 + 10);
    const std::vector<Case> cases{
        {"wrong checksum", badSum, 0ms},
        {"wrong header", badHeader, 0ms},
        {"short, then silence", cut, 500ms},
        // Balanced by chance, but beyond any float: it would reach the registration as "inf".
        {"reading beyond a float", frame(32767, 127), 0ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.send(c.damaged);
        std::this_thread::sleep_for(c.pause);
        rig.send(frame(8192));
        ASSERT_TRUE(rig.readings.waitForCount(1));
        EXPECT_NEAR(rig.readings.items()[0], 0.1, 1e-6);  // not 0.2 from the damaged frame
    }
}

TEST(SummThread, UseOffClosesThePortWithAHighBeepAndReadsNothing)
{
    Rig rig;
    rig.send(frame(8192));
    ASSERT_TRUE(rig.readings.waitForCount(1));

    auto off = onTerminal(rig.terminal);
    off.use = false;
    rig.thread.applySettings(off);
    ASSERT_TRUE(rig.beeps.waitFor(3000));
    EXPECT_FALSE(rig.thread.portOpen());
    const auto before = rig.readings.items().size();
    rig.send(frame(8192));
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(rig.readings.items().size(), before);
    EXPECT_EQ(rig.beeps.count(3000), 1);
    EXPECT_EQ(rig.beeps.count(900), 1);

    rig.thread.applySettings(onTerminal(rig.terminal));
    ASSERT_TRUE(rig.readings.waitForCount(before + 1));  // on again: the waiting frame is read
    EXPECT_EQ(rig.beeps.count(900), 2);
}

TEST(SummThread, MissingPortIsTriedEveryPassWithABeepButNoSpin)
{
    struct Case {
        const char* what;
        const char* name;  // nullptr: the test's terminal, pulled once it has been read
    };
    const std::vector<Case> cases{
        {"no such device", "/dev/nivra-no-such-port"},
        {"no name", ""},
        {"adapter pulled", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto started = std::chrono::steady_clock::now();
        Rig rig([&](TSummThread::Settings& s) { s.portName = c.name ? c.name : s.portName; });
        if (!c.name) {
            rig.send(frame(8192));
            ASSERT_TRUE(rig.readings.waitForCount(1));
            rig.terminal.closeMaster();
        }
        EXPECT_TRUE(rig.beeps.waitFor(900, 3));
        rig.thread.terminate();
        const auto passed = std::chrono::steady_clock::now() - started;
        // One try per 100 ms pass, however late the thread runs; a quarter of that still leaves
        // the thousands of a busy loop far above.
        EXPECT_LE(rig.beeps.count(900), passed / 25ms + 5);
        EXPECT_FALSE(rig.thread.portOpen());
        EXPECT_LE(rig.readings.items().size(), 1u);
    }
}

TEST(SummThread, ChromatographWithItsOwnSummatorLeavesThePortAlone)
{
    Rig rig([](TSummThread::Settings& s) { s.deviceType = 1; });
    rig.send(frame(8192));
    std::this_thread::sleep_for(400ms);
    EXPECT_FALSE(rig.thread.portOpen());
    EXPECT_EQ(rig.beeps.count(900), 0);
    EXPECT_TRUE(rig.readings.items().empty());
}

TEST(SummThread, TerminateReturnsPromptlyWhileThePortIsSilent)
{
    Rig rig;
    ASSERT_TRUE(rig.beeps.waitFor(900));
    ASSERT_TRUE(rig.thread.portOpen());
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    rig.thread.terminate();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_FALSE(rig.thread.portOpen());
    rig.thread.terminate();  // again: nothing left to do
}

TEST(SummThread, NewPortNameTakesEffectOnReconnectOnly)
{
    Rig rig;
    platform::PseudoTerminal other;
    rig.send(frame(8192));
    ASSERT_TRUE(rig.readings.waitForCount(1));

    // The open port is kept when only the settings change.
    rig.thread.applySettings(onTerminal(other));
    rig.send(frame(16384));
    ASSERT_TRUE(rig.readings.waitForCount(2));
    EXPECT_NEAR(rig.readings.items()[1], 0.2, 1e-6);

    rig.thread.reconnect(onTerminal(other));
    ASSERT_TRUE(other.write(frame(24576)));
    ASSERT_TRUE(rig.readings.waitForCount(3));
    EXPECT_NEAR(rig.readings.items()[2], 0.3, 1e-6);
    EXPECT_TRUE(rig.thread.portOpen());
}

// CPU time, of the whole process or of the calling thread.
std::chrono::nanoseconds cpuTime(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

TEST(SummThread, GarbageAtFullSpeedCostsLittleCpuAndFramesStillCount)
{
    Rig rig;
    ASSERT_TRUE(rig.beeps.waitFor(900));
    // Bytes that never start a frame, written as fast as the terminal takes them.
    Bytes garbage(4096);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(i % 64 + 1);
    const auto processStart = cpuTime(CLOCK_PROCESS_CPUTIME_ID);
    const auto writerStart = cpuTime(CLOCK_THREAD_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - wallStart < 1s)
        rig.terminal.write(garbage, 20ms);
    const auto wall = std::chrono::steady_clock::now() - wallStart;
    const auto others = (cpuTime(CLOCK_PROCESS_CPUTIME_ID) - processStart) - (cpuTime(CLOCK_THREAD_CPUTIME_ID) - writerStart);
    // Read at the terminal's pace it would be most of a core; generous for a loaded machine.
    EXPECT_LT(static_cast<double>(others.count()) / static_cast<double>(wall.count()), 0.3);

    // Once frames come again they are read soon: the garbage still queued is not worked through.
    const auto frames = std::chrono::steady_clock::now();
    while (rig.readings.items().empty() && std::chrono::steady_clock::now() - frames < 3s) {
        rig.send(frame(8192));
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_FALSE(rig.readings.items().empty());
    EXPECT_TRUE(rig.thread.portOpen());
}

} // namespace
