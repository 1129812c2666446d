#pragma once

#include "summsim/Simoptions.h"

#include <cstdint>
#include <optional>

namespace summsim {

// The two fields a frame carries its value in.
struct Reading {
    std::int16_t mantissa = 0;
    std::int8_t exponent = 0;

    double value() const;
    // The closest fields for value, with as many digits as the 16 bits hold.
    static Reading fitted(double value);
};

// The value the summator shows at each moment: fixed, or ramping towards a bound.
class ReadingPlan {
public:
    explicit ReadingPlan(const SimOptions& options);

    Reading at(double seconds) const;
    double valueAt(double seconds) const;

private:
    std::optional<Reading> asGiven_;  // sent exactly as written on the command line
    double start_;
    double ramp_;
    std::optional<double> rampTo_;
};

} // namespace summsim
