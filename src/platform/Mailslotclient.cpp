#include "platform/Mailslotclient.h"

#include "platform/Filedescriptor.h"
#include "platform/Mailslot.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// Errors after which no program holds the local mailslot (missing, or a file left by a crash).
constexpr std::array unreachableErrors {ENOENT, ECONNREFUSED, ENOTDIR, ENOTSOCK, EPROTOTYPE};

bool isUnreachable(int error)
{
    for (const int candidate : unreachableErrors)
        if (candidate == error)
            return true;
    return false;
}

} // namespace

MailslotClient::MailslotClient(std::string_view name, std::uint16_t fallbackPort)
    : path_(mailslotPath(name)), resolver_(fallbackPort)
{
}

void MailslotClient::setFallbackHost(std::string host)
{
    host_ = host;
    resolver_.setHost(std::move(host));
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

bool MailslotClient::sendDatagram(std::string_view bytes)
{
    const auto address = resolver_.address();
    if (!address)
        return false;
    const FileDescriptor socket(::socket(address->storage.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return false;
    const ssize_t sent = ::sendto(socket.get(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address->storage), address->length);
    return sent == static_cast<ssize_t>(bytes.size());
}

} // namespace platform
