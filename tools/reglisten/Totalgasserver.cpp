#include "reglisten/Totalgasserver.h"

#include "links/Totalgasreply.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <sstream>

namespace reglisten {
namespace {

constexpr const char* totalGasName = "сумм_газ2";

std::string hexBytes(std::string_view bytes)
{
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!text.empty())
            text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

std::string formatValue(double value)
{
    std::ostringstream text;
    text.precision(15);
    text << value;
    return text.str();
}

} // namespace

TotalGasServer::TotalGasServer(InetSocket listener, double value, double rampPerSecond, Clock::time_point start,
                               MessagePrinter& printer)
    : listener_(std::move(listener)), value_(value), ramp_(rampPerSecond), start_(start), printer_(printer)
{
}

double TotalGasServer::valueAt(Clock::time_point now) const
{
    return value_ + ramp_ * std::chrono::duration<double>(now - start_).count();
}

void TotalGasServer::appendPollEntries(std::vector<pollfd>& entries) const
{
    entries.push_back({listener_.fd(), POLLIN, 0});
    for (const auto& connection : connections_)
        entries.push_back({connection.fd.get(), POLLIN, 0});
}

void TotalGasServer::serve(std::span<const pollfd> entries, Clock::time_point now)
{
    for (std::size_t i = 0; i < connections_.size() && i + 1 < entries.size(); ++i)
        if (entries[i + 1].revents != 0)
            readRequest(connections_[i], now);
    dropOverdue(now);
    std::erase_if(connections_, [](const Connection& connection) { return connection.done; });
    if (!entries.empty() && entries.front().revents != 0)
        acceptWaiting(now);
}

std::optional<TotalGasServer::Clock::time_point> TotalGasServer::nextDeadline() const
{
    std::optional<Clock::time_point> earliest;
    for (const auto& connection : connections_)
        if (!earliest || connection.deadline < *earliest)
            earliest = connection.deadline;
    return earliest;
}

void TotalGasServer::acceptWaiting(Clock::time_point now)
{
    while (true) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        platform::FileDescriptor fd(::accept4(listener_.fd(), reinterpret_cast<sockaddr*>(&address), &length,
                                              SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.valid()) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        Connection connection{std::move(fd), "tcp " + InetSocket::describe(address), {}, now + requestWait};
        if (connections_.size() >= openAtMost) {
            log(connection, "too many open queries; closed without a reply");
            continue;
        }
        connections_.push_back(std::move(connection));
    }
}

void TotalGasServer::readRequest(Connection& connection, Clock::time_point now)
{
    std::array<char, TotalGasReply::requestSize> buffer{};
    const std::size_t missing = TotalGasReply::requestSize - connection.request.size();
    const ssize_t count = ::recv(connection.fd.get(), buffer.data(), missing, MSG_DONTWAIT);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (count <= 0) {
        log(connection, "closed by the client after " + std::to_string(connection.request.size())
                            + " of 5 request bytes; no reply");
        connection.done = true;
        return;
    }
    connection.request.append(buffer.data(), static_cast<std::size_t>(count));
    if (connection.request.size() == TotalGasReply::requestSize)
        answer(connection, now);
}

void TotalGasServer::answer(Connection& connection, Clock::time_point now)
{
    const double value = valueAt(now);
    const std::string reply = TotalGasReply::encodeReply({{totalGasName, value}});
    const ssize_t sent = ::send(connection.fd.get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    std::string text = "total gas query";
    if (connection.request != TotalGasReply::request())
        text += " (unexpected request " + hexBytes(connection.request) + ")";
    text += sent == static_cast<ssize_t>(reply.size()) ? " answered: " : " NOT answered (send failed): ";
    log(connection, text + totalGasName + '=' + formatValue(value));
    connection.done = true;
}

void TotalGasServer::dropOverdue(Clock::time_point now)
{
    for (auto& connection : connections_)
        if (!connection.done && now >= connection.deadline) {
            log(connection, "no full request within 1 s (" + std::to_string(connection.request.size())
                                + " of 5 bytes); closed without a reply");
            connection.done = true;
        }
}

void TotalGasServer::log(const Connection& connection, const std::string& text)
{
    printer_.printEvent(std::chrono::system_clock::now(), connection.peer, text);
}

} // namespace reglisten
