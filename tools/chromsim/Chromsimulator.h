#pragma once

#include "chromsim/Commandparser.h"
#include "chromsim/Framepacer.h"
#include "chromsim/Framestream.h"
#include "chromsim/Simoptions.h"
#include "chromsim/Stationwatch.h"
#include "testsupport/Pseudoterminal.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace chromsim {

// The simulated chromatograph on the instrument's end of a pseudo-terminal: waits for the
// station's command, answers it, and streams frames at the instrument's pace, cycle after cycle.
// Everything happens on the calling thread, in one poll() loop.
class ChromSimulator {
public:
    // Build it before the station first opens the terminal's slave. The log gets one line per event.
    ChromSimulator(platform::PseudoTerminal& terminal, const SimOptions& options, std::ostream& log);
    ChromSimulator(const ChromSimulator&) = delete;
    ChromSimulator& operator=(const ChromSimulator&) = delete;

    // Serves until stopFd turns readable or the cycles asked for are over; false when the
    // terminal failed.
    bool run(int stopFd);

private:
    enum class State { idle, streaming, lingering };
    using Clock = FramePacer::Clock;

    void logStart();
    short masterEvents() const;
    int timeoutMs() const;
    bool readInput();
    void onCommand(const CommandParser::Command& command);
    void startCycle(const CommandParser::Command& command);
    void startStream(FrameStream::Mode mode, std::uint64_t seed);
    bool pump();
    bool writePending();
    void endStream();
    void dropStream();
    void afterCycle();
    void onStationLetGo();
    bool lingerOver();
    bool fail(const char* what);

    platform::PseudoTerminal& terminal_;
    SimOptions options_;
    std::uint64_t seed_;
    std::ostream& log_;
    CommandParser parser_;
    StationWatch watch_;
    State state_ = State::idle;
    std::optional<FrameStream> stream_;
    std::optional<FramePacer> pacer_;
    bool streamIsCycle_ = false;
    std::vector<std::uint8_t> pending_;
    std::size_t written_ = 0;
    std::int32_t cycles_ = 0;
    Clock::time_point lingerUntil_{};
    int quietChecks_ = 0;
    bool done_ = false;
};

} // namespace chromsim
