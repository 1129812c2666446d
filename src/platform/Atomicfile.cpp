#include "platform/Atomicfile.h"

#include "platform/Filedescriptor.h"
#include "platform/Filesteps.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Writing through a symbolic link must replace the file it points at, not the link.
std::filesystem::path resolvedTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto target = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents)
{
    const std::filesystem::path target = resolvedTarget(path);
    std::string temporaryName;
    FileDescriptor fd = createTemporaryFor(target, temporaryName);
    if (!fd.valid())
        return false;
    const bool written = ::fchmod(fd.get(), modeFor(target)) == 0
        && writeAll(fd.get(), contents.data(), contents.size()) && ::fsync(fd.get()) == 0;
    // Renamed while still open: the lock keeps other writers' clean-up away from the copy.
    if (!written || ::rename(temporaryName.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryName.c_str());
        return false;
    }
    fd.close();
    syncDirectory(directoryOf(target));
    return true;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::string contents;
    contents.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    return contents;
}

} // namespace platform
