#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// Where the station keeps its settings and data: the folder asked for on the command line,
// else the executable's folder when it is writable and not an installed program's (one with
// share/nivra beside it, such as /usr/bin), else $XDG_DATA_HOME/nivra (~/.local/share/nivra).
// The folder is created when missing. Nothing when none can be had.
std::optional<std::filesystem::path> resolveProgramDirectory(
    const std::optional<std::filesystem::path>& requested);
// The same rule for an executable in the given folder.
std::optional<std::filesystem::path> resolveProgramDirectory(
    const std::optional<std::filesystem::path>& requested, const std::filesystem::path& executableFolder);

std::filesystem::path executableDirectory();

} // namespace platform
