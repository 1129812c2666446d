#pragma once

#include "platform/Mailslot.h"
#include "reglisten/Inetsocket.h"
#include "reglisten/Messageprinter.h"
#include "reglisten/Reglistenoptions.h"
#include "reglisten/Totalgasserver.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace reglisten {

// nivra-reglisten's work: the mailslot, the UDP socket and the total-gas server, all watched by
// one poll() loop on the calling thread.
class RegistrationListener {
public:
    using Clock = std::chrono::steady_clock;

    // Binds everything the options ask for; valid() tells whether all of it could be had.
    RegistrationListener(const ReglistenOptions& options, std::ostream& out);

    bool valid() const { return error_.empty(); }
    const std::string& errorText() const { return error_; }

    // Until `stopFd` turns readable, the count of messages is reached or the time is up.
    // False when waiting itself failed.
    bool run(int stopFd);

private:
    bool bindAll();
    void announce();
    void receiveMailslot();
    void receiveDatagrams();
    bool countReached() const { return options_.count && received_ >= *options_.count; }
    int pollTimeout(Clock::time_point now) const;

    ReglistenOptions options_;
    MessagePrinter printer_;
    Clock::time_point start_;
    std::optional<Clock::time_point> end_;
    std::unique_ptr<platform::Mailslot> mailslot_;
    std::optional<InetSocket> udp_;
    std::optional<TotalGasServer> totalGas_;
    std::int64_t received_ = 0;
    std::string error_;
};

} // namespace reglisten
