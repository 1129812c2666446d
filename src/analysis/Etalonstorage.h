#pragma once

#include "analysis/Gazetalline.h"
#include "analysis/Interpolation.h"
#include "library/Heavyvector.h"
#include "settings/Inioptions.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace lib {
class IniFile;
}

// The calibration of the chromatograph: entries measured on reference mixtures, and the
// conversion of a measured response into a concentration through them. Stored in one file: the
// entries as the list of section "calibration", the settings in section "main".
class EtalonStorage : public lib::ini_options {
public:
    static constexpr const char* defaultFileName = "calibr.ini";
    static constexpr const char* mainSection = "main";
    // interType of the straight segments through the origin; any other value is the polynomial.
    static constexpr std::int32_t linearRule = 1;
    // A list that claims more entries is damage and left alone, like one without a size. A real
    // calibration has a handful; the polynomial costs the square of the entries on every
    // conversion, under the acquisition lock, and each entry grows to one point per gas.
    static constexpr int maximumEntries = 1000;

    // The list, then the settings. Loading never fails: what is missing keeps its value, and a
    // missing "size" keeps the current entries. A blank path does nothing.
    void load(const std::filesystem::path& path);
    void save(const std::filesystem::path& path);
    void load(lib::IniFile& ini);
    void save(lib::IniFile& ini);

    // Gives every entry at least one point per gas of the gas table, the new ones (0, 0).
    void fitToGasTable();

    // The concentration in percent for a response of the gas at gasIndex in the gas table.
    // 0 without entries; NaN only when a NaN went in.
    double concentration(std::size_t gasIndex, double response) const;

    lib::heavy_vector<GazEtalLine> entries;
    std::int32_t interType = linearRule;
    double date = 36526.0;  // days since 30 December 1899: 1 January 2000
    double degKoeff = 1.0;  // degassing coefficient, applied to every response
    std::function<int()> gasCount;

protected:
    void declare(lib::ini_options_elements& list) override;

private:
    Interpolation pointTable(std::size_t gasIndex, bool throughOrigin) const;
};
