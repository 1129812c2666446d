#pragma once

#include "library/Dropdownplace.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of choosing the computer that runs the registration program: the name dialog and the
// network list it opens.
class RegistrationComputer {
public:
    static constexpr const char* loopbackName = "localhost";
    // The list window's top stands this far above the pointer, and its bottom at least
    // bottomMargin above the screen's bottom edge.
    static constexpr int aboveThePointer = 2;
    static constexpr int bottomMargin = 42;

    // A name of blanks only names no computer.
    static bool canConfirm(std::string_view name);
    // What the dialog stores: the name without surrounding blanks.
    static std::string storedName(std::string_view name);

    // A list entry is a blank followed by the name.
    static std::string entry(std::string_view name);
    static std::string nameOf(std::string_view entry);
    // The entry to show selected: the one naming current.
    static std::optional<std::size_t> entryOf(const std::vector<std::string>& names, std::string_view current);

    // Where the list window of that size goes for the pointer at (x, y) on a screen whose free
    // area is screen: centred on the pointer, its top just above it, kept inside the screen.
    static lib::Box listPlace(int x, int y, int width, int height, const lib::Box& screen);
};
