#include "summsim/Summsimulator.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <random>
#include <span>
#include <unistd.h>

namespace summsim {
namespace {

constexpr auto lingerLimit = std::chrono::seconds(1);
constexpr int lingerPollMs = 20;
constexpr auto writeLimit = std::chrono::seconds(1);

// −1 (no limit) when there is no deadline.
int millisecondsUntil(std::optional<std::chrono::steady_clock::time_point> deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60000));
}

std::chrono::steady_clock::duration after(double seconds)
{
    return std::chrono::ceil<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

// Random bytes with no "M" among them, so that they can never start a frame.
void fillWithGarbage(std::mt19937& random, std::span<std::uint8_t> bytes)
{
    std::uniform_int_distribution<int> draw(0, 254);
    for (auto& byte : bytes) {
        const int value = draw(random);
        byte = static_cast<std::uint8_t>(value >= 'M' ? value + 1 : value);
    }
}

} // namespace

SummSimulator::SummSimulator(platform::PseudoTerminal& terminal, const SimOptions& options, std::ostream& log)
    : terminal_(terminal), options_(options), log_(log), maker_(options), backlog_(terminal.slavePath())
{
}

bool SummSimulator::run(int stopFd)
{
    logStart();
    if (options_.seconds)
        end_ = Clock::now() + after(*options_.seconds);
    const bool ok = options_.garbage ? sendGarbage(stopFd) : sendFrames(stopFd);
    if (ok)
        logEnd();
    return ok;
}

bool SummSimulator::sendFrames(int stopFd)
{
    const auto start = Clock::now();
    for (std::uint64_t number = 1; !options_.frames || number <= *options_.frames; ++number) {
        const auto due = start + after(maker_.secondsOf(number));
        if (end_ && due >= *end_) {
            if (stoppedBefore(*end_, stopFd))
                return true;
            break;
        }
        if (stoppedBefore(due, stopFd))
            return true;
        if (!sendFrame(number))
            return fail("write");
    }
    linger(stopFd);
    return true;
}

bool SummSimulator::sendFrame(std::uint64_t number)
{
    // A whole frame still unread means the station is not listening (or not keeping up): on a
    // real line those bytes would be gone.
    if (backlog_.unread() >= FrameMaker::frameSize) {
        backlog_.drop();
        ++drops_;
    }
    if (!terminal_.write(maker_.frame(number), writeLimit))
        return false;
    ++sent_;
    return true;
}

bool SummSimulator::sendGarbage(int stopFd)
{
    std::mt19937 random(std::random_device{}());
    std::array<std::uint8_t, 256> chunk{};
    while (!end_ || Clock::now() < *end_) {
        std::array<pollfd, 2> fds{{{stopFd, POLLIN, 0}, {terminal_.masterFd(), POLLOUT, 0}}};
        if (::poll(fds.data(), fds.size(), millisecondsUntil(end_)) < 0) {
            if (errno == EINTR)
                continue;
            return fail("poll");
        }
        if (fds[0].revents != 0)
            return true;
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL))
            return fail("terminal");
        if (!(fds[1].revents & POLLOUT))
            continue;
        fillWithGarbage(random, chunk);
        const ssize_t written = ::write(terminal_.masterFd(), chunk.data(), chunk.size());
        if (written > 0)
            sent_ += static_cast<std::uint64_t>(written);
        else if (written < 0 && errno != EAGAIN && errno != EINTR)
            return fail("write");
    }
    return true;
}

bool SummSimulator::stoppedBefore(Clock::time_point when, int stopFd)
{
    for (;;) {
        pollfd waiting{stopFd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, millisecondsUntil(when));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready == 0 && Clock::now() >= when)  // long waits come in slices
            return false;
    }
}

// The last frames should reach the station before the terminal goes away with them.
void SummSimulator::linger(int stopFd)
{
    const auto until = Clock::now() + lingerLimit;
    while (backlog_.unread() > 0 && Clock::now() < until)
        if (stoppedBefore(Clock::now() + std::chrono::milliseconds(lingerPollMs), stopFd))
            return;
}

void SummSimulator::logStart()
{
    log_ << "summsim: ";
    if (options_.garbage) {
        log_ << "random bytes at full speed\n";
        return;
    }
    log_ << options_.rate << " frames/s, value " << options_.startValue();
    if (options_.percent)
        log_ << " (" << *options_.percent << " % at coeff " << options_.coeff << ')';
    if (options_.ramp)
        log_ << ", ramp " << *options_.ramp << "/s";
    if (options_.rampTo)
        log_ << " to " << *options_.rampTo;
    if (options_.badChecksumEvery)
        log_ << ", checksum spoilt every " << options_.badChecksumEvery << " frames";
    if (options_.shortEvery)
        log_ << ", cut short every " << options_.shortEvery << " frames";
    log_ << '\n';
    if (!backlog_.valid())
        log_ << "summsim: cannot see the line; unread frames wait for the station's next open\n";
}

void SummSimulator::logEnd()
{
    if (options_.garbage)
        log_ << "summsim: sent " << sent_ << " random bytes\n";
    else
        log_ << "summsim: sent " << sent_ << " frames; unread ones dropped " << drops_ << " times\n";
}

bool SummSimulator::fail(const char* what)
{
    log_ << "summsim: " << what << " failed: " << std::strerror(errno) << '\n';
    return false;
}

} // namespace summsim
