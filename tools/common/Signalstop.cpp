#include "common/Signalstop.h"

#include <stdexcept>
#include <sys/signalfd.h>

namespace tools {
namespace {

sigset_t stopSignals()
{
    sigset_t set;
    ::sigemptyset(&set);
    ::sigaddset(&set, SIGINT);
    ::sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

SignalStop::SignalStop()
{
    const sigset_t set = stopSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
    fd_ = platform::FileDescriptor(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
    if (!fd_.valid()) {
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
        throw std::runtime_error("no signal descriptor");
    }
}

SignalStop::~SignalStop()
{
    // A stop signal still pending would kill the process when unblocked; it has been seen already.
    fd_.close();
    const sigset_t set = stopSignals();
    timespec none{};
    while (::sigtimedwait(&set, nullptr, &none) > 0) {
    }
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace tools
