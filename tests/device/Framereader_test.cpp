#include "device/Framecodec.h"
#include "device/Framereader.h"
#include "testsupport/Memorychannel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stop_token>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    LinkStatus status;
    DeviceFrame frame;
};

std::vector<Outcome> readAll(platform::MemoryChannel& channel, std::int32_t model = 1,
                             FrameReader::Timing timing = {std::chrono::milliseconds(200), std::chrono::milliseconds(2)})
{
    FrameReader reader(channel, model, AdcParameters{}, false, timing);
    std::vector<Outcome> outcomes;
    for (;;) {
        Outcome outcome{statusOk, {}};
        outcome.status = reader.next(outcome.frame);
        outcomes.push_back(outcome);
        if (outcome.status == statusNoAnswer || outcome.status == statusEndOfCycle)
            return outcomes;
    }
}

std::vector<LinkStatus> statuses(const std::vector<Outcome>& outcomes)
{
    std::vector<LinkStatus> result;
    for (const auto& o : outcomes)
        result.push_back(o.status);
    return result;
}

TEST(FrameReader, SkipsToTheSyncByteAndStopsAtTheEndMarker)
{
    platform::MemoryChannel channel(Bytes{0x01, 0x7F, 0x85, 0x02, 0x3F, 0x7F,  // noise, then a frame
                                          0xFF, 0x01, 0x02, 0x03,              // a lone FF is an ordinary frame
                                          0x86, 0x00, 0x80, 0x00,              // bit 7 inside: decoded all the same
                                          0xFF, 0xFF, 0xFF, 0xFF,              // end of cycle
                                          0x87, 0x00, 0x00, 0x01});
    const auto outcomes = readAll(channel);
    ASSERT_EQ(statuses(outcomes), (std::vector<LinkStatus>{statusOk, statusOk, statusOk, statusEndOfCycle}));
    EXPECT_EQ(outcomes[0].frame.adcCount, 8191);
    EXPECT_EQ(outcomes[1].frame.counter, 0x7F);
    EXPECT_EQ(outcomes[1].frame.range, 1);
    EXPECT_EQ(outcomes[2].frame.adcCount, 0);  // high half 0x80 & 0x7F
    EXPECT_EQ(channel.position(), 18u);         // nothing read past the marker
}

TEST(FrameReader, ShortFrameIsDroppedAndSilenceEndsTheCycle)
{
    platform::MemoryChannel channel(Bytes{0x81, 0x00, 0x01, 0x02, 0x83, 0x00});
    EXPECT_EQ(statuses(readAll(channel)), (std::vector<LinkStatus>{statusOk, statusShortFrame, statusNoAnswer}));

    platform::MemoryChannel empty;
    EXPECT_EQ(statuses(readAll(empty)), (std::vector<LinkStatus>{statusNoAnswer}));
}

TEST(FrameReader, FailedReadsAreClearedAndReadingGoesOn)
{
    platform::MemoryChannel channel(Bytes{0x81, 0x00, 0x00, 0x05, 0x82, 0x00, 0x00, 0x06});
    channel.failAt(0);
    channel.failAt(0);
    channel.failAt(4);
    const auto outcomes = readAll(channel);
    EXPECT_EQ(statuses(outcomes), (std::vector<LinkStatus>{statusOk, statusOk, statusNoAnswer}));
    EXPECT_EQ(channel.clears(), 3);
}

TEST(FrameReader, PortThatOnlyFailsIsSilenceWithoutSpinning)
{
    // A pulled adapter: every read fails at once, for ever.
    struct DeadPort : platform::ByteChannel {
        int reads = 0;
        platform::ReadResult read(std::span<std::uint8_t>) override
        {
            ++reads;
            return {false, 0};
        }
        bool write(std::span<const std::uint8_t>) override { return false; }
        void clearError() override {}
    } port;
    FrameReader reader(port, 0, AdcParameters{}, false, {std::chrono::milliseconds(200), std::chrono::milliseconds(20)});
    DeviceFrame frame;
    EXPECT_EQ(reader.next(frame), statusNoAnswer);
    EXPECT_LE(port.reads, 12);  // paced by the pause, not as fast as the CPU allows
    EXPECT_GE(port.reads, 2);
}

TEST(FrameReader, EndlessNoiseIsReadAtARestfulPaceUntilStopped)
{
    // Bytes without a sync bit for ever, as fast as the reader asks: a line that never falls
    // silent, so only the owner's stop ends the wait.
    struct NoisePort : platform::ByteChannel {
        std::atomic<long> reads{0};
        platform::ReadResult read(std::span<std::uint8_t> buffer) override
        {
            ++reads;
            std::fill(buffer.begin(), buffer.end(), std::uint8_t{0x55});
            return {true, buffer.size()};
        }
        bool write(std::span<const std::uint8_t>) override { return true; }
        void clearError() override {}
    } port;
    const FrameReader::Timing timing{std::chrono::milliseconds(200), std::chrono::milliseconds(20), 1000};
    FrameReader reader(port, 0, AdcParameters{}, false, timing);
    std::stop_source stop;
    reader.setStopToken(stop.get_token());
    LinkStatus status = statusOk;
    const auto started = std::chrono::steady_clock::now();
    std::thread reading([&] {
        DeviceFrame frame;
        status = reader.next(frame);
    });
    // Past three rests, however late the thread runs.
    const auto deadline = started + std::chrono::seconds(30);
    while (port.reads.load() <= 3 * 1000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop.request_stop();
    reading.join();
    const auto passed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(status, statusNoAnswer);
    EXPECT_GT(port.reads.load(), 3 * 1000) << "noise is read, not refused";
    // A rest of 20 ms after every 1000 bytes; at twice that pace still far from the millions of
    // a busy loop.
    EXPECT_LE(port.reads.load(), 1000 * (passed / std::chrono::milliseconds(10) + 1));
}

} // namespace
