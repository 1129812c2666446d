#include "reglisten/Inetsocket.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace reglisten {
namespace {

constexpr int listenBacklog = 16;

std::string failure(std::string_view protocol, std::uint16_t port, int error)
{
    const std::string what = std::string(protocol) + " port " + std::to_string(port);
    if (error == EADDRINUSE)
        return what + " is taken by another program";
    return what + " cannot be bound: " + std::strerror(error);
}

} // namespace

InetSocket InetSocket::bound(int type, std::uint16_t port, std::string_view protocol)
{
    InetSocket socket;
    socket.fd_ = platform::FileDescriptor(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.fd_.valid()) {
        socket.error_ = "no " + std::string(protocol) + " socket: " + std::strerror(errno);
        return socket;
    }
    if (type == SOCK_STREAM) {
        // A restart must not wait for the connections of the last run to time out; a port that
        // another program listens on is still refused.
        const int on = 1;
        ::setsockopt(socket.fd_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    const bool ready = ::bind(socket.fd_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
        && (type != SOCK_STREAM || ::listen(socket.fd_.get(), listenBacklog) == 0);
    if (!ready) {
        socket.error_ = failure(protocol, port, errno);
        socket.fd_.close();
    }
    return socket;
}

InetSocket InetSocket::udp(std::uint16_t port) { return bound(SOCK_DGRAM, port, "UDP"); }

InetSocket InetSocket::tcpListener(std::uint16_t port) { return bound(SOCK_STREAM, port, "TCP"); }

std::string InetSocket::describe(const sockaddr_in& address)
{
    std::array<char, INET_ADDRSTRLEN> text{};
    ::inet_ntop(AF_INET, &address.sin_addr, text.data(), text.size());
    return std::string(text.data()) + ':' + std::to_string(ntohs(address.sin_port));
}

} // namespace reglisten
