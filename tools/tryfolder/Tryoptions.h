#pragma once

#include "tryfolder/Tryfolder.h"

#include <string>
#include <variant>
#include <vector>

namespace tryfolder {

// The command line of nivra-tryfolder.
struct TryOptions {
    TryFolder::Plan plan;
    bool help = false;

    // The parsed line, or the message that says what is wrong with it.
    static std::variant<TryOptions, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

} // namespace tryfolder
