#include "device/Framecodec.h"
#include "device/Summatorframe.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

TEST(FrameCodec, CommandsCarryAChecksumThatZeroesTheSum)
{
    EXPECT_THAT(framecodec::programmeCommand({2, 23, 30, 35, 55, 70, 120, 0}),
                ElementsAre(0x02, 0x17, 0x1E, 0x23, 0x37, 0x46, 0x78, 0x00, 0xB1));
    EXPECT_THAT(framecodec::summatorOnlyCommand(), ElementsAre(0x53, 0x55, 0x4D, 0x4D, 0x01, 0x54, 0x4F, 0x52, 0xC8));
    EXPECT_THAT(framecodec::programmeCommand({0, 0, 0, 0, 0, 0, 0, 0}), ElementsAre(0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(framecodec::programmeCommand({300, -1, 0, 0, 0, 0, 0, 0})[0], 300 & 0xFF);  // low bytes only
    for (std::int32_t seed = 0; seed < 256; ++seed) {
        const auto command = framecodec::programmeCommand({seed, seed * 7, seed * 13, 255, 1, seed, 0, 99});
        EXPECT_TRUE(framecodec::commandChecksumValid(command)) << seed;
    }
}

struct DecodeCase {
    std::int32_t model;
    bool summatorInUse;
    framecodec::Frame bytes;
    DeviceFrame expected;
    const char* what;
};

TEST(FrameCodec, DecodesTheInstrumentsFrames)
{
    const AdcParameters adc;
    const DecodeCase cases[] = {
        {0, false, {0x80, 0x00, 0x01, 0x00}, {DeviceFrame::sample, 0, -8192.0, -8192, 0}, "reversed high half, sign extended"},
        {1, false, {0x85, 0x02, 0x3F, 0x7F}, {DeviceFrame::sample, 5, 819100.0, 8191, 2}, "plain halves on range 2"},
        {1, true, {0x81, 0x05, 0x10, 0x00}, {DeviceFrame::summatorHigh, 1, 2048.0, 0, 0}, "summator high channel"},
        {1, true, {0x81, 0x04, 0x7F, 0x7F}, {DeviceFrame::summatorLow, 1, 16383.0, 0, 0}, "summator low channel, unsigned"},
        {1, false, {0x81, 0x05, 0x10, 0x00}, {DeviceFrame::sample, 1, 20480.0, 2048, 1}, "summator not in use: a sample"},
        {0, false, {0xFF, 0x03, 0x7F, 0x7F}, {DeviceFrame::sample, 127, -1000.0, -1, 3}, "all ones is -1"},
        {7, true, {0x85, 0x02, 0x3F, 0x7F}, {}, "unknown model decodes to nothing"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(framecodec::decodeFrame(c.bytes, c.model, adc, c.summatorInUse), c.expected) << c.what;
}

TEST(FrameCodec, MillivoltsFromTheDefaultAdc)
{
    const AdcParameters adc;
    EXPECT_DOUBLE_EQ(adc.fullScale(), 16384000.0);
    EXPECT_NEAR(adc.millivolts(8191 * 1000.0, adc.fullScale()), 1249.85, 0.005);
    EXPECT_NEAR(adc.millivolts(8191.0, adc.fullScale()), 1.25, 0.005);
    EXPECT_NEAR(adc.millivolts(819100.0, adc.fullScale()), 124.98, 0.005);
}

TEST(FrameCodec, EncodingIsTheInverseOfDecoding)
{
    const AdcParameters adc;
    for (const std::int32_t model : {0, 1})
        for (const std::int32_t count : {-8192, -8191, -1, 0, 1, 64, 4095, 8191})
            for (std::int32_t range = 0; range < 4; ++range) {
                const auto bytes = framecodec::encodeSample(model, 77, range, count, 14);
                EXPECT_EQ(bytes[0], 0x80 | 77);
                for (int i = 1; i < 4; ++i)
                    EXPECT_EQ(bytes[static_cast<std::size_t>(i)] & 0x80, 0);  // only the first byte syncs
                const auto frame = framecodec::decodeFrame(bytes, model, adc, true);
                EXPECT_EQ(frame.adcCount, count);
                EXPECT_EQ(frame.range, range);
                EXPECT_EQ(frame.counter, 77);
            }
    for (const bool high : {false, true}) {
        const auto frame = framecodec::decodeFrame(framecodec::encodeSummatorReading(5, high, 3000), 1, adc, true);
        EXPECT_EQ(frame.kind, high ? DeviceFrame::summatorHigh : DeviceFrame::summatorLow);
        EXPECT_EQ(frame.value, 3000.0);
    }
    for (std::uint8_t b = 0; b < 128; ++b)
        EXPECT_EQ(framecodec::reverse7(framecodec::reverse7(b)), b);
}

TEST(SummatorFrame, ReadingTimesTenToTheExponentWhenTheBytesBalance)
{
    auto body = summatorframe::encode(9, 0, 8192);
    EXPECT_EQ(summatorframe::decode(body), 8192.0);
    EXPECT_NEAR(*summatorframe::decode(summatorframe::encode(0, -2, -1234)), -12.34, 1e-12);
    EXPECT_EQ(summatorframe::decode(summatorframe::encode(255, 3, 7)), 7000.0);
    body[5] ^= 0x01;  // one bit off: the sum no longer balances
    EXPECT_FALSE(summatorframe::decode(body));
}

} // namespace
