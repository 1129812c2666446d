#include "app/Stopsignals.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>

#include <cerrno>

namespace {

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

StopSignals::StopSignals()
{
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    descriptor_ = platform::FileDescriptor(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
}

StopSignals::~StopSignals()
{
    descriptor_.close();
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool StopSignals::wait(std::chrono::milliseconds timeout)
{
    pollfd entry{descriptor_.get(), POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    if (ready <= 0)
        return false;
    signalfd_siginfo info{};
    return ::read(descriptor_.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info);
}
