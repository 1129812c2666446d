#pragma once

#include "platform/Filedescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>

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

// A new file "." + name + ".XXXXXX" beside target, to be written and renamed over it; its name
// goes to temporaryName. The file stays locked while the descriptor is open, so copies that no
// writer holds were left by a crash: they are removed here first, so they never pile up.
// An invalid descriptor when the file cannot be made.
FileDescriptor createTemporaryFor(const std::filesystem::path& target, std::string& temporaryName);

} // namespace platform
