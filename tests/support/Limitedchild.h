#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

// Runs work in a forked child whose files may not grow beyond limit bytes, as on a disk that
// fills up, and returns the child's wait status. With killedByLimit the child dies in the middle
// of the write, as in a crash (no core file); otherwise the write fails and the child goes on to
// exit with what work returned.
inline int inLimitedChild(std::uintmax_t limit, bool killedByLimit, const std::function<int()>& work)
{
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("cannot fork");
    if (child == 0) {
        ::signal(SIGXFSZ, killedByLimit ? SIG_DFL : SIG_IGN);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit small{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        ::setrlimit(RLIMIT_FSIZE, &small);
        int code = 99;
        try {
            code = work();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        throw std::runtime_error("lost the child");
    return status;
}

} // namespace test
