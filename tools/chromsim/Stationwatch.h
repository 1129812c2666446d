#pragma once

#include "platform/Filedescriptor.h"

#include <cstddef>
#include <string>

namespace chromsim {

// Notices the station opening and closing the pseudo-terminal's slave, and tidies up after it.
// The terminal's own slave handle keeps the line alive between the station's opens, so nothing
// in the kernel resets the line when the station lets go: bytes it left unread would greet its
// next open, and its exclusive claim would turn that open away (for anyone but root).
class StationWatch {
public:
    // Must be built before the station first opens the slave.
    explicit StationWatch(const std::string& slavePath);

    // Readable when the station opened or closed the port; −1 when the port cannot be watched.
    int fd() const { return notify_.get(); }
    bool watching() const { return notify_.valid(); }

    // Reads what happened; true when the station has let go of the port since the last call.
    bool update();
    bool attached() const { return opens_ > 0; }

    std::size_t unreadBytes() const;  // sent but not yet read by the station
    void resetLine();                 // drops the unread bytes and lifts the exclusive claim

private:
    platform::FileDescriptor slave_;
    platform::FileDescriptor notify_;
    int opens_ = 0;
};

} // namespace chromsim
