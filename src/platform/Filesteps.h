#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>

// Small steps of writing files safely: the atomic replace, the results file, the channel list.
namespace platform {

// Writes every byte, going on after interruptions and short writes; false on an error.
bool writeAll(int fd, const char* bytes, std::size_t count);
bool writeAllAt(int fd, const char* bytes, std::size_t count, off_t offset);

// The folder a file lives in ("." for a bare name).
std::filesystem::path directoryOf(const std::filesystem::path& path);

// Makes a rename or a new file in the folder durable.
void syncDirectory(const std::filesystem::path& directory);

// The permission bits of an existing file, or 0644 for a new one.
mode_t modeFor(const std::filesystem::path& target);

} // namespace platform
