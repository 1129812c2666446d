#pragma once

#include <cstdint>
#include <string_view>

namespace lib {

class IniFile;

// A window's placement as plain data: the restored rectangle even while the window is
// maximised or minimised, and its state. The window layer converts to and from its windows.
struct WindowPlacement {
    enum State : std::int32_t { normal = 0, minimised = 1, maximised = 2 };

    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t state = normal;

    bool operator==(const WindowPlacement&) const = default;
};

void saveWindowPlacement(const WindowPlacement& placement, std::string_view section, IniFile& ini);
// Each key absent keeps the placement's current value.
void loadWindowPlacement(WindowPlacement& placement, std::string_view section, const IniFile& ini);

} // namespace lib
