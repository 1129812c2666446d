// Total-gas replies as any peer on the network may send them: the station must walk them without
// reading past the bytes it has, and a body must mean the same whether read alone or in a reply.
#include "links/Totalgasreply.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const double asBody = TotalGasReply::findTotalGas(bytes);
    (void)TotalGasReply::valueOfReply(bytes);
    if (size < static_cast<std::size_t>(TotalGasReply::lengthLimit)) {
        const std::string reply = TotalGasReply::encodeReply(static_cast<std::int32_t>(size), bytes);
        if (!sameBits(TotalGasReply::valueOfReply(reply), asBody))
            std::abort();
    }
    return 0;
}
