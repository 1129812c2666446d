#pragma once

#include "platform/Filedescriptor.h"
#include "reglisten/Inetsocket.h"
#include "reglisten/Messageprinter.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <poll.h>

namespace reglisten {

// The registration computer's end of the total-gas query: every connection sends its 5-byte
// request, gets one entry "сумм_газ2" with the current value, and is closed. Served from the
// owner's poll() loop; never blocks.
class TotalGasServer {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr auto requestWait = std::chrono::seconds(1);
    // Connections beyond this are closed at once, so a flood cannot use up the descriptors.
    static constexpr std::size_t openAtMost = 64;

    TotalGasServer(InetSocket listener, double value, double rampPerSecond, Clock::time_point start,
                   MessagePrinter& printer);

    double valueAt(Clock::time_point now) const;

    // The listener first, then every open connection.
    void appendPollEntries(std::vector<pollfd>& entries) const;
    // `entries` are those appended, as poll() returned them.
    void serve(std::span<const pollfd> entries, Clock::time_point now);
    // When the oldest connection without a full request is given up.
    std::optional<Clock::time_point> nextDeadline() const;

private:
    struct Connection {
        platform::FileDescriptor fd;
        std::string peer;
        std::string request;
        Clock::time_point deadline;
        bool done = false;
    };

    void acceptWaiting(Clock::time_point now);
    void readRequest(Connection& connection, Clock::time_point now);
    void answer(Connection& connection, Clock::time_point now);
    void dropOverdue(Clock::time_point now);
    void log(const Connection& connection, const std::string& text);

    InetSocket listener_;
    double value_;
    double ramp_;
    Clock::time_point start_;
    MessagePrinter& printer_;
    std::vector<Connection> connections_;
};

} // namespace reglisten
