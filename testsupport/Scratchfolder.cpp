#include "testsupport/Scratchfolder.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace platform {

ScratchFolder::ScratchFolder(std::string_view prefix, const std::filesystem::path& parent)
{
    std::string pattern = (parent / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "cannot make a folder in " + parent.string());
    path_ = pattern;
}

std::filesystem::path ScratchFolder::inMemoryParent()
{
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace platform
