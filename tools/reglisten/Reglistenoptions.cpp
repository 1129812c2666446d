#include "reglisten/Reglistenoptions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace reglisten {
namespace {

using Error = std::optional<std::string>;

template <typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A real number typed with a point or a comma.
std::optional<double> parseReal(std::string_view text)
{
    std::string pointed(text);
    if (const auto comma = pointed.find(','); comma != std::string::npos)
        pointed[comma] = '.';
    const auto value = parseNumber<double>(pointed);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

Error readPort(std::string_view text, std::uint16_t lowest, std::uint16_t& target)
{
    const auto port = parseNumber<std::uint32_t>(text);
    if (!port || *port < lowest || *port > 65535)
        return "needs a port from " + std::to_string(lowest) + " to 65535";
    target = static_cast<std::uint16_t>(*port);
    return std::nullopt;
}

struct Option {
    std::string_view name;
    std::string_view valueName;  // empty: a switch
    std::string_view help;
    Error (*apply)(ReglistenOptions& options, std::string_view value);
};

constexpr std::array<Option, 8> optionTable{{
    {"--mailslot", "NAME", "bind this mailslot instead of Registration\\FixedData (e.g. chromatograph)",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         if (v.empty())
             return std::string("needs a name");
         o.mailslot = v;
         return std::nullopt;
     }},
    {"--udp-port", "P", "receive the datagrams of other computers on UDP port P (default 8001, 0: off)",
     [](ReglistenOptions& o, std::string_view v) { return readPort(v, 0, o.udpPort); }},
    {"--total-gas", "VALUE", "serve the total-gas query on TCP with this value",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         o.totalGas = parseReal(v);
         return o.totalGas ? Error() : std::string("needs a number");
     }},
    {"--tcp-port", "P", "serve the total-gas query on TCP port P (default 8001)",
     [](ReglistenOptions& o, std::string_view v) {
         std::uint16_t port = 0;
         auto error = readPort(v, 1, port);
         if (!error)
             o.tcpPort = port;
         return error;
     }},
    {"--ramp", "STEP", "add STEP to the total gas for every second since start",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         const auto step = parseReal(v);
         if (!step)
             return std::string("needs a number");
         o.ramp = *step;
         return std::nullopt;
     }},
    {"--count", "N", "exit after N messages",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         o.count = parseNumber<std::int64_t>(v);
         return o.count && *o.count > 0 ? Error() : std::string("needs a count from 1");
     }},
    {"--seconds", "T", "exit after T seconds",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         o.seconds = parseReal(v);
         return o.seconds && *o.seconds > 0 && *o.seconds < 1e9 ? Error() : std::string("needs a time above 0");
     }},
    {"--help", "", "this text",
     [](ReglistenOptions& o, std::string_view) -> Error {
         o.help = true;
         return std::nullopt;
     }},
}};

const Option* findOption(std::string_view name)
{
    for (const auto& option : optionTable)
        if (option.name == name)
            return &option;
    return nullptr;
}

Error checkTogether(const ReglistenOptions& options)
{
    if (!options.totalGas && (options.tcpPort || options.ramp != 0))
        return std::string("--tcp-port and --ramp need --total-gas: only then is TCP served");
    return std::nullopt;
}

} // namespace

std::variant<ReglistenOptions, std::string> ReglistenOptions::parse(const std::vector<std::string>& arguments)
{
    ReglistenOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto equals = argument.find('=');
        const Option* option = findOption(argument.substr(0, equals));
        if (!option)
            return "unknown argument: " + std::string(argument);
        std::string_view value;
        if (!option->valueName.empty()) {
            if (equals != std::string_view::npos)
                value = argument.substr(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return std::string(option->name) + " needs " + std::string(option->valueName);
        } else if (equals != std::string_view::npos) {
            return std::string(option->name) + " takes no value";
        }
        if (const auto error = option->apply(options, value))
            return std::string(option->name) + ": " + *error;
    }
    if (const auto error = checkTogether(options))
        return *error;
    return options;
}

std::string ReglistenOptions::usage()
{
    std::string text =
        "Usage: nivra-reglisten [options]\n"
        "\n"
        "The registration side on this computer: receives the station's messages on the mailslot\n"
        "\"Registration\\FixedData\" of this user and on UDP, prints each with its time and source,\n"
        "and, with --total-gas, answers the station's total-gas query on TCP. Runs until SIGINT\n"
        "or SIGTERM. Exits with 1 when the mailslot or a port is taken, with 2 on a wrong command line.\n"
        "\n";
    for (const auto& option : optionTable) {
        std::string name(option.name);
        if (!option.valueName.empty())
            name += " " + std::string(option.valueName);
        text += "  " + name + std::string(name.size() < 18 ? 18 - name.size() : 1, ' ') + std::string(option.help) + '\n';
    }
    return text;
}

} // namespace reglisten
