#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <sys/socket.h>

namespace platform {

// The address of a named host, looked up on a thread of its own and refreshed now and then, so
// that a sender never waits for a name server. A numeric address is taken at once.
class HostResolver {
public:
    struct Address {
        sockaddr_storage storage{};
        socklen_t length = 0;
    };

    static constexpr std::chrono::seconds refreshInterval{60};

    explicit HostResolver(std::uint16_t port);
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // Empty: no host. A name is looked up from now on; its old address is forgotten.
    void setHost(std::string host);
    // The last address found for the current host; never waits.
    std::optional<Address> address() const;

private:
    void run();
    std::optional<Address> lookUp(const std::string& host, bool numericOnly) const;

    const std::uint16_t port_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::string host_;
    std::uint64_t generation_ = 0;  // grows with every new host, so a late answer is not kept
    std::optional<Address> address_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform
