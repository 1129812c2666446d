#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace chromsim {

enum class Fault { noAnswer, otherAnswer, silentAfter, shortFrames, noise, bit7, lineErrors, noEndMarker, count };

// The misbehaviour asked of the simulated instrument, so that every error path of the station
// can be tried on one machine.
class Faults {
public:
    // One fault by name, e.g. "noise" or "silent-after=12.5"; the reason when the text is wrong.
    std::optional<std::string> enable(std::string_view text);

    bool has(Fault fault) const { return on_.test(static_cast<std::size_t>(fault)); }
    bool any() const { return on_.any(); }
    // Seconds into a cycle after which the instrument stops sending, when asked to.
    std::optional<double> silentAfter() const;

    std::string describe() const;  // the faults switched on, as they are written on the command line
    static std::string help();     // one indented line per fault

private:
    std::bitset<static_cast<std::size_t>(Fault::count)> on_;
    double silentAfter_ = 0;
};

} // namespace chromsim
