#include "summsim/Linebacklog.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace summsim {

LineBacklog::LineBacklog(const std::string& slavePath)
    : slave_(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
}

std::size_t LineBacklog::unread() const
{
    int count = 0;
    if (!slave_.valid() || ::ioctl(slave_.get(), FIONREAD, &count) != 0)
        return 0;
    return static_cast<std::size_t>(count);
}

void LineBacklog::drop()
{
    if (slave_.valid())
        ::tcflush(slave_.get(), TCIFLUSH);
}

} // namespace summsim
