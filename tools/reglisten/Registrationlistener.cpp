#include "reglisten/Registrationlistener.h"

#include <sys/socket.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

namespace reglisten {
namespace {

// Larger than any UDP payload.
constexpr std::size_t datagramBuffer = 65536;

std::string formatNumber(double value)
{
    std::ostringstream text;
    text.precision(15);
    text << value;
    return text.str();
}

} // namespace

RegistrationListener::RegistrationListener(const ReglistenOptions& options, std::ostream& out)
    : options_(options), printer_(out), start_(Clock::now())
{
    if (options_.seconds)
        end_ = start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*options_.seconds));
    if (!bindAll()) {
        totalGas_.reset();
        udp_.reset();
        mailslot_.reset();
    }
}

bool RegistrationListener::bindAll()
{
    mailslot_ = std::make_unique<platform::Mailslot>(options_.mailslot, ReglistenOptions::mailslotMaximumSize);
    if (!mailslot_->valid()) {
        error_ = mailslot_->errorText() + " (" + mailslot_->path().string() + ")";
        return false;
    }
    if (options_.udpPort != 0) {
        udp_ = InetSocket::udp(options_.udpPort);
        if (!udp_->valid()) {
            error_ = udp_->errorText() + " (--udp-port P picks another, 0 turns UDP off)";
            return false;
        }
    }
    if (options_.totalGas) {
        InetSocket listener = InetSocket::tcpListener(options_.totalGasPort());
        if (!listener.valid()) {
            error_ = listener.errorText() + " (--tcp-port P picks another)";
            return false;
        }
        totalGas_.emplace(std::move(listener), *options_.totalGas, options_.ramp, start_, printer_);
    }
    return true;
}

void RegistrationListener::announce()
{
    const auto now = std::chrono::system_clock::now();
    constexpr std::string_view self = "nivra-reglisten";
    printer_.printEvent(now, self,
                        "listening on mailslot \"" + options_.mailslot + "\" (" + mailslot_->path().string() + ")");
    if (udp_)
        printer_.printEvent(now, self, "listening on udp 0.0.0.0:" + std::to_string(options_.udpPort));
    if (totalGas_) {
        std::string text = "serving the total gas on tcp 0.0.0.0:" + std::to_string(options_.totalGasPort()) + ", "
            + formatNumber(*options_.totalGas);
        if (options_.ramp != 0)
            text += " plus " + formatNumber(options_.ramp) + " per second";
        printer_.printEvent(now, self, text);
    }
}

bool RegistrationListener::run(int stopFd)
{
    if (!valid())
        return false;
    announce();
    while (!countReached()) {
        std::vector<pollfd> entries{{stopFd, POLLIN, 0}, {mailslot_->descriptor(), POLLIN, 0}};
        if (udp_)
            entries.push_back({udp_->fd(), POLLIN, 0});
        const std::size_t firstTotalGas = entries.size();
        if (totalGas_)
            totalGas_->appendPollEntries(entries);
        if (::poll(entries.data(), entries.size(), pollTimeout(Clock::now())) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        const auto now = Clock::now();
        if (entries[0].revents != 0)
            break;
        if (entries[1].revents != 0)
            receiveMailslot();
        if (udp_ && entries[2].revents != 0)
            receiveDatagrams();
        if (totalGas_)
            totalGas_->serve(std::span(entries).subspan(firstTotalGas), now);
        if (end_ && now >= *end_)
            break;
    }
    return true;
}

int RegistrationListener::pollTimeout(Clock::time_point now) const
{
    std::optional<Clock::time_point> wake = end_;
    if (const auto deadline = totalGas_ ? totalGas_->nextDeadline() : std::nullopt)
        wake = wake ? std::min(*wake, *deadline) : *deadline;
    if (!wake)
        return -1;
    if (*wake <= now)
        return 0;
    // Rounded up, so the loop does not wake a little early and spin.
    return static_cast<int>(std::ceil(std::chrono::duration<double, std::milli>(*wake - now).count()));
}

void RegistrationListener::receiveMailslot()
{
    while (!countReached()) {
        const auto message = mailslot_->read();
        if (!message)
            return;
        ++received_;
        printer_.printMessage(std::chrono::system_clock::now(), "mailslot", *message);
    }
}

void RegistrationListener::receiveDatagrams()
{
    std::string buffer(datagramBuffer, '\0');
    while (!countReached()) {
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        const ssize_t size = ::recvfrom(udp_->fd(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&sender), &length);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        ++received_;
        printer_.printMessage(std::chrono::system_clock::now(), "udp " + InetSocket::describe(sender),
                              std::string_view(buffer.data(), static_cast<std::size_t>(size)));
    }
}

} // namespace reglisten
