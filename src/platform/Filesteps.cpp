#include "platform/Filesteps.h"

#include "platform/Filedescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::string_view uniquePart = "XXXXXX";

// A copy that a writer holds is locked; one that can be locked was abandoned.
void removeAbandonedCopies(const std::filesystem::path& directory, const std::string& prefix)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + uniquePart.size() || !name.starts_with(prefix))
            continue;
        const FileDescriptor copy(::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (copy.valid() && ::flock(copy.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(entry.path().c_str());
    }
}

// Another writer's clean-up may have removed the copy between its creation and the lock.
bool stillNamed(int fd, const std::string& name)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}

} // namespace

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

FileDescriptor createTemporaryFor(const std::filesystem::path& target, std::string& temporaryName)
{
    const std::filesystem::path directory = directoryOf(target);
    const std::string prefix = "." + target.filename().string() + ".";
    removeAbandonedCopies(directory, prefix);
    for (int attempt = 0; attempt < 3; ++attempt) {
        temporaryName = (directory / (prefix + std::string(uniquePart))).string();
        FileDescriptor fd(::mkostemp(temporaryName.data(), O_CLOEXEC));
        // Where the file system has no locks the copy is simply not protected.
        if (!fd.valid() || ::flock(fd.get(), LOCK_EX) != 0 || stillNamed(fd.get(), temporaryName))
            return fd;
    }
    return FileDescriptor();
}

mode_t modeFor(const std::filesystem::path& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    return 0644;
}

} // namespace platform
