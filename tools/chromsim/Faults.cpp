#include "chromsim/Faults.h"

#include <array>
#include <charconv>
#include <cmath>
#include <sstream>

namespace chromsim {
namespace {

struct FaultName {
    Fault fault;
    std::string_view name;
    std::string_view valueName;  // empty: the fault takes no value
    std::string_view help;
};

constexpr std::array<FaultName, static_cast<std::size_t>(Fault::count)> faultNames{{
    {Fault::noAnswer, "no-answer", "", "never answers the programme command"},
    {Fault::otherAnswer, "other-answer", "", "answers five other bytes instead of \"OK\", then streams"},
    {Fault::silentAfter, "silent-after", "SECONDS", "stops sending that far into each cycle"},
    {Fault::shortFrames, "short-frames", "", "cuts some frames to one to three bytes"},
    {Fault::noise, "noise", "", "puts bytes without bit 7 between frames"},
    {Fault::bit7, "bit7", "", "sets bit 7 in a byte inside some frames"},
    {Fault::lineErrors, "line-errors", "", "sends a burst of garbage every twenty seconds or so"},
    {Fault::noEndMarker, "no-end-marker", "", "ends each cycle without FF FF FF FF"},
}};

std::optional<double> parseSeconds(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> Faults::enable(std::string_view text)
{
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    for (const auto& entry : faultNames) {
        if (entry.name != name)
            continue;
        const bool hasValue = equals != std::string_view::npos;
        if (hasValue != !entry.valueName.empty())
            return hasValue ? "fault " + std::string(name) + " takes no value"
                            : "fault " + std::string(name) + " needs =" + std::string(entry.valueName);
        if (hasValue) {
            const auto seconds = parseSeconds(text.substr(equals + 1));
            if (!seconds)
                return "fault " + std::string(name) + " needs a number of seconds, 0 or more";
            silentAfter_ = *seconds;
        }
        on_.set(static_cast<std::size_t>(entry.fault));
        return std::nullopt;
    }
    return "unknown fault: " + std::string(text);
}

std::optional<double> Faults::silentAfter() const
{
    return has(Fault::silentAfter) ? std::optional<double>(silentAfter_) : std::nullopt;
}

std::string Faults::describe() const
{
    std::ostringstream text;
    for (const auto& entry : faultNames) {
        if (!has(entry.fault))
            continue;
        text << (text.tellp() > 0 ? " " : "") << entry.name;
        if (!entry.valueName.empty())
            text << '=' << silentAfter_;
    }
    return text.str();
}

std::string Faults::help()
{
    std::ostringstream text;
    for (const auto& entry : faultNames) {
        std::string name(entry.name);
        if (!entry.valueName.empty())
            name += "=" + std::string(entry.valueName);
        text << "    " << name << std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') << entry.help << '\n';
    }
    return text.str();
}

} // namespace chromsim
