#include "chromsim/Commandparser.h"

#include "device/Framecodec.h"

#include <algorithm>

namespace chromsim {
namespace {

constexpr std::size_t commandSize = 9;

} // namespace

std::optional<CommandParser::Command> CommandParser::feed(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    if (pending_.size() < commandSize)
        return std::nullopt;
    Command command{Command::Kind::badChecksum, {}};
    std::copy(pending_.end() - commandSize, pending_.end(), command.bytes.begin());
    if (framecodec::commandChecksumValid(command.bytes)) {
        pending_.clear();
        const bool summatorOnly = std::equal(framecodec::summatorOnlyPayload.begin(),
                                             framecodec::summatorOnlyPayload.end(), command.bytes.begin());
        command.kind = summatorOnly ? Command::Kind::summatorOnly : Command::Kind::programme;
        return command;
    }
    // Keep the tail: it may be the start of a command whose rest is still on its way.
    pending_.erase(pending_.begin(), pending_.end() - (commandSize - 1));
    return command;
}

} // namespace chromsim
