#include "station/Registrationcomputer.h"

#include <algorithm>

namespace {

constexpr std::string_view blanks = " \t\r\n\v\f";

} // namespace

bool RegistrationComputer::canConfirm(std::string_view name)
{
    return name.find_first_not_of(blanks) != std::string_view::npos;
}

std::string RegistrationComputer::storedName(std::string_view name)
{
    const std::size_t first = name.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(name.substr(first, name.find_last_not_of(blanks) - first + 1));
}

std::string RegistrationComputer::entry(std::string_view name)
{
    return " " + std::string(name);
}

std::string RegistrationComputer::nameOf(std::string_view entry)
{
    if (!entry.empty() && entry.front() == ' ')
        entry.remove_prefix(1);
    return std::string(entry);
}

std::optional<std::size_t> RegistrationComputer::entryOf(const std::vector<std::string>& names, std::string_view current)
{
    const auto found = std::find(names.begin(), names.end(), current);
    if (found == names.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - names.begin());
}

lib::Box RegistrationComputer::listPlace(int x, int y, int width, int height, const lib::Box& screen)
{
    // The left and top edges win when the window is larger than the room it has.
    const int left = std::max(screen.left, std::min(x - width / 2, screen.right() - width));
    const int top = std::max(screen.top, std::min(y - aboveThePointer, screen.bottom() - bottomMargin - height));
    return {left, top, width, height};
}
