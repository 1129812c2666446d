#pragma once

#include "analysis/Gazetalpoint.h"
#include "settings/Iniserialitem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One calibration entry: the analysis of one reference mixture, with one point per gas in
// gas-table order (point i belongs to gas i).
class GazEtalLine : public lib::IniSerialItem {
public:
    std::string dilution;
    std::int32_t repeats = 0;
    std::vector<GazEtalPoint> points;

    // dilution, repeats, the number of points, then concentration and area of each point. Double
    // quotes in the dilution are written as apostrophes: the token list cannot hold them.
    std::string toText() const override;
    // A point count that is negative or no number gives no points; one larger than the tokens
    // that follow is cut to them, so a damaged count cannot make a huge list.
    void fromText(std::string_view text) override;
};
