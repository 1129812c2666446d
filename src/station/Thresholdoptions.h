#pragma once

#include <string>

class Configuration;

// The summator start threshold as its dialog shows and stores it: the value with three decimals
// and where the reading comes from. Stored in memory only; the next settings save writes it.
class ThresholdOptions {
public:
    static constexpr int shownDecimals = 3;

    struct Values {
        bool fromRegistration = false;  // the total gas of the registration computer, not the own summator
        std::string threshold;          // percent, as typed: a comma or a point
    };

    static Values read(const Configuration& configuration);
    static void store(Configuration& configuration, const Values& values);
};
