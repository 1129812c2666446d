#pragma once

#include "platform/Hostresolver.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The sending end of a mailslot. A message goes to the mailslot of this computer; when no
// program holds it, one UDP datagram carries the same bytes to the fallback host instead.
// Not synchronised: a caller that sends from several threads holds its own lock.
class MailslotClient {
public:
    enum class Delivery { local, datagram, none };

    static constexpr std::uint16_t defaultFallbackPort = 8001;

    explicit MailslotClient(std::string_view name, std::uint16_t fallbackPort = defaultFallbackPort);

    // Empty: no fallback, a message that finds no local mailslot is dropped. A name is looked
    // up in the background; until its address is known, such messages are dropped too.
    void setFallbackHost(std::string host);
    const std::string& fallbackHost() const { return host_; }

    // Never waits: a full mailslot drops the message, as a failed write would.
    Delivery send(std::string_view bytes);

    const std::filesystem::path& path() const { return path_; }

private:
    enum class LocalResult { sent, unreachable, failed };

    LocalResult sendLocal(std::string_view bytes) const;
    bool sendDatagram(std::string_view bytes);

    std::filesystem::path path_;
    std::string host_;
    // Senders run on the window's loop: a name server far away must not hold them up.
    HostResolver resolver_;
};

} // namespace platform
