#include "links/Datamodule.h"

#include "platform/Filedescriptor.h"
#include "links/Totalgasreply.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using platform::FileDescriptor;

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

// False when the deadline passes first or poll fails.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    pollfd waiting {fd, events, 0};
    for (;;) {
        const int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// Non-blocking, so that an unreachable address gives up at the deadline instead of the kernel's.
FileDescriptor connectTo(const addrinfo& address, Clock::time_point deadline)
{
    FileDescriptor socket(
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol));
    if (!socket.valid())
        return FileDescriptor();
    if (::connect(socket.get(), address.ai_addr, address.ai_addrlen) == 0)
        return socket;
    if (errno != EINPROGRESS && errno != EINTR)
        return FileDescriptor();
    if (!waitFor(socket.get(), POLLOUT, deadline))
        return FileDescriptor();
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
        return FileDescriptor();
    return socket;
}

// The connect time-out covers all addresses of the host together.
FileDescriptor connectTo(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return FileDescriptor();
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    const auto deadline = Clock::now() + timeout;
    for (const addrinfo* address = list.get(); address; address = address->ai_next) {
        FileDescriptor socket = connectTo(*address, deadline);
        if (socket.valid())
            return socket;
    }
    return FileDescriptor();
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0)
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        else if (sent == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Up to count bytes, whatever arrives before one time-out from now: the deadline holds for the
// read as a whole, so a peer sending byte by byte cannot stretch it.
std::string receive(int fd, std::size_t count, std::chrono::milliseconds timeout)
{
    std::string received(count, '\0');
    std::size_t filled = 0;
    const auto deadline = Clock::now() + timeout;
    while (filled < count && waitFor(fd, POLLIN, deadline)) {
        const ssize_t got = ::recv(fd, received.data() + filled, count - filled, 0);
        if (got > 0)
            filled += static_cast<std::size_t>(got);
        else if (got == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            break;
    }
    received.resize(filled);
    return received;
}

} // namespace

TDataModule1::TDataModule1(std::string host, std::uint16_t port, std::chrono::milliseconds connectTimeout,
                           std::chrono::milliseconds readTimeout)
    : host_(std::move(host)), port_(port), connectTimeout_(connectTimeout), readTimeout_(readTimeout)
{
}

double TDataModule1::queryTotalGas() const noexcept
{
    if (host_.empty())
        return 0;
    try {
        return exchange();
    } catch (...) {
        return 0;
    }
}

double TDataModule1::exchange() const
{
    const FileDescriptor socket = connectTo(host_, port_, connectTimeout_);
    if (!socket.valid() || !sendAll(socket.get(), TotalGasReply::request()))
        return 0;
    receive(socket.get(), 1, readTimeout_); // the header byte means nothing to the station
    const std::int32_t length =
        TotalGasReply::decodeLength(receive(socket.get(), TotalGasReply::lengthSize, readTimeout_));
    if (!TotalGasReply::bodyReadable(length))
        return 0;
    // A body cut short is walked only as far as it arrived, so a half-received value is never taken.
    return TotalGasReply::findTotalGas(receive(socket.get(), static_cast<std::size_t>(length), readTimeout_));
}
