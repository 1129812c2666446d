#include "platform/Hostresolver.h"

#include <netdb.h>

#include <cstring>
#include <memory>

namespace platform {

namespace {

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

HostResolver::HostResolver(std::uint16_t port) : port_(port) {}

HostResolver::~HostResolver()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void HostResolver::setHost(std::string host)
{
    const auto numeric = host.empty() ? std::nullopt : lookUp(host, true);
    {
        std::lock_guard lock(mutex_);
        if (host == host_)
            return;
        host_ = std::move(host);
        ++generation_;
        address_ = numeric;
        if (!numeric && !host_.empty() && !thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

std::optional<HostResolver::Address> HostResolver::address() const
{
    std::lock_guard lock(mutex_);
    return address_;
}

std::optional<HostResolver::Address> HostResolver::lookUp(const std::string& host, bool numericOnly) const
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
    addrinfo* found = nullptr;
    const std::string port = std::to_string(port_);
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found)
        return std::nullopt;
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    const addrinfo* chosen = preferredAddress(list.get());
    Address address;
    std::memcpy(&address.storage, chosen->ai_addr, chosen->ai_addrlen);
    address.length = chosen->ai_addrlen;
    return address;
}

void HostResolver::run()
{
    std::unique_lock lock(mutex_);
    std::uint64_t done = 0;  // the generation last looked up
    while (!stopping_) {
        // A new host at once, the same one again after the refresh interval.
        if (done == generation_)
            wake_.wait_for(lock, refreshInterval, [&] { return stopping_ || done != generation_; });
        if (stopping_)
            return;
        const std::string host = host_;
        const std::uint64_t generation = generation_;
        lock.unlock();
        const auto found = host.empty() ? std::nullopt : lookUp(host, false);
        lock.lock();
        // A failed refresh keeps the last good address: the name server may only be away.
        if (generation == generation_ && found)
            address_ = found;
        done = generation;
    }
}

} // namespace platform
