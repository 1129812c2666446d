#include "chromsim/Chromsimulator.h"

#include "settings/Chromatographmodel.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iomanip>
#include <poll.h>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <unistd.h>

namespace chromsim {
namespace {

constexpr std::array<std::uint8_t, 2> okAnswer{'O', 'K'};
// Neither 'O' nor 'K' in it, so that the station cannot mistake it for the acknowledgement.
constexpr std::array<std::uint8_t, 5> otherAnswer{'E', 'R', 'R', '\r', '\n'};

constexpr int tickMs = 10;  // frames due sooner go out together with the next batch
constexpr std::uint64_t maxBatch = 8192;
constexpr int lingerPollMs = 50;
constexpr auto lingerLimit = std::chrono::seconds(5);

std::uint64_t chooseSeed(const SimOptions& options)
{
    if (options.seed)
        return *options.seed;
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::ostringstream text;
    for (const auto byte : bytes)
        text << (text.tellp() > 0 ? " " : "") << std::uppercase << std::hex << std::setw(2) << std::setfill('0')
             << static_cast<int>(byte);
    return text.str();
}

} // namespace

ChromSimulator::ChromSimulator(platform::PseudoTerminal& terminal, const SimOptions& options, std::ostream& log)
    : terminal_(terminal), options_(options), seed_(chooseSeed(options)), log_(log), watch_(terminal.slavePath())
{
}

bool ChromSimulator::run(int stopFd)
{
    logStart();
    while (!done_) {
        std::array<pollfd, 3> fds{{{stopFd, POLLIN, 0}, {terminal_.masterFd(), masterEvents(), 0},
                                   {watch_.fd(), POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), timeoutMs()) < 0) {
            if (errno == EINTR)
                continue;
            return fail("poll");
        }
        if (fds[0].revents != 0)
            return true;
        if ((fds[2].revents & POLLIN) && watch_.update())
            onStationLetGo();
        if ((fds[1].revents & POLLIN) && !readInput())
            return fail("read");
        if ((fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) && !(fds[1].revents & POLLIN))
            return fail("terminal");
        if (!pump())
            return fail("write");
    }
    return true;
}

void ChromSimulator::logStart()
{
    // The seed comes first in a bug report: with it the same cycles come again.
    log_ << "chromsim: model " << options_.model << (options_.model == modelTavir && options_.summator ? " with summator" : "")
         << ", " << options_.framesPerSecond() << " frames/s x " << options_.speed << ", cycle "
         << options_.lengthSeconds << " s, seed " << seed_
         << (options_.faults.any() ? ", faults: " + options_.faults.describe() : std::string()) << '\n';
    if (!watch_.watching())
        log_ << "chromsim: cannot watch " << terminal_.slavePath() << "; a closed port goes unnoticed\n";
}

short ChromSimulator::masterEvents() const
{
    return static_cast<short>(POLLIN | (written_ < pending_.size() ? POLLOUT : 0));
}

int ChromSimulator::timeoutMs() const
{
    if (state_ == State::lingering)
        return lingerPollMs;
    if (state_ == State::idle || written_ < pending_.size())
        return -1;  // a command, the station or room on the line wakes us
    const auto now = Clock::now();
    if (stream_->finished() || pacer_->due(now) > stream_->produced())
        return 0;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pacer_->when(stream_->produced() + 1) - now);
    return std::max(tickMs, static_cast<int>(std::min<std::int64_t>(wait.count(), 60000)));
}

bool ChromSimulator::readInput()
{
    std::array<std::uint8_t, 256> buffer{};
    for (;;) {
        const ssize_t got = ::read(terminal_.masterFd(), buffer.data(), buffer.size());
        if (got > 0) {
            if (const auto command = parser_.feed(std::span(buffer.data(), static_cast<std::size_t>(got))))
                onCommand(*command);
        } else if (got < 0 && errno == EAGAIN) {
            return true;
        } else if (got == 0 || errno != EINTR) {
            return false;
        }
    }
}

void ChromSimulator::onCommand(const CommandParser::Command& command)
{
    using Kind = CommandParser::Command::Kind;
    if (command.kind == Kind::badChecksum) {
        log_ << "chromsim: ignored, no command with a valid checksum: " << hex(command.bytes) << '\n';
    } else if (state_ == State::lingering) {
        log_ << "chromsim: ignored, the cycles asked for are over: " << hex(command.bytes) << '\n';
    } else if (command.kind == Kind::summatorOnly) {
        log_ << "chromsim: summator-only streaming\n";
        startStream(FrameStream::Mode::summatorOnly, seed_ + static_cast<std::uint64_t>(cycles_) + 0x5EED);
    } else {
        startCycle(command);
    }
}

void ChromSimulator::startCycle(const CommandParser::Command& command)
{
    ++cycles_;
    log_ << "chromsim: cycle " << cycles_ << ", programme";
    for (std::size_t i = 0; i < 8; ++i)
        log_ << ' ' << static_cast<int>(command.bytes[i]);
    log_ << '\n';
    dropStream();
    if (options_.faults.has(Fault::noAnswer)) {
        log_ << "chromsim: cycle " << cycles_ << " not answered (fault no-answer)\n";
        afterCycle();
        return;
    }
    startStream(FrameStream::Mode::cycle, seed_ + static_cast<std::uint64_t>(cycles_));
    if (options_.faults.has(Fault::otherAnswer))
        pending_.assign(otherAnswer.begin(), otherAnswer.end());
    else
        pending_.assign(okAnswer.begin(), okAnswer.end());
}

void ChromSimulator::startStream(FrameStream::Mode mode, std::uint64_t seed)
{
    dropStream();
    stream_.emplace(options_, mode, seed);
    pacer_.emplace(options_.framesPerSecond(), options_.speed, Clock::now());
    streamIsCycle_ = mode == FrameStream::Mode::cycle;
    state_ = State::streaming;
}

// Writes what is pending and adds what has fallen due; false when the terminal failed.
bool ChromSimulator::pump()
{
    if (state_ == State::lingering) {
        done_ = lingerOver();
        return true;
    }
    if (state_ != State::streaming)
        return true;
    if (!writePending())
        return false;
    if (written_ < pending_.size())
        return true;
    pending_.clear();
    written_ = 0;
    if (stream_->finished()) {
        endStream();
        return true;
    }
    const std::uint64_t due = std::min(pacer_->due(Clock::now()), stream_->produced() + maxBatch);
    stream_->produce(due, pending_);
    return writePending();
}

bool ChromSimulator::writePending()
{
    while (written_ < pending_.size()) {
        const ssize_t sent = ::write(terminal_.masterFd(), pending_.data() + written_, pending_.size() - written_);
        if (sent > 0)
            written_ += static_cast<std::size_t>(sent);
        else if (sent < 0 && errno == EAGAIN)
            return true;  // the station is behind; poll() says when there is room
        else if (sent == 0 || errno != EINTR)
            return false;
    }
    return true;
}

void ChromSimulator::endStream()
{
    log_ << "chromsim: cycle " << cycles_ << " sent " << stream_->produced() << " frames, "
         << (stream_->endsWithMarker() ? "then the end marker" : "then fell silent") << '\n';
    dropStream();
    afterCycle();
}

void ChromSimulator::dropStream()
{
    stream_.reset();
    pacer_.reset();
    pending_.clear();
    written_ = 0;
    state_ = State::idle;
}

void ChromSimulator::afterCycle()
{
    state_ = State::idle;
    if (!options_.cycles || cycles_ < *options_.cycles)
        return;
    // The last bytes must reach the station before the terminal goes away with them.
    state_ = State::lingering;
    lingerUntil_ = Clock::now() + lingerLimit;
    quietChecks_ = 0;
}

void ChromSimulator::onStationLetGo()
{
    watch_.resetLine();
    if (state_ != State::streaming)
        return;
    const bool wasCycle = streamIsCycle_;
    log_ << "chromsim: the station closed the port; "
         << (wasCycle ? "cycle " + std::to_string(cycles_) + " abandoned" : std::string("summator stream stopped"))
         << '\n';
    dropStream();
    if (wasCycle)
        afterCycle();
}

bool ChromSimulator::lingerOver()
{
    if ((watch_.watching() && !watch_.attached()) || Clock::now() >= lingerUntil_)
        return true;
    // Read once, the bytes could still be on their way into the station's queue: look twice.
    quietChecks_ = watch_.unreadBytes() == 0 ? quietChecks_ + 1 : 0;
    return quietChecks_ >= 2;
}

bool ChromSimulator::fail(const char* what)
{
    log_ << "chromsim: " << what << " failed: " << std::strerror(errno) << '\n';
    return false;
}

} // namespace chromsim
