#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/socket.h>

namespace platform {

// The sending end of a mailslot. A message goes to the mailslot of this computer; when no
// program holds it, one UDP datagram carries the same bytes to the fallback host instead.
// Not synchronised: a caller that sends from several threads holds its own lock.
class MailslotClient {
public:
    enum class Delivery { local, datagram, none };

    static constexpr std::uint16_t defaultFallbackPort = 8001;

    explicit MailslotClient(std::string_view name, std::uint16_t fallbackPort = defaultFallbackPort);

    // Empty: no fallback, a message that finds no local mailslot is dropped.
    void setFallbackHost(std::string host);
    const std::string& fallbackHost() const { return host_; }

    // Never waits: a full mailslot drops the message, as a failed write would.
    Delivery send(std::string_view bytes);

    const std::filesystem::path& path() const { return path_; }

private:
    enum class LocalResult { sent, unreachable, failed };

    LocalResult sendLocal(std::string_view bytes) const;
    bool sendDatagram(std::string_view bytes);
    bool resolveFallback();

    std::filesystem::path path_;
    std::uint16_t port_;
    std::string host_;
    // The resolved fallback address is kept for a while, so a name the resolver has to look up
    // far away does not hold every message up.
    std::optional<sockaddr_storage> address_;
    socklen_t addressLength_ = 0;
    std::optional<std::chrono::steady_clock::time_point> resolvedAt_;
};

} // namespace platform
