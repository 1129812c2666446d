#pragma once

#include "testsupport/Pseudoterminal.h"
#include "summsim/Framemaker.h"
#include "summsim/Linebacklog.h"
#include "summsim/Simoptions.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>

namespace summsim {

// The simulated gas summator on the instrument's end of a pseudo-terminal: sends its frames at a
// steady pace whether or not the station listens, like the instrument on a real line.
// Everything happens on the calling thread.
class SummSimulator {
public:
    // Build it before the station first opens the terminal's slave. The log gets one line per event.
    SummSimulator(platform::PseudoTerminal& terminal, const SimOptions& options, std::ostream& log);
    SummSimulator(const SummSimulator&) = delete;
    SummSimulator& operator=(const SummSimulator&) = delete;

    // Sends until stopFd turns readable or the frames or seconds asked for are over; false when
    // the terminal failed. A stopFd of −1 never stops it.
    bool run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;

    bool sendFrames(int stopFd);
    bool sendFrame(std::uint64_t number);
    bool sendGarbage(int stopFd);
    // True when stopFd turned readable first.
    bool stoppedBefore(Clock::time_point when, int stopFd);
    void linger(int stopFd);
    void logStart();
    void logEnd();
    bool fail(const char* what);

    platform::PseudoTerminal& terminal_;
    SimOptions options_;
    std::ostream& log_;
    FrameMaker maker_;
    LineBacklog backlog_;
    std::optional<Clock::time_point> end_;
    std::uint64_t sent_ = 0;
    std::uint64_t drops_ = 0;
};

} // namespace summsim
