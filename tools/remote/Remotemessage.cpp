#include "remote/Remotemessage.h"

#include "library/Codepage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace remote {
namespace {

using Error = std::optional<std::string>;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), isDigit); }

Error checkMode(std::string_view text)
{
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '4')
        return std::nullopt;
    return std::string("a work mode from 0 to 4 (0 manual, 1 by time, 2 continuous, 3 by depth mark, 4 by summator)");
}

Error checkPeriod(std::string_view text)
{
    std::int32_t seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (allDigits(text) && error == std::errc() && end == text.data() + text.size() && seconds > 0)
        return std::nullopt;
    return std::string("a whole number of seconds from 1 to 2147483647");
}

// The station reads a depth with a point or a comma; the text goes out as typed.
Error checkDepth(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const auto separator = text.find_first_of(".,");
    const bool fits = separator == std::string_view::npos
        ? allDigits(text)
        : allDigits(text.substr(0, separator)) && allDigits(text.substr(separator + 1));
    if (fits)
        return std::nullopt;
    return std::string("a depth in metres such as 2500.5 or 2500,5");
}

struct Command {
    std::string_view name;
    std::string_view operandName;  // empty: the command takes none
    Error (*checkOperand)(std::string_view);
    std::string_view operation;    // the value of "operation"
    std::string_view operandLine;  // the name of the line that carries the operand
    bool takesDepth;               // --depth may come along
    std::string_view help;
};

constexpr std::array<Command, 4> commandTable{{
    {"start", "", nullptr, "start", "", true, "start an analysis (at the depth mark given with --depth)"},
    {"mode", "N", checkMode, "mode", "value", true,
     "set the work mode: 0 manual, 1 by time, 2 continuous, 3 by depth mark, 4 by summator"},
    {"period", "SECONDS", checkPeriod, "time_period", "time_period", false, "set the interval of the time mode"},
    {"depth", "D", checkDepth, "depth", "depth", false, "report the current depth in metres"},
}};

const Command* findCommand(std::string_view name)
{
    for (const auto& command : commandTable)
        if (command.name == name)
            return &command;
    return nullptr;
}

// The command line taken apart: options by name, everything else in order.
struct Arguments {
    std::optional<std::string> depth;
    std::optional<std::string> raw;
    bool help = false;
    std::vector<std::string> positional;
};

struct Option {
    std::string_view name;
    std::string_view valueName;  // empty: a switch
    std::string_view help;
    std::optional<std::string> Arguments::*target;  // null for --help
};

constexpr std::array<Option, 3> optionTable{{
    {"--depth", "D", "with start or mode: also send the depth, as typed (point or comma)", &Arguments::depth},
    {"--raw", "TEXT", "send TEXT as given instead of a command (in CP1251, with the 0 byte)", &Arguments::raw},
    {"--help", "", "this text", nullptr},
}};

const Option* findOption(std::string_view name)
{
    for (const auto& option : optionTable)
        if (option.name == name)
            return &option;
    return nullptr;
}

std::variant<Arguments, std::string> split(const std::vector<std::string>& arguments)
{
    Arguments split;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.substr(0, 2) != "--") {
            split.positional.emplace_back(argument);
            continue;
        }
        const auto equals = argument.find('=');
        const Option* option = findOption(argument.substr(0, equals));
        if (!option)
            return "unknown option: " + std::string(argument);
        if (option->valueName.empty()) {
            if (equals != std::string_view::npos)
                return std::string(option->name) + " takes no value";
            split.help = true;
            continue;
        }
        std::string value;
        if (equals != std::string_view::npos)
            value = argument.substr(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return std::string(option->name) + " needs " + std::string(option->valueName);
        auto& target = split.*(option->target);
        if (target)
            return std::string(option->name) + " is given twice";
        target = std::move(value);
    }
    return split;
}

Error checkCommandLine(const Arguments& arguments, const Command& command)
{
    const std::size_t expected = command.operandName.empty() ? 1 : 2;
    if (arguments.positional.size() < expected)
        return std::string(command.name) + " needs " + std::string(command.operandName);
    if (arguments.positional.size() > expected)
        return "unexpected argument: " + arguments.positional[expected];
    if (command.checkOperand)
        if (const auto error = command.checkOperand(arguments.positional[1]))
            return std::string(command.name) + " needs " + *error + ", not \"" + arguments.positional[1] + '"';
    if (arguments.depth && !command.takesDepth)
        return "--depth goes with start or mode; " + std::string(command.name) + " takes no depth";
    if (arguments.depth)
        if (const auto error = checkDepth(*arguments.depth))
            return "--depth needs " + *error + ", not \"" + *arguments.depth + '"';
    return std::nullopt;
}

std::vector<RemoteMessage::Line> linesOf(const Arguments& arguments, const Command& command)
{
    std::vector<RemoteMessage::Line> lines{{"operation", std::string(command.operation)}};
    if (!command.operandName.empty())
        lines.emplace_back(command.operandLine, arguments.positional[1]);
    if (arguments.depth)
        lines.emplace_back("depth", *arguments.depth);
    return lines;
}

} // namespace

std::variant<RemoteMessage, std::string> RemoteMessage::parse(const std::vector<std::string>& arguments)
{
    auto parsed = split(arguments);
    if (const auto* error = std::get_if<std::string>(&parsed))
        return *error;
    const auto& split = std::get<Arguments>(parsed);
    RemoteMessage message;
    if (split.help) {
        message.help_ = true;
        return message;
    }
    if (split.raw) {
        if (!split.positional.empty() || split.depth)
            return std::string("--raw goes alone: it replaces the command");
        message.isRaw_ = true;
        message.raw_ = *split.raw;
        return message;
    }
    if (split.positional.empty())
        return std::string("a command is missing: start, mode, period or depth");
    const Command* command = findCommand(split.positional.front());
    if (!command)
        return "unknown command: " + split.positional.front();
    if (const auto error = checkCommandLine(split, *command))
        return *error;
    message.lines_ = linesOf(split, *command);
    return message;
}

std::string RemoteMessage::usage()
{
    std::string text =
        "Usage: nivra-remote start [--depth D]\n"
        "       nivra-remote mode N [--depth D]\n"
        "       nivra-remote period SECONDS\n"
        "       nivra-remote depth D\n"
        "       nivra-remote --raw TEXT\n"
        "\n"
        "Sends one remote-control message to the station on this computer (the mailslot\n"
        "\"chromatograph\" of this user), as the registration program does, and prints its lines.\n"
        "Exits with 1 when no station listens, with 2 on a wrong command line.\n"
        "\n"
        "Commands:\n";
    const auto column = [](std::string name) {
        return "  " + name + std::string(name.size() < 18 ? 18 - name.size() : 1, ' ');
    };
    for (const auto& command : commandTable) {
        std::string name(command.name);
        if (!command.operandName.empty())
            name += " " + std::string(command.operandName);
        text += column(name) + std::string(command.help) + '\n';
    }
    text += "\nOptions:\n";
    for (const auto& option : optionTable) {
        std::string name(option.name);
        if (!option.valueName.empty())
            name += " " + std::string(option.valueName);
        text += column(name) + std::string(option.help) + '\n';
    }
    return text;
}

std::string RemoteMessage::text() const
{
    if (isRaw_)
        return raw_;
    std::string text;
    for (const auto& [name, value] : lines_)
        text += name + '=' + value + "\r\n";
    return text;
}

std::string RemoteMessage::bytes() const
{
    std::string bytes = lib::toCp1251(text());
    bytes += '\0';
    return bytes;
}

std::vector<std::string> RemoteMessage::readableLines() const
{
    std::vector<std::string> lines;
    std::string_view rest = isRaw_ ? std::string_view(raw_) : std::string_view();
    for (const auto& [name, value] : lines_)
        lines.push_back(name + '=' + value);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return lines;
}

} // namespace remote
