#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The client side of the total-gas query to the registration computer (TCP). One connection per
// query; nothing is kept between queries.
class TDataModule1 {
public:
    static constexpr std::uint16_t defaultPort = 8001;
    static constexpr std::chrono::milliseconds defaultTimeout {500};

    explicit TDataModule1(std::string host, std::uint16_t port = defaultPort,
                          std::chrono::milliseconds connectTimeout = defaultTimeout,
                          std::chrono::milliseconds readTimeout = defaultTimeout);

    // The registration computer's total gas, 0 on any failure. Blocks the caller: name resolution
    // as long as the resolver takes, then at most the connect time-out for all addresses together
    // and one read time-out for each of the three reads, however slowly the peer trickles.
    double queryTotalGas() const noexcept;

    const std::string& host() const { return host_; }

private:
    double exchange() const;

    std::string host_;
    std::uint16_t port_;
    std::chrono::milliseconds connectTimeout_;
    std::chrono::milliseconds readTimeout_;
};
