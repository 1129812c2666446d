#pragma once

#include "platform/Filedescriptor.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>

namespace linktest {

using namespace std::chrono_literals;

using test::ChildProcess;

// A port no one holds right now, found by letting the system pick one.
inline std::uint16_t freePort(int type)
{
    const platform::FileDescriptor probe(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    if (::bind(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no free port");
    return ntohs(address.sin_port);
}

// Points the mailslots of this process and of the programs it starts at a fresh folder.
class MailslotFolderScope {
public:
    MailslotFolderScope()
    {
        if (const char* previous = std::getenv(variable))
            previous_ = previous;
        ::setenv(variable, (folder_ / "mailslots").c_str(), 1);
    }
    ~MailslotFolderScope()
    {
        if (previous_)
            ::setenv(variable, previous_->c_str(), 1);
        else
            ::unsetenv(variable);
    }
    MailslotFolderScope(const MailslotFolderScope&) = delete;
    MailslotFolderScope& operator=(const MailslotFolderScope&) = delete;

    std::filesystem::path mailslots() const { return folder_ / "mailslots"; }

private:
    static constexpr const char* variable = "NIVRA_MAILSLOT_DIR";
    test::TemporaryDirectory folder_;
    std::optional<std::string> previous_;
};

} // namespace linktest
