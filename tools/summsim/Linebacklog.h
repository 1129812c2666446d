#pragma once

#include "platform/Filedescriptor.h"

#include <cstddef>
#include <string>

namespace summsim {

// What the station has not yet read from the pseudo-terminal. The terminal's own slave handle
// keeps the line alive while the station has the port closed, so unlike on a real line the
// bytes would wait there for its next open; this lets the simulator drop them.
class LineBacklog {
public:
    // Build it before the station first opens the slave: its exclusive claim would refuse this open.
    explicit LineBacklog(const std::string& slavePath);

    bool valid() const { return slave_.valid(); }
    std::size_t unread() const;
    void drop();

private:
    platform::FileDescriptor slave_;
};

} // namespace summsim
