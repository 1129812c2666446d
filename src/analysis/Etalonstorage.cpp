#include "analysis/Etalonstorage.h"

#include "analysis/Calibrationlist.h"
#include "library/Strworks.h"
#include "settings/Inifile.h"

#include <algorithm>
#include <cmath>

namespace {

bool blank(const std::filesystem::path& path)
{
    return lib::trim(path.string()).empty();
}

// An entry saved before a gas was added to the table has no point for that gas; it counts as
// the point (0, 0), the same point fitToGasTable would have given it.
GazEtalPoint pointOf(const GazEtalLine& entry, std::size_t gasIndex)
{
    return gasIndex < entry.points.size() ? entry.points[gasIndex] : GazEtalPoint{};
}

bool holdsNaN(const Interpolation& table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (std::isnan(table.point(i).x) || std::isnan(table.point(i).y))
            return true;
    return false;
}

} // namespace

void EtalonStorage::load(const std::filesystem::path& path)
{
    if (blank(path))
        return;
    fileName = path.string();
    try {
        lib::IniFile ini(path);
        load(ini);
    } catch (...) {
        // Loading never reports errors: what could not be read keeps its value.
    }
}

void EtalonStorage::save(const std::filesystem::path& path)
{
    if (blank(path))
        return;
    fileName = path.string();
    try {
        lib::IniFile ini(path);
        save(ini);
    } catch (...) {
        // A file that cannot be written is left as it was, silently.
    }
}

void EtalonStorage::load(lib::IniFile& ini)
{
    CalibrationList(entries, maximumEntries, [this] { fitToGasTable(); }).loadList(ini);
    loadFrom(ini);
}

void EtalonStorage::save(lib::IniFile& ini)
{
    CalibrationList(entries, maximumEntries, {}).saveList(ini);
    saveTo(ini);
}

void EtalonStorage::declare(lib::ini_options_elements& list)
{
    list.addRaw(interType, mainSection, "inter_type");
    list.addRaw(date, mainSection, "Date");
    list.addDouble(degKoeff, mainSection, "deg_koeff");
}

void EtalonStorage::fitToGasTable()
{
    const int gases = gasCount ? gasCount() : 0;
    const std::size_t wanted = static_cast<std::size_t>(std::max(gases, 0));
    for (GazEtalLine& entry : entries)
        if (entry.points.size() < wanted)
            entry.points.resize(wanted);
}

// The points of one gas across the entries in stored order, x the response and y the
// concentration; the straight-segment rule starts at the origin.
Interpolation EtalonStorage::pointTable(std::size_t gasIndex, bool throughOrigin) const
{
    Interpolation table;
    table.reserve(entries.size() + 1);
    if (throughOrigin)
        table.add({0, 0});
    for (const GazEtalLine& entry : entries) {
        const GazEtalPoint point = pointOf(entry, gasIndex);
        table.add({point.area, point.concentration});
    }
    return table;
}

double EtalonStorage::concentration(std::size_t gasIndex, double response) const
{
    if (entries.empty())
        return 0;
    const double x = response * degKoeff;
    // One entry makes no polynomial worth the name: a straight line through the origin.
    const bool linear = interType == linearRule || entries.size() == 1;
    const Interpolation table = pointTable(gasIndex, linear);
    const double value = linear ? table.linear(x) : table.lagrange(x);
    // Real numbers at the ends of the range can still meet as inf − inf or inf × 0 (an infinite
    // response, a polynomial that overflows); that is no concentration at all, not a NaN to pass on.
    if (std::isnan(value) && !std::isnan(response) && !std::isnan(degKoeff) && !holdsNaN(table))
        return 0;
    return value;
}
