#include "reglisten/Reglistenoptions.h"

#include "common/Optionreader.h"

#include <array>
#include <cmath>
#include <string_view>

namespace reglisten {
namespace {

using tools::OptionReader;
using Error = OptionReader::Error;
using Option = OptionReader::Option<ReglistenOptions>;

// A real number typed with a point or a comma.
std::optional<double> parseReal(std::string_view text)
{
    std::string pointed(text);
    if (const auto comma = pointed.find(','); comma != std::string::npos)
        pointed[comma] = '.';
    const auto value = OptionReader::parseNumber<double>(pointed);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

constexpr std::array<Option, 8> optionTable{{
    {"--mailslot", "NAME", "bind this mailslot instead of Registration\\FixedData (e.g. chromatograph)",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         if (v.empty())
             return std::string("needs a name");
         o.mailslot = v;
         return std::nullopt;
     }},
    {"--udp-port", "P", "receive the datagrams of other computers on UDP port P (default 8001, 0: off)",
     [](ReglistenOptions& o, std::string_view v) {
         return OptionReader::readInto<std::uint32_t>(v, 0, 65535, o.udpPort, "a port");
     }},
    {"--total-gas", "VALUE", "serve the total-gas query on TCP with this value",
     [](ReglistenOptions& o, std::string_view v) -> Error {
         o.totalGas = parseReal(v);
         return o.totalGas ? Error() : std::string("needs a number");
     }},
    {"--tcp-port", "P", "serve the total-gas query on TCP port P (default 8001)",
     [](ReglistenOptions& o, std::string_view v) {
         return OptionReader::readInto<std::uint32_t>(v, 1, 65535, o.tcpPort, "a port");
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
         o.count = OptionReader::parseNumber<std::int64_t>(v);
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
    if (const auto error = OptionReader(arguments).readAll(optionTable, options))
        return *error;
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
    return text + OptionReader::usageLines(optionTable, 18);
}

} // namespace reglisten
