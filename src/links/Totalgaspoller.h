#pragma once

#include "links/Datamodule.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Asks the registration computer for its total gas on a thread of its own, so that the user
// interface and the controller read the last value without waiting for the network.
//
// The poller starts inactive: nothing is queried until setActive(true). While active it queries
// at most once per interval (measured from the start of one query to the start of the next).
class TotalGasPoller {
public:
    struct Timing {
        std::chrono::milliseconds interval {1000};
        std::chrono::milliseconds connectTimeout = TDataModule1::defaultTimeout;
        std::chrono::milliseconds readTimeout = TDataModule1::defaultTimeout;
    };

    // Port 8001, one query a second, the standard time-outs.
    explicit TotalGasPoller(std::string host);
    TotalGasPoller(std::string host, std::uint16_t port, Timing timing);
    // Returns once a query in flight has ended, which its time-outs bound (name resolution aside).
    ~TotalGasPoller();
    TotalGasPoller(const TotalGasPoller&) = delete;
    TotalGasPoller& operator=(const TotalGasPoller&) = delete;

    // The result of the last query, 0 before the first one and after a failed one. Kept while
    // inactive. Never blocks.
    double value() const { return value_.load(); }

    // Used from the next query on.
    void setHost(std::string host);
    void setActive(bool active);

private:
    void run();
    // Empty when the poller is to stop.
    std::optional<std::string> waitForNextQuery(std::chrono::steady_clock::time_point notBefore);

    const std::uint16_t port_;
    const Timing timing_;
    std::atomic<double> value_ {0};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string host_;
    bool active_ = false;
    bool stopping_ = false;
    std::thread thread_; // last, so that it starts after everything it uses
};
