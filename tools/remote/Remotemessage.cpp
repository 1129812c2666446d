#include "remote/Remotemessage.h"

#include "common/Optionreader.h"
#include "library/Codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace remote {
namespace {

using tools::OptionReader;
using Error = OptionReader::Error;

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
    const auto seconds = OptionReader::parseNumber<std::int32_t>(text);
    if (seconds && *seconds > 0)
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

std::variant<Arguments, std::string> split(const std::vector<std::string>& arguments)
{
    Arguments split;
    OptionReader reader(arguments);
    while (!reader.atEnd()) {
        if (!reader.argument().starts_with("--")) {
            split.positional.emplace_back(reader.argument());
            reader.skip();
            continue;
        }
        const Option* option = OptionReader::find(optionTable, reader.name());
        if (!option)
            return "unknown option: " + std::string(reader.argument());
        if (option->valueName.empty()) {
            if (const auto error = reader.takeSwitch())
                return *error;
            split.help = true;
            continue;
        }
        std::string_view value;
        if (const auto error = reader.takeValue(option->valueName, value))
            return *error;
        auto& target = split.*(option->target);
        if (target)
            return std::string(option->name) + " is given twice";
        target = std::string(value);
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
    const Command* command = OptionReader::find(commandTable, split.positional.front());
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
    for (const auto& command : commandTable)
        text += OptionReader::usageLine(command.name, command.operandName, command.help, 18);
    text += "\nOptions:\n";
    for (const auto& option : optionTable)
        text += OptionReader::usageLine(option.name, option.valueName, option.help, 18);
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
