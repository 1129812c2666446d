#pragma once

#include "device/Adcparameters.h"
#include "device/Framesource.h"
#include "platform/Bytechannel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stop_token>

// Reads the chromatograph's four-byte frames from its port.
//
// A second without a readable byte is silence, whether the reads returned nothing or failed: a
// pulled USB adapter fails every read at once, and without this the reader would spin for ever.
class FrameReader : public FrameSource {
public:
    struct Timing {
        std::chrono::milliseconds silence{1000};
        std::chrono::milliseconds failurePause{20};  // between failed reads, so a dead port costs no CPU
        // Bytes without a sync bit in a row before the reader rests for failurePause: far more
        // than any frame gap or burst of line errors, so only a line of nothing but noise is
        // slowed, and that costs no CPU either.
        std::size_t noiseRun = 4096;
    };

    FrameReader(platform::ByteChannel& channel, std::int32_t model, AdcParameters adc, bool summatorInUse,
                Timing timing);
    FrameReader(platform::ByteChannel& channel, std::int32_t model, AdcParameters adc, bool summatorInUse)
        : FrameReader(channel, model, adc, summatorInUse, Timing{})
    {
    }

    LinkStatus next(DeviceFrame& frame) override;

    // A stream of bytes without a sync bit never ends by itself; this lets the owner stop it.
    void setStopToken(std::stop_token stop) { stop_ = std::move(stop); }

private:
    // Waits for a byte with the sync bit; false on silence.
    bool findSync(std::uint8_t& sync);

    platform::ByteChannel& channel_;
    std::int32_t model_;
    AdcParameters adc_;
    bool summatorInUse_;
    Timing timing_;
    std::stop_token stop_;
};
