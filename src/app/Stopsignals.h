#pragma once

#include "platform/Filedescriptor.h"

#include <chrono>

// SIGINT and SIGTERM as events the main loop waits for. Blocks both in the calling thread, so
// create it before any other thread: the threads started later inherit the mask and only the
// loop sees the signals.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Waits at most timeout; true when a stop signal arrived.
    bool wait(std::chrono::milliseconds timeout);
    // Readable when a signal is pending, for an event loop to watch.
    int descriptor() const { return descriptor_.get(); }

private:
    platform::FileDescriptor descriptor_;
};
