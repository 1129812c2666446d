#pragma once

#include "chromsim/Chromsimulator.h"
#include "chromsim/Simoptions.h"
#include "device/Framecodec.h"
#include "testsupport/Pseudoterminal.h"
#include "platform/Serialport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <span>
#include <streambuf>
#include <string>
#include <sys/eventfd.h>
#include <thread>
#include <utility>
#include <vector>

namespace chromsimtest {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::array<std::int32_t, 8> defaultProgramme{2, 23, 30, 35, 55, 70, 120, 0};

inline Bytes toBytes(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

inline bool endsWithMarker(const Bytes& bytes)
{
    return bytes.size() >= 4 && std::equal(framecodec::endMarker.begin(), framecodec::endMarker.end(), bytes.end() - 4);
}

// A log the simulator writes on its thread while the test waits for a line to show up.
class SharedLog : public std::streambuf {
public:
    std::string text() const
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    // True once the text holds `part`; false when it did not come within the time-out.
    bool waitFor(const std::string& part, std::chrono::milliseconds timeout = 5000ms) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return text_.find(part) != std::string::npos; });
    }

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            append(std::string(1, traits_type::to_char_type(c)));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        append(std::string(s, static_cast<std::size_t>(n)));
        return n;
    }

private:
    void append(const std::string& more)
    {
        {
            std::lock_guard lock(mutex_);
            text_ += more;
        }
        changed_.notify_all();
    }
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::string text_;
};

// The simulator core on a fresh pseudo-terminal, run on its own thread until the session ends.
class SimulatorSession {
public:
    explicit SimulatorSession(const chromsim::SimOptions& options)
        : stop_(::eventfd(0, EFD_CLOEXEC)), simulator_(terminal_, options, log_),
          thread_([this] { result_ = simulator_.run(stop_.get()); })
    {
    }
    ~SimulatorSession() { stop(); }
    SimulatorSession(const SimulatorSession&) = delete;
    SimulatorSession& operator=(const SimulatorSession&) = delete;

    const std::string& slavePath() const { return terminal_.slavePath(); }
    const SharedLog& log() const { return logBuffer_; }

    // True when the simulator ran without a terminal failure.
    bool stop()
    {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(stop_.get(), &one, sizeof one);
            thread_.join();
        }
        return result_;
    }

private:
    platform::PseudoTerminal terminal_;
    platform::FileDescriptor stop_;
    SharedLog logBuffer_;
    std::ostream log_{&logBuffer_};
    chromsim::ChromSimulator simulator_;
    bool result_ = false;
    std::thread thread_;  // last: started when everything it uses exists
};

// The station's end: the slave opened and set up as the station does.
class StationPort {
public:
    // Only `silence` without a byte ends a stream; the station waits a second.
    explicit StationPort(const std::string& path, std::chrono::milliseconds silence = 1000ms) : silence_(silence)
    {
        opened_ = port_.open(path) && port_.configure("19200,n,8,1");
        port_.setTimeouts(50ms, silence_);
    }

    bool opened() const { return opened_; }
    void close() { port_.close(); }
    bool send(std::span<const std::uint8_t> bytes) { return port_.write(bytes); }
    bool sendProgramme() { return send(framecodec::programmeCommand(defaultProgramme)); }

    // Up to count bytes; fewer when the line falls silent first.
    Bytes read(std::size_t count)
    {
        Bytes bytes;
        while (bytes.size() < count && readSome(bytes, count - bytes.size()) > 0) {
        }
        return bytes;
    }
    // Everything until the end marker or silence.
    Bytes readToEnd()
    {
        Bytes bytes;
        while (!endsWithMarker(bytes) && readSome(bytes, 65536) > 0) {
        }
        return bytes;
    }
    // Whatever comes within the time-out.
    Bytes readFor(std::chrono::milliseconds timeout)
    {
        port_.setTimeouts(timeout, timeout);
        Bytes bytes;
        readSome(bytes, 65536);
        port_.setTimeouts(50ms, silence_);
        return bytes;
    }

private:
    std::size_t readSome(Bytes& into, std::size_t most)
    {
        std::vector<std::uint8_t> buffer(most);
        const auto result = port_.read(buffer);
        into.insert(into.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(result.count));
        return result.ok ? result.count : 0;
    }

    platform::SerialPort port_;
    std::chrono::milliseconds silence_;
    bool opened_ = false;
};

// A byte stream cut into frames (a sync byte and three without bit 7) and the runs between them.
struct Scan {
    std::vector<framecodec::Frame> frames;
    std::vector<Bytes> gaps;
    bool endMarker = false;
};

inline Scan scanStream(Bytes bytes)
{
    Scan scan;
    scan.endMarker = endsWithMarker(bytes);
    if (scan.endMarker)
        bytes.resize(bytes.size() - 4);
    Bytes gap;
    for (std::size_t p = 0; p < bytes.size();) {
        const bool frame = (bytes[p] & 0x80) && p + 3 < bytes.size()
            && std::none_of(bytes.begin() + static_cast<std::ptrdiff_t>(p + 1),
                            bytes.begin() + static_cast<std::ptrdiff_t>(p + 4), [](auto b) { return b & 0x80; });
        if (!frame) {
            gap.push_back(bytes[p++]);
            continue;
        }
        if (!gap.empty())
            scan.gaps.push_back(std::exchange(gap, {}));
        scan.frames.push_back({bytes[p], bytes[p + 1], bytes[p + 2], bytes[p + 3]});
        p += 4;
    }
    if (!gap.empty())
        scan.gaps.push_back(gap);
    return scan;
}

// The counters of a stream advance by one per frame from 1, modulo 128.
inline ::testing::AssertionResult countersAdvanceByOne(const std::vector<framecodec::Frame>& frames)
{
    for (std::size_t i = 0; i < frames.size(); ++i)
        if ((frames[i][0] & 0x7F) != (i + 1) % 128)
            return ::testing::AssertionFailure() << "frame " << i << " carries counter " << (frames[i][0] & 0x7F);
    return ::testing::AssertionSuccess();
}

// Detector samples of a gap-free stream as (seconds, millivolts), the way the station scales them.
struct Sample {
    double seconds;
    double millivolts;
    framecodec::Frame bytes;
};

inline std::vector<Sample> detectorTrace(const std::vector<framecodec::Frame>& frames, std::int32_t model,
                                         double framesPerSecond)
{
    const AdcParameters adc;
    std::vector<Sample> trace;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto frame = framecodec::decodeFrame(frames[i], model, adc, true);
        if (frame.kind == DeviceFrame::sample)
            trace.push_back({static_cast<double>(i) / framesPerSecond, adc.millivolts(frame.value, adc.fullScale()),
                             frames[i]});
    }
    return trace;
}

template <typename Reduce>
double over(const std::vector<Sample>& trace, double from, double to, double start, Reduce reduce)
{
    double result = start;
    for (const auto& sample : trace)
        if (sample.seconds >= from && sample.seconds < to)
            result = reduce(result, sample.millivolts);
    return result;
}

inline double maximumIn(const std::vector<Sample>& trace, double from, double to)
{
    return over(trace, from, to, -1e300, [](double a, double b) { return std::max(a, b); });
}

inline double meanIn(const std::vector<Sample>& trace, double from, double to)
{
    const double count = over(trace, from, to, 0.0, [](double a, double) { return a + 1; });
    return over(trace, from, to, 0.0, [](double a, double b) { return a + b; }) / count;
}

} // namespace chromsimtest
