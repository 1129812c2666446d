#include "testsupport/Memorychannel.h"

#include <algorithm>
#include <cstring>

namespace platform {

ReadResult MemoryChannel::read(std::span<std::uint8_t> buffer)
{
    if (nextFailure_ < failures_.size() && failures_[nextFailure_] <= position_) {
        ++nextFailure_;
        return {false, 0};
    }
    std::size_t limit = bytes_.size();
    if (nextFailure_ < failures_.size())
        limit = std::min(limit, failures_[nextFailure_]);
    const std::size_t count = std::min(buffer.size(), limit - position_);
    if (count > 0)
        std::memcpy(buffer.data(), bytes_.data() + position_, count);
    position_ += count;
    return {true, count};
}

bool MemoryChannel::write(std::span<const std::uint8_t> bytes)
{
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    return true;
}

} // namespace platform
