#include "device/Framecodec.h"

#include <numeric>

namespace framecodec {
namespace {

constexpr std::uint8_t syncBit = 0x80;
constexpr std::uint8_t summatorBit = 0x04;

std::int32_t signExtend(std::int32_t value, std::int32_t bits)
{
    if (bits <= 0 || bits > 30)
        return value;
    const std::int32_t mask = (1 << bits) - 1;
    value &= mask;
    if (value & (1 << (bits - 1)))
        value -= 1 << bits;
    return value;
}

std::uint8_t halfFor(std::int32_t model, std::uint8_t half)
{
    return model == modelLT4KS ? reverse7(half) : static_cast<std::uint8_t>(half & 0x7F);
}

} // namespace

Command makeCommand(const std::array<std::uint8_t, 8>& payload)
{
    Command command{};
    std::copy(payload.begin(), payload.end(), command.begin());
    const unsigned sum = std::accumulate(payload.begin(), payload.end(), 0u);
    command[8] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    return command;
}

bool commandChecksumValid(std::span<const std::uint8_t, 9> command)
{
    return std::accumulate(command.begin(), command.end(), 0u) % 256 == 0;
}

Command programmeCommand(const std::array<std::int32_t, 8>& programme)
{
    std::array<std::uint8_t, 8> payload{};
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<std::uint8_t>(programme[i] & 0xFF);
    return makeCommand(payload);
}

Command summatorOnlyCommand()
{
    return makeCommand(summatorOnlyPayload);
}

std::uint8_t reverse7(std::uint8_t bits)
{
    std::uint8_t reversed = 0;
    for (int i = 0; i < 7; ++i)
        if (bits & (1u << i))
            reversed |= static_cast<std::uint8_t>(1u << (6 - i));
    return reversed;
}

DeviceFrame decodeFrame(std::span<const std::uint8_t, 4> bytes, std::int32_t model, const AdcParameters& adc,
                        bool summatorInUse)
{
    DeviceFrame frame;
    if (model != modelLT4KS && model != modelTavir)
        return frame;
    const std::uint8_t high = halfFor(model, bytes[2]);
    const std::uint8_t low = halfFor(model, bytes[3]);
    const std::int32_t raw = (high << 7) + low;
    frame.counter = bytes[0] & 0x7F;
    if (model == modelTavir && (bytes[1] & summatorBit) && summatorInUse) {
        frame.kind = static_cast<std::uint8_t>(bytes[1] & 5);
        frame.value = raw;
        return frame;
    }
    frame.range = bytes[1] & 3;
    frame.adcCount = signExtend(raw, adc.bits);
    frame.value = adc.rangeFactor(frame.range) * frame.adcCount;
    return frame;
}

Frame encodeSample(std::int32_t model, std::uint8_t counter, std::int32_t range, std::int32_t count,
                   std::int32_t adcBits)
{
    const std::int32_t bits = adcBits > 0 && adcBits <= 14 ? adcBits : 14;
    const auto raw = static_cast<std::uint32_t>(count) & ((1u << bits) - 1);
    const auto high = static_cast<std::uint8_t>((raw >> 7) & 0x7F);
    const auto low = static_cast<std::uint8_t>(raw & 0x7F);
    return {static_cast<std::uint8_t>(syncBit | (counter & 0x7F)), static_cast<std::uint8_t>(range & 3),
            halfFor(model, high), halfFor(model, low)};
}

Frame encodeSummatorReading(std::uint8_t counter, bool highChannel, std::uint16_t count)
{
    return {static_cast<std::uint8_t>(syncBit | (counter & 0x7F)),
            static_cast<std::uint8_t>(summatorBit | (highChannel ? 1 : 0)),
            static_cast<std::uint8_t>((count >> 7) & 0x7F), static_cast<std::uint8_t>(count & 0x7F)};
}

} // namespace framecodec
