#pragma once

#include "settings/Iniserialitem.h"

#include <cstdint>
#include <string>
#include <string_view>

// One gas of the gas table: its names, colour and retention window in seconds from the start
// of the analysis. The nominal window is the operator's; the integration window is the one the
// calculation uses and may have been moved by the automatic correction. Only the nominal
// window is stored.
class Gaz : public lib::IniSerialItem {
public:
    std::string name;
    std::string label;
    float nominalStart = 0;
    float nominalEnd = 0;
    float integrationStart = 0;
    float integrationEnd = 0;
    double rangeLow = 0;   // kept so that stored tables keep their tokens; nothing reads them
    double rangeHigh = 100;
    std::uint32_t colour = 0;  // red in the low byte

    // name, label, nominalStart, nominalEnd, colour, rangeLow, rangeHigh. Double quotes in the
    // texts are written as apostrophes: the token list cannot hold them.
    std::string toText() const override;
    // Missing or unreadable tokens give empty texts and zeros; the integration window is left
    // to the list's load, which resets it to the nominal one.
    void fromText(std::string_view text) override;

    void resetIntegrationWindow();
};
