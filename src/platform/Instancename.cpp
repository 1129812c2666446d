#include "platform/Instancename.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform {
namespace {

std::filesystem::path canonicalFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    auto absolute = std::filesystem::absolute(folder, error);
    if (error)
        absolute = folder;
    // Symbolic links resolved as far as the folder exists; "x/" and "x" are one folder.
    auto canonical = std::filesystem::weakly_canonical(absolute, error);
    if (error)
        canonical = absolute.lexically_normal();
    if (!canonical.has_filename() && canonical.has_relative_path())
        canonical = canonical.parent_path();
    return canonical;
}

std::uint64_t fnv1a64(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::filesystem::path runtimeDirectory()
{
    std::error_code error;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && std::filesystem::is_directory(runtime, error))
        return runtime;
    return "/tmp";
}

} // namespace

std::string instanceName(const std::filesystem::path& programDirectory)
{
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(fnv1a64(canonicalFolder(programDirectory).string())));
    return "TNivraMainForm" + std::to_string(::getuid()) + "-" + hash;
}

std::filesystem::path instanceLockPath(const std::filesystem::path& programDirectory)
{
    return runtimeDirectory() / (instanceName(programDirectory) + ".lock");
}

} // namespace platform
