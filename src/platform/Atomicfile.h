#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Replaces the file at path with contents so that a crash, a power cut or a failed write
// leaves either the old file or the new one, never a mixture or a stub: the contents go to a
// new file beside it, reach the disk, and are renamed over the old one. Such a copy that a
// crash left behind is removed by the next write of the same file.
// Returns false (old file untouched) when any step fails.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

// The whole contents of a regular file; nothing when it is missing, not a regular file or
// unreadable.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

} // namespace platform
