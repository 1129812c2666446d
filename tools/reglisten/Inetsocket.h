#pragma once

#include "platform/Filedescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

#include <netinet/in.h>

namespace reglisten {

// A non-blocking IPv4 socket bound to the wildcard address, or the reason there is none.
class InetSocket {
public:
    static InetSocket udp(std::uint16_t port);
    static InetSocket tcpListener(std::uint16_t port);

    bool valid() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    const std::string& errorText() const { return error_; }

    // "127.0.0.1:40000".
    static std::string describe(const sockaddr_in& address);

private:
    InetSocket() = default;
    static InetSocket bound(int type, std::uint16_t port, std::string_view protocol);

    platform::FileDescriptor fd_;
    std::string error_;
};

} // namespace reglisten
