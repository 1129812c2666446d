#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The name under which the station of one program folder can be reached by the launcher and by
// a second start: "TNivraMainForm", the user id, "-" and 16 hex digits of a hash of the folder's
// canonical path. Every spelling of a folder gives the same name; a try-out folder gets its own,
// so its station runs beside the operator's.
std::string instanceName(const std::filesystem::path& programDirectory);

// The lock that lets only one start at a time check for a running station and take the name:
// "<name>.lock" in $XDG_RUNTIME_DIR, else in /tmp.
std::filesystem::path instanceLockPath(const std::filesystem::path& programDirectory);

} // namespace platform
