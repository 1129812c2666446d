#pragma once

#include "analysis/Etalonstorage.h"

#include <filesystem>

namespace test {

// One reference entry, 1 % per 100 mV·s for every gas, so every peak gives a concentration.
inline void writeUniformCalibration(const std::filesystem::path& file)
{
    EtalonStorage calibration;
    GazEtalLine& entry = calibration.entries.emplace_back();
    entry.dilution = "1";
    entry.repeats = 1;
    entry.points.assign(6, GazEtalPoint{1.0, 100.0});
    calibration.save(file);
}

} // namespace test
