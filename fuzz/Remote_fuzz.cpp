// Remote-control messages as any local program may write them into the mailslot.
#include "links/Remotecontrol.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > RemoteControl::maximumMessageSize)
        return 0;
    const auto message = RemoteControl::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const bool sane = message.code >= RemoteControl::startCode && message.code <= RemoteControl::otherCode
                      && std::isfinite(message.depth) && (message.timePeriod == -1 || message.timePeriod > 0)
                      && message.modeValue >= 0 && message.modeValue <= 4;
    if (!sane)
        std::abort();
    return 0;
}
