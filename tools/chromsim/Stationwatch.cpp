#include "chromsim/Stationwatch.h"

#include <array>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace chromsim {

StationWatch::StationWatch(const std::string& slavePath)
    : slave_(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)),
      notify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    // Our own open above comes before the watch, so only the station's opens are counted.
    if (notify_.valid()
        && ::inotify_add_watch(notify_.get(), slavePath.c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0)
        notify_.close();
}

bool StationWatch::update()
{
    alignas(inotify_event) std::array<char, 4096> buffer{};
    bool letGo = false;
    for (;;) {
        const ssize_t got = ::read(notify_.get(), buffer.data(), buffer.size());
        if (got <= 0)
            return letGo;
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + offset);
            if (event->mask & IN_OPEN)
                ++opens_;
            if ((event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) && opens_ > 0 && --opens_ == 0)
                letGo = true;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

std::size_t StationWatch::unreadBytes() const
{
    int count = 0;
    if (!slave_.valid() || ::ioctl(slave_.get(), FIONREAD, &count) != 0)
        return 0;
    return static_cast<std::size_t>(count);
}

void StationWatch::resetLine()
{
    if (!slave_.valid())
        return;
    ::tcflush(slave_.get(), TCIFLUSH);
    ::ioctl(slave_.get(), TIOCNXCL);
}

} // namespace chromsim
