#include "tryfolder/Tryoptions.h"

#include "common/Optionreader.h"

#include <array>
#include <sstream>
#include <string_view>

namespace tryfolder {
namespace {

using tools::OptionReader;
using Error = OptionReader::Error;
using Option = OptionReader::Option<TryOptions>;

Error needsText(std::string_view value, std::string& target, const char* what)
{
    if (value.empty())
        return std::string("needs ") + what;
    target = value;
    return std::nullopt;
}

constexpr std::array<Option, 5> optionTable{{
    {"--dir", "DIR", "the program folder; the station's first start has written its settings there",
     [](TryOptions& o, std::string_view v) -> Error {
         std::string folder;
         auto error = needsText(v, folder, "a folder");
         o.plan.directory = folder;
         return error;
     }},
    {"--port", "PATH", "the pseudo-terminal nivra-chromsim printed",
     [](TryOptions& o, std::string_view v) { return needsText(v, o.plan.port, "a terminal"); }},
    {"--length", "SECONDS", "the simulator's --length: the programme's cycle (default 85)",
     [](TryOptions& o, std::string_view v) {
         return OptionReader::readBounded<std::int32_t>(v, 1, 86400, o.plan.cycleSeconds, "seconds");
     }},
    {"--seed", "N", "the simulator's --seed: the sample of its first cycle is the reference (default 1)",
     [](TryOptions& o, std::string_view v) -> Error {
         const auto seed = OptionReader::parseNumber<std::uint64_t>(v);
         if (!seed)
             return std::string("needs a whole number");
         o.plan.seed = *seed;
         return std::nullopt;
     }},
    {"--help", "", "this text",
     [](TryOptions& o, std::string_view) -> Error {
         o.help = true;
         return std::nullopt;
     }},
}};

} // namespace

std::variant<TryOptions, std::string> TryOptions::parse(const std::vector<std::string>& arguments)
{
    TryOptions options;
    OptionReader reader(arguments);
    if (const auto error = reader.readAll(optionTable, options))
        return *error;
    if (!options.help && (!reader.given("--dir") || !reader.given("--port")))
        return std::string("--dir and --port are needed");
    return options;
}

std::string TryOptions::usage()
{
    std::ostringstream text;
    text << "Usage: nivra-tryfolder --dir DIR --port PATH [--length SECONDS] [--seed N]\n"
            "\n"
            "Makes a program folder try the station against nivra-chromsim: points its settings at\n"
            "the simulator's terminal, with a programme as long as the simulator's cycle, one\n"
            "analysis after another and no setup wizard, and writes \"calibr.ini\" from the\n"
            "simulator's own sample, so that every analysis shows its concentrations.\n"
            "\n"
         << OptionReader::usageLines(optionTable, 18);
    return text.str();
}

} // namespace tryfolder
