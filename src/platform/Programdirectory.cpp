#include "platform/Programdirectory.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {
namespace {

bool usableDirectory(const std::filesystem::path& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error) && ::access(directory.c_str(), W_OK) == 0;
}

std::optional<std::filesystem::path> userDataDirectory()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::filesystem::path(data) / "nivra";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::filesystem::path(home) / ".local" / "share" / "nivra";
    return std::nullopt;
}

// Installed, the program's folder is shared by every user and by other programs: never a
// station's data folder, even for a user who may write there.
bool installedProgramFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder.parent_path() / "share" / "nivra", error);
}

} // namespace

std::filesystem::path executableDirectory()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : executable.parent_path();
}

std::optional<std::filesystem::path> resolveProgramDirectory(
    const std::optional<std::filesystem::path>& requested)
{
    return resolveProgramDirectory(requested, executableDirectory());
}

std::optional<std::filesystem::path> resolveProgramDirectory(
    const std::optional<std::filesystem::path>& requested, const std::filesystem::path& executableFolder)
{
    std::error_code error;
    if (requested) {
        const auto directory = std::filesystem::absolute(*requested, error);
        if (!error && usableDirectory(directory))
            return directory.lexically_normal();
        return std::nullopt;
    }
    if (!installedProgramFolder(executableFolder) && usableDirectory(executableFolder))
        return executableFolder;
    if (const auto directory = userDataDirectory(); directory && usableDirectory(*directory))
        return directory;
    return std::nullopt;
}

} // namespace platform
