#include "testsupport/Pseudoterminal.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(left < 0 ? 0 : left);
}

} // namespace

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC))
{
    char name[256] = {};
    if (!master_.valid() || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0
        || ::ptsname_r(master_.get(), name, sizeof name) != 0)
        throw std::runtime_error("no pseudo-terminal available");
    slavePath_ = name;
    slaveKeeper_ = FileDescriptor(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios attributes{};
    if (!slaveKeeper_.valid() || ::tcgetattr(slaveKeeper_.get(), &attributes) != 0)
        throw std::runtime_error("pseudo-terminal slave cannot be opened");
    ::cfmakeraw(&attributes);
    ::tcsetattr(slaveKeeper_.get(), TCSANOW, &attributes);
    ::fcntl(master_.get(), F_SETFL, ::fcntl(master_.get(), F_GETFL) | O_NONBLOCK);
}

bool PseudoTerminal::write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout)
{
    std::size_t done = 0;
    const auto deadline = Clock::now() + timeout;
    while (master_.valid() && done < bytes.size()) {
        const ssize_t written = ::write(master_.get(), bytes.data() + done, bytes.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (errno == EAGAIN) {
            // The station is not reading: wait for room, but not for ever.
            pollfd waiting{master_.get(), POLLOUT, 0};
            if (::poll(&waiting, 1, millisecondsUntil(deadline)) <= 0)
                return false;
        } else if (errno != EINTR) {
            return false;
        }
    }
    return done == bytes.size();
}

std::vector<std::uint8_t> PseudoTerminal::read(std::size_t maximum, std::chrono::milliseconds timeout)
{
    std::vector<std::uint8_t> bytes(maximum);
    pollfd waiting{master_.get(), POLLIN, 0};
    if (!master_.valid() || ::poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0)
        return {};
    const ssize_t got = ::read(master_.get(), bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

std::vector<std::uint8_t> PseudoTerminal::readExactly(std::size_t count, std::chrono::milliseconds timeout)
{
    std::vector<std::uint8_t> bytes;
    const auto deadline = Clock::now() + timeout;
    while (bytes.size() < count) {
        const int left = millisecondsUntil(deadline);
        const auto chunk = read(count - bytes.size(), std::chrono::milliseconds(left));
        if (chunk.empty() && left == 0)
            break;
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

} // namespace platform
