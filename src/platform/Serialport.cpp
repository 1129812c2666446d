#include "platform/Serialport.h"

#include "library/Strworks.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

struct SpeedCode {
    int baud;
    speed_t code;
};

constexpr std::array<SpeedCode, 19> speeds{{{50, B50}, {75, B75}, {110, B110}, {134, B134}, {150, B150},
    {200, B200}, {300, B300}, {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400}, {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
    {230400, B230400}, {460800, B460800}}};

struct ParityFlags {
    char letter;
    tcflag_t set;
};

constexpr std::array<ParityFlags, 5> parities{{
    {'n', 0},
    {'o', PARENB | PARODD},
    {'e', PARENB},
    {'m', PARENB | CMSPAR | PARODD},
    {'s', PARENB | CMSPAR},
}};

struct StopBits {
    std::string_view text;
    tcflag_t set;
};

constexpr std::array<StopBits, 3> stopBits{{{"1", 0}, {"1.5", CSTOPB}, {"2", CSTOPB}}};

struct DataBits {
    int bits;
    tcflag_t set;
};

constexpr std::array<DataBits, 4> dataBits{{{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}}};

std::optional<int> number(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <typename Table, typename Match>
auto findIn(const Table& table, Match match) -> const typename Table::value_type*
{
    const auto found = std::find_if(table.begin(), table.end(), match);
    return found == table.end() ? nullptr : &*found;
}

struct LineMode {
    speed_t speed;
    tcflag_t flags;
};

std::optional<LineMode> parseMode(std::string_view mode)
{
    const std::string fields[4] = {lib::getField(mode, 0, ','), lib::getField(mode, 1, ','),
                                   lib::getField(mode, 2, ','), lib::getField(mode, 3, ',')};
    const auto baud = number(fields[0]);
    const auto bits = number(fields[2]);
    if (!baud || !bits || fields[1].size() != 1)
        return std::nullopt;
    const auto* speed = findIn(speeds, [&](const SpeedCode& s) { return s.baud == *baud; });
    const auto* parity = findIn(parities, [&](const ParityFlags& p) { return p.letter == fields[1][0]; });
    const auto* data = findIn(dataBits, [&](const DataBits& d) { return d.bits == *bits; });
    const auto* stop = findIn(stopBits, [&](const StopBits& s) { return s.text == fields[3]; });
    if (!speed || !parity || !data || !stop)
        return std::nullopt;
    return LineMode{speed->code, parity->set | data->set | stop->set};
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

} // namespace

std::string SerialPort::devicePath(std::string_view name)
{
    const std::string_view trimmed = lib::trim(name);
    if (trimmed.size() > 3 && (trimmed.substr(0, 3) == "COM" || trimmed.substr(0, 3) == "com")) {
        if (const auto n = number(trimmed.substr(3)); n && *n >= 1)
            return "/dev/ttyS" + std::to_string(*n - 1);
    }
    return std::string(trimmed);
}

bool SerialPort::open(std::string_view name)
{
    close();
    const std::string path = devicePath(name);
    if (path.empty())
        return false;
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    termios attributes{};
    if (!fd.valid() || ::tcgetattr(fd.get(), &attributes) != 0)
        return false;  // missing, busy, or no terminal at all
    if (::ioctl(fd.get(), TIOCEXCL) != 0)
        return false;
    fd_ = std::move(fd);
    return true;
}

void SerialPort::close()
{
    if (isOpen())
        ::ioctl(fd_.get(), TIOCNXCL);
    fd_.close();
    pendingBegin_ = pendingEnd_ = 0;
}

namespace {

constexpr std::array<const char*, 5> parityLetters{"n", "o", "e", "m", "s"};
constexpr std::array<const char*, 3> stopBitTexts{"1", "1.5", "2"};

template <typename Table>
const char* entry(const Table& table, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < table.size() ? table[static_cast<std::size_t>(index)] : "";
}

} // namespace

std::string SerialPort::modeString(std::int32_t speed, std::int32_t parityIndex, std::int32_t stopBitsIndex)
{
    return std::to_string(speed) + "," + entry(parityLetters, parityIndex) + ",8," + entry(stopBitTexts, stopBitsIndex);
}

bool SerialPort::configure(std::string_view mode)
{
    const auto line = parseMode(mode);
    termios attributes{};
    if (!line || !isOpen() || ::tcgetattr(fd_.get(), &attributes) != 0)
        return false;
    ::cfmakeraw(&attributes);
    attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    attributes.c_cflag |= line->flags | CLOCAL | CREAD;
    attributes.c_iflag &= ~(IXON | IXOFF | IXANY);
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 0;
    if (::cfsetispeed(&attributes, line->speed) != 0 || ::cfsetospeed(&attributes, line->speed) != 0)
        return false;
    return ::tcsetattr(fd_.get(), TCSANOW, &attributes) == 0;
}

void SerialPort::setTimeouts(std::chrono::milliseconds interval, std::chrono::milliseconds total)
{
    interval_ = interval;
    total_ = total;
}

void SerialPort::raiseRts()
{
    int lines = TIOCM_RTS;
    if (isOpen())
        ::ioctl(fd_.get(), TIOCMBIS, &lines);
}

void SerialPort::discardInput()
{
    pendingBegin_ = pendingEnd_ = 0;
    if (isOpen())
        ::tcflush(fd_.get(), TCIFLUSH);
}

std::size_t SerialPort::takePending(std::span<std::uint8_t> buffer)
{
    const std::size_t count = std::min(buffer.size(), pendingEnd_ - pendingBegin_);
    std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(pendingBegin_), count, buffer.begin());
    pendingBegin_ += count;
    return count;
}

ReadResult SerialPort::read(std::span<std::uint8_t> buffer)
{
    ReadResult result;
    if (!isOpen())
        return {false, 0};
    result.count = takePending(buffer);
    const auto start = Clock::now();
    const auto totalDeadline = start + total_;
    auto deadline = totalDeadline;
    while (result.count < buffer.size()) {
        pollfd waiting{fd_.get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (waiting.revents & (POLLERR | POLLNVAL)))
            return {false, result.count};
        if (ready == 0)
            return result;  // time-out
        const ssize_t got = ::read(fd_.get(), pending_.data(), pending_.size());
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return {false, result.count};  // EIO: the device went away
        }
        if (got == 0)
            return {false, result.count};  // hang-up
        pendingBegin_ = 0;
        pendingEnd_ = static_cast<std::size_t>(got);
        result.count += takePending(buffer.subspan(result.count));
        // After a byte, the gap to the next one is bounded too.
        deadline = std::min(totalDeadline, Clock::now() + interval_);
    }
    return result;
}

bool SerialPort::write(std::span<const std::uint8_t> bytes)
{
    if (!isOpen())
        return false;
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return false;
        pollfd waiting{fd_.get(), POLLOUT, 0};
        if (::poll(&waiting, 1, millisecondsUntil(deadline)) <= 0)
            return false;
    }
    ::tcdrain(fd_.get());
    return true;
}

void SerialPort::clearError()
{
    // Linux keeps no sticky error state on a terminal; a failed read is over when it returns.
}

} // namespace platform
