#include "settings/Inistorage.h"

#include "settings/Inifile.h"

#include <array>
#include <utility>

namespace lib {
namespace {

using Field = std::int32_t WindowPlacement::*;

constexpr std::array<std::pair<const char*, Field>, 5> placementKeys{{
    {"top", &WindowPlacement::top},
    {"left", &WindowPlacement::left},
    {"width", &WindowPlacement::width},
    {"height", &WindowPlacement::height},
    {"state", &WindowPlacement::state},
}};

} // namespace

void saveWindowPlacement(const WindowPlacement& placement, std::string_view section, IniFile& ini)
{
    for (const auto& [key, field] : placementKeys)
        ini.writeInteger(section, key, placement.*field);
}

void loadWindowPlacement(WindowPlacement& placement, std::string_view section, const IniFile& ini)
{
    for (const auto& [key, field] : placementKeys)
        placement.*field = ini.readInteger(section, key, placement.*field);
}

} // namespace lib
