#include "summsim/Simoptions.h"

#include "common/Optionreader.h"

#include <array>
#include <cmath>
#include <sstream>
#include <string_view>

namespace summsim {
namespace {

using tools::OptionReader;
using Error = OptionReader::Error;
using Option = OptionReader::Option<SimOptions>;

constexpr double countsPerUnit = 8192;

constexpr std::array<Option, 13> optionTable{{
    {"--rate", "HZ", "frames per second (default 5)",
     [](SimOptions& o, std::string_view v) { return OptionReader::readBounded(v, 0.01, 1000.0, o.rate, "a rate"); }},
    {"--reading", "N", "main reading of every frame (default 8192: 0.1 % at coeff 0.1)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readInto<std::int32_t>(v, -32768, 32767, o.reading, "a reading");
     }},
    {"--exponent", "E", "decimal exponent: the value is N x 10^E (default 0)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readInto<std::int32_t>(v, -20, 20, o.exponent, "an exponent");
     }},
    {"--percent", "P", "send the reading that shows P % (P / C x 8192)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readInto(v, -1000.0, 1000.0, o.percent, "a percentage");
     }},
    {"--coeff", "C", "the station's coefficient --percent is meant for (default 0.1)",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded(v, 1e-6, 1e6, o.coeff, "a coefficient");
     }},
    {"--ramp", "STEP", "add STEP to the value every second (8192 is 0.1 % at coeff 0.1)",
     [](SimOptions& o, std::string_view v) { return OptionReader::readInto(v, -1e9, 1e9, o.ramp, "a step"); }},
    {"--ramp-to", "N", "stop the ramp at the value N and stay there",
     [](SimOptions& o, std::string_view v) { return OptionReader::readInto(v, -1e12, 1e12, o.rampTo, "a value"); }},
    {"--bad-checksum-every", "K", "spoil the checksum of every K-th frame",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded<std::uint32_t>(v, 1, 1000000000, o.badChecksumEvery, "a count");
     }},
    {"--short-every", "K", "cut every K-th frame short after half its bytes",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readBounded<std::uint32_t>(v, 1, 1000000000, o.shortEvery, "a count");
     }},
    {"--garbage", "", "send random bytes (never an \"M\") at full speed instead of frames",
     [](SimOptions& o, std::string_view) -> Error {
         o.garbage = true;
         return std::nullopt;
     }},
    {"--seconds", "T", "stop after T seconds (default: at SIGINT or SIGTERM)",
     [](SimOptions& o, std::string_view v) { return OptionReader::readInto(v, 0.001, 1e7, o.seconds, "seconds"); }},
    {"--frames", "N", "stop after N frames",
     [](SimOptions& o, std::string_view v) {
         return OptionReader::readInto<std::uint64_t>(v, 1, 1000000000000, o.frames, "a count");
     }},
    {"--help", "", "this text",
     [](SimOptions& o, std::string_view) -> Error {
         o.help = true;
         return std::nullopt;
     }},
}};

// Options that contradict each other, or one that means nothing without another.
Error checkTogether(const SimOptions& options, const OptionReader& read)
{
    struct Rule {
        bool broken;
        const char* message;
    };
    const bool behindStart = options.ramp && options.rampTo
        && (*options.ramp > 0 ? *options.rampTo < options.startValue() : *options.rampTo > options.startValue());
    const std::array<Rule, 6> rules{{
        {options.percent && (read.given("--reading") || read.given("--exponent")),
         "--percent sets the reading itself: leave out --reading and --exponent"},
        {read.given("--coeff") && !options.percent, "--coeff only goes with --percent"},
        {options.rampTo && !options.ramp, "--ramp-to needs --ramp"},
        {behindStart, "--ramp-to lies behind the start value: the ramp would never reach it"},
        {options.garbage && options.frames, "--garbage sends no frames to count: stop it with --seconds"},
        {options.garbage && (options.ramp || options.badChecksumEvery || options.shortEvery),
         "--garbage sends no frames to ramp or spoil"},
    }};
    for (const auto& rule : rules)
        if (rule.broken)
            return std::string(rule.message);
    return std::nullopt;
}

} // namespace

double SimOptions::startValue() const
{
    return percent ? *percent / coeff * countsPerUnit : reading * std::pow(10.0, exponent);
}

std::variant<SimOptions, std::string> SimOptions::parse(const std::vector<std::string>& arguments)
{
    SimOptions options;
    OptionReader reader(arguments);
    if (const auto error = reader.readAll(optionTable, options))
        return *error;
    if (const auto error = checkTogether(options, reader))
        return *error;
    return options;
}

std::string SimOptions::usage()
{
    std::ostringstream text;
    text << "Usage: nivra-summsim [options]\n"
            "\n"
            "A separate gas summator on a pseudo-terminal. Prints the terminal's path on the first line,\n"
            "then sends \"MMV\" frames at a steady rate until SIGINT or SIGTERM (or --seconds, --frames).\n"
            "Frames the station has not taken by the time the next one goes out are dropped, as on a\n"
            "real line.\n"
            "\n"
         << OptionReader::usageLines(optionTable, 24);
    return text.str();
}

} // namespace summsim
