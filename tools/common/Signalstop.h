#pragma once

#include "platform/Filedescriptor.h"

#include <signal.h>

namespace tools {

// Turns SIGINT and SIGTERM into a readable descriptor, so the program's poll() loop ends on them
// like on any other event. Blocks both signals while it lives; build it before other threads start.
class SignalStop {
public:
    SignalStop();  // throws std::runtime_error when the descriptor cannot be made
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    int fd() const { return fd_.get(); }

private:
    sigset_t previous_{};
    platform::FileDescriptor fd_;
};

} // namespace tools
