#include "platform/Filesteps.h"

#include "platform/Filedescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool writeAll(int fd, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool writeAllAt(int fd, const char* bytes, std::size_t count, off_t offset)
{
    while (count > 0) {
        const ssize_t written = ::pwrite(fd, bytes, count, offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        offset += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

std::filesystem::path directoryOf(const std::filesystem::path& path)
{
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

void syncDirectory(const std::filesystem::path& directory)
{
    const FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

mode_t modeFor(const std::filesystem::path& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    return 0644;
}

} // namespace platform
