#include "platform/Mailslotclient.h"

#include "platform/Filedescriptor.h"
#include "platform/Mailslot.h"

#include <netdb.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

namespace {

constexpr auto resolutionKeptFor = std::chrono::seconds(60);

// Errors after which no program holds the local mailslot (missing, or a file left by a crash).
constexpr std::array unreachableErrors {ENOENT, ECONNREFUSED, ENOTDIR, ENOTSOCK, EPROTOTYPE};

bool isUnreachable(int error)
{
    for (const int candidate : unreachableErrors)
        if (candidate == error)
            return true;
    return false;
}

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

// IPv4 first: a listener bound to the IPv4 wildcard does not see datagrams sent to ::1.
const addrinfo* preferredAddress(const addrinfo* list)
{
    for (const addrinfo* entry = list; entry; entry = entry->ai_next)
        if (entry->ai_family == AF_INET)
            return entry;
    return list;
}

} // namespace

MailslotClient::MailslotClient(std::string_view name, std::uint16_t fallbackPort)
    : path_(mailslotPath(name)), port_(fallbackPort)
{
}

void MailslotClient::setFallbackHost(std::string host)
{
    if (host == host_)
        return;
    host_ = std::move(host);
    address_.reset();
    resolvedAt_.reset();
}

MailslotClient::Delivery MailslotClient::send(std::string_view bytes)
{
    switch (sendLocal(bytes)) {
    case LocalResult::sent:
        return Delivery::local;
    case LocalResult::failed:
        return Delivery::none;
    case LocalResult::unreachable:
        break;
    }
    return sendDatagram(bytes) ? Delivery::datagram : Delivery::none;
}

MailslotClient::LocalResult MailslotClient::sendLocal(std::string_view bytes) const
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path_.native().size() >= sizeof address.sun_path)
        return LocalResult::unreachable;
    std::memcpy(address.sun_path, path_.c_str(), path_.native().size() + 1);
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return LocalResult::failed;
    const ssize_t sent = ::sendto(socket.get(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (sent == static_cast<ssize_t>(bytes.size()))
        return LocalResult::sent;
    return sent < 0 && isUnreachable(errno) ? LocalResult::unreachable : LocalResult::failed;
}

bool MailslotClient::resolveFallback()
{
    const auto now = std::chrono::steady_clock::now();
    if (resolvedAt_ && now - *resolvedAt_ < resolutionKeptFor)
        return address_.has_value();
    resolvedAt_ = now;
    address_.reset();
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(port_);
    if (::getaddrinfo(host_.c_str(), port.c_str(), &hints, &found) != 0 || !found)
        return false;
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    const addrinfo* chosen = preferredAddress(list.get());
    sockaddr_storage address {};
    std::memcpy(&address, chosen->ai_addr, chosen->ai_addrlen);
    address_ = address;
    addressLength_ = chosen->ai_addrlen;
    return true;
}

bool MailslotClient::sendDatagram(std::string_view bytes)
{
    if (host_.empty() || !resolveFallback())
        return false;
    const FileDescriptor socket(::socket(address_->ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return false;
    const ssize_t sent = ::sendto(socket.get(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&*address_), addressLength_);
    return sent == static_cast<ssize_t>(bytes.size());
}

} // namespace platform
