#include "chromsim/Simoptions.h"

#include "common/Optionreader.h"
#include "settings/Chromatographmodel.h"

#include <array>
#include <sstream>
#include <string_view>

namespace chromsim {
namespace {

using tools::OptionReader;
using Error = OptionReader::Error;
using Option = OptionReader::Option<SimOptions>;

constexpr std::array<Option, 9> optionTable{{
    {"--model", "N", "0: halves sent bit-reversed (default); 1: plain halves",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded<std::int32_t>(v, 0, 1, o.model, "a model");
     }},
    {"--summator", "", "model 1: interleave readings of the built-in gas summator",
     [](SimOptions& o, std::string_view) -> Error {
         o.summator = true;
         return std::nullopt;
     }},
    {"--speed", "N", "send N times faster than real time (default 1)",
     [](SimOptions& o, std::string_view v) { return OptionReader::readBounded(v, 0.001, 1e6, o.speed, "a factor"); }},
    {"--rate", "N", "points per second; 50 frames make one (default 8)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded<std::int32_t>(v, 1, 100, o.rate, "a rate");
     }},
    {"--length", "SECONDS", "length of a cycle (default 120)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded(v, 1.0, 86400.0, o.lengthSeconds, "seconds");
     }},
    {"--seed", "N", "seed of the random signal and faults (default: a new one each run)",
     [](SimOptions& o, std::string_view v) -> Error {
         const auto seed = OptionReader::parseNumber<std::uint64_t>(v);
         if (!seed)
             return std::string("needs a whole number");
         o.seed = seed;
         return std::nullopt;
     }},
    {"--cycles", "N", "serve N cycles, then exit (default: until SIGINT or SIGTERM)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readInto<std::int32_t>(v, 1, 1000000, o.cycles, "a count");
     }},
    {"--fault", "NAME", "misbehave as NAME (below); may be given more than once",
     [](SimOptions& o, std::string_view v) { return o.faults.enable(v); }},
    {"--help", "", "this text",
     [](SimOptions& o, std::string_view) -> Error {
         o.help = true;
         return std::nullopt;
     }},
}};

Error checkTogether(const SimOptions& options)
{
    if (options.summator && options.model != modelTavir)
        return std::string("--summator needs --model 1: only that model carries a summator");
    return std::nullopt;
}

} // namespace

std::variant<SimOptions, std::string> SimOptions::parse(const std::vector<std::string>& arguments)
{
    SimOptions options;
    if (const auto error = OptionReader(arguments).readAll(optionTable, options))
        return *error;
    if (const auto error = checkTogether(options))
        return *error;
    return options;
}

std::string SimOptions::usage()
{
    std::ostringstream text;
    text << "Usage: nivra-chromsim [options]\n"
            "\n"
            "A gas chromatograph on a pseudo-terminal. Prints the terminal's path on the first line,\n"
            "then answers the station's programme command with \"OK\" and streams a chromatogram,\n"
            "one cycle after another, until SIGINT or SIGTERM.\n"
            "\n"
         << OptionReader::usageLines(optionTable, 18) << "\nFaults:\n" << Faults::help();
    return text.str();
}

} // namespace chromsim
