#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What NivraExe was asked to do.
struct CommandLine {
    bool help = false;
    bool headless = false;
    bool demo = false;
    bool warmUp = false;
    std::optional<std::filesystem::path> directory;
    std::optional<int> cycles;

    // The parsed line, or the message that says what is wrong with it.
    static std::variant<CommandLine, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();
};
