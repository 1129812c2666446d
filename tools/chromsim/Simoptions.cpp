#include "chromsim/Simoptions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string_view>

namespace chromsim {
namespace {

using Error = std::optional<std::string>;

template <typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <typename Number>
Error readBounded(std::string_view text, Number low, Number high, Number& target, std::string_view what)
{
    const auto value = parseNumber<Number>(text);
    if (!value || !(*value >= low && *value <= high)) {
        std::ostringstream message;
        message << "needs " << what << " from " << low << " to " << high;
        return message.str();
    }
    target = *value;
    return std::nullopt;
}

struct Option {
    std::string_view name;
    std::string_view valueName;  // empty: a switch
    std::string_view help;
    Error (*apply)(SimOptions& options, std::string_view value);
};

constexpr std::array<Option, 9> optionTable{{
    {"--model", "N", "0: halves sent bit-reversed (default); 1: plain halves",
     [](SimOptions& o, std::string_view v) { return readBounded<std::int32_t>(v, 0, 1, o.model, "a model"); }},
    {"--summator", "", "model 1: interleave readings of the built-in gas summator",
     [](SimOptions& o, std::string_view) -> Error {
         o.summator = true;
         return std::nullopt;
     }},
    {"--speed", "N", "send N times faster than real time (default 1)",
     [](SimOptions& o, std::string_view v) { return readBounded(v, 0.001, 1e6, o.speed, "a factor"); }},
    {"--rate", "N", "points per second; 50 frames make one (default 8)",
     [](SimOptions& o, std::string_view v) { return readBounded<std::int32_t>(v, 1, 100, o.rate, "a rate"); }},
    {"--length", "SECONDS", "length of a cycle (default 120)",
     [](SimOptions& o, std::string_view v) { return readBounded(v, 1.0, 86400.0, o.lengthSeconds, "seconds"); }},
    {"--seed", "N", "seed of the random signal and faults (default: a new one each run)",
     [](SimOptions& o, std::string_view v) -> Error {
         const auto seed = parseNumber<std::uint64_t>(v);
         if (!seed)
             return std::string("needs a whole number");
         o.seed = seed;
         return std::nullopt;
     }},
    {"--cycles", "N", "serve N cycles, then exit (default: until SIGINT or SIGTERM)",
     [](SimOptions& o, std::string_view v) {
         std::int32_t cycles = 0;
         auto error = readBounded<std::int32_t>(v, 1, 1000000, cycles, "a count");
         if (!error)
             o.cycles = cycles;
         return error;
     }},
    {"--fault", "NAME", "misbehave as NAME (below); may be given more than once",
     [](SimOptions& o, std::string_view v) { return o.faults.enable(v); }},
    {"--help", "", "this text",
     [](SimOptions& o, std::string_view) -> Error {
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

Error checkTogether(const SimOptions& options)
{
    if (options.summator && options.model != 1)
        return std::string("--summator needs --model 1: only that model carries a summator");
    return std::nullopt;
}

} // namespace

std::variant<SimOptions, std::string> SimOptions::parse(const std::vector<std::string>& arguments)
{
    SimOptions options;
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

std::string SimOptions::usage()
{
    std::ostringstream text;
    text << "Usage: nivra-chromsim [options]\n"
            "\n"
            "A gas chromatograph on a pseudo-terminal. Prints the terminal's path on the first line,\n"
            "then answers the station's programme command with \"OK\" and streams a chromatogram,\n"
            "one cycle after another, until SIGINT or SIGTERM.\n"
            "\n";
    for (const auto& option : optionTable) {
        std::string name(option.name);
        if (!option.valueName.empty())
            name += " " + std::string(option.valueName);
        text << "  " << name << std::string(name.size() < 18 ? 18 - name.size() : 1, ' ') << option.help << '\n';
    }
    text << "\nFaults:\n" << Faults::help();
    return text.str();
}

} // namespace chromsim
