// Bytes from the separate gas summator's port: every frame position of the stream, and the
// frame the simulator would build from the same fields.
#include "device/Summatorframe.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t at = 0; at + summatorframe::bodySize <= size; ++at) {
        const std::span<const std::uint8_t, summatorframe::bodySize> body(data + at, summatorframe::bodySize);
        if (const auto value = summatorframe::decode(body); value && !std::isfinite(*value))
            std::abort();
        const auto counter = body[0];
        const auto exponent = static_cast<std::int8_t>(body[1]);
        const auto reading = static_cast<std::int16_t>(body[2] | (body[3] << 8));
        const auto rebuilt = summatorframe::encode(counter, exponent, reading);
        const auto decoded = summatorframe::decode(rebuilt);
        if (!decoded || *decoded != reading * std::pow(10.0, exponent))
            std::abort();
    }
    return 0;
}
