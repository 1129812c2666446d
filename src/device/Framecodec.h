#pragma once

#include "device/Adcparameters.h"
#include "device/Deviceframe.h"
#include "settings/Chromatographmodel.h"

#include <array>
#include <cstdint>
#include <span>

// The bytes exchanged with the chromatograph: nine-byte commands and four-byte data frames.
namespace framecodec {

using Command = std::array<std::uint8_t, 9>;
using Frame = std::array<std::uint8_t, 4>;

constexpr Frame endMarker{0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 8> summatorOnlyPayload{0x53, 0x55, 0x4D, 0x4D, 0x01, 0x54, 0x4F, 0x52};

// Eight payload bytes and a ninth that makes all nine sum to 0 modulo 256.
Command makeCommand(const std::array<std::uint8_t, 8>& payload);
bool commandChecksumValid(std::span<const std::uint8_t, 9> command);
// The low byte of each of the eight programme values.
Command programmeCommand(const std::array<std::int32_t, 8>& programme);
Command summatorOnlyCommand();

std::uint8_t reverse7(std::uint8_t bits);

// bytes[0] carries the sync bit. Unknown models decode to an empty sample.
DeviceFrame decodeFrame(std::span<const std::uint8_t, 4> bytes, std::int32_t model, const AdcParameters& adc,
                        bool summatorInUse);

// The instrument's side, for the simulator and tests: a sample of count (in adcBits two's
// complement) on range, and a model-1 summator reading.
Frame encodeSample(std::int32_t model, std::uint8_t counter, std::int32_t range, std::int32_t count,
                   std::int32_t adcBits);
Frame encodeSummatorReading(std::uint8_t counter, bool highChannel, std::uint16_t count);

} // namespace framecodec
