#include "analysis/Calibrationprogramme.h"

#include "analysis/Gazopts.h"
#include "library/Numstr.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int gridDecimals = 6;
// What the operator cannot make the degassing coefficient: the reading's fallback and 0.
constexpr double unreadableDegassing = -99999;

std::string sixDecimals(double value)
{
    return lib::formatReal(value, gridDecimals);
}

// A NaN would break the ordering the sort relies on; it sorts with the entries without points.
double sortKey(const GazEtalLine& entry)
{
    const double key = entry.points.empty() ? 0.0 : entry.points.front().concentration;
    return std::isnan(key) ? 0.0 : key;
}

// The grid shows rounded numbers: a cell left as it was shown keeps the exact value behind it,
// so committing an untouched grid changes nothing.
double readBack(const std::string& cell, double shown)
{
    return cell == sixDecimals(shown) ? shown : lib::parseReal(cell);
}

} // namespace

GazEtalLine CalibrationProgramme::newEntry(std::size_t gasCount)
{
    GazEtalLine entry;
    entry.repeats = 3;
    entry.points.assign(gasCount, GazEtalPoint{});
    return entry;
}

void CalibrationProgramme::add(GazEtalLine entry)
{
    entries.push_back(std::move(entry));
    sort();
}

void CalibrationProgramme::replaceEdited(std::size_t index, const GazEtalLine& edited)
{
    if (index >= entries.size())
        return;
    GazEtalLine& entry = entries[index];
    entry.dilution = edited.dilution;
    entry.repeats = edited.repeats;
    for (std::size_t i = 0; i < edited.points.size(); ++i) {
        if (i < entry.points.size())
            entry.points[i].concentration = edited.points[i].concentration;
        else
            entry.points.push_back(GazEtalPoint{edited.points[i].concentration, 0.0});
    }
    sort();
}

void CalibrationProgramme::remove(std::size_t index)
{
    if (index < entries.size())
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
}

void CalibrationProgramme::sort()
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const GazEtalLine& a, const GazEtalLine& b) { return sortKey(a) < sortKey(b); });
}

void CalibrationProgramme::setAreas(std::size_t index, const std::vector<double>& areas)
{
    if (index >= entries.size())
        return;
    auto& points = entries[index].points;
    const std::size_t count = std::min(points.size(), areas.size());
    for (std::size_t i = 0; i < count; ++i)
        points[i].area = areas[i];
}

double CalibrationProgramme::coefficient(const GazEtalPoint& point, double degassing)
{
    // A store loaded with a zero degassing coefficient shows no coefficient rather than infinity.
    if (point.concentration == 0 || degassing == 0)
        return 0;
    return point.area / degassing / point.concentration;
}

std::vector<std::string> CalibrationProgramme::programmeHeaders(const GazOptions& gases)
{
    std::vector<std::string> headers{" № ", " Разбавление ", " Кол-во повт. "};
    for (int i = 0; i < gases.count(); ++i)
        headers.push_back(" " + gases.gas(static_cast<std::size_t>(i)).name + " ");
    return headers;
}

std::vector<std::string> CalibrationProgramme::programmeRow(std::size_t index, std::size_t gasCount) const
{
    if (index >= entries.size())
        return {};
    const GazEtalLine& entry = entries[index];
    std::vector<std::string> row{std::to_string(index + 1), entry.dilution, std::to_string(entry.repeats)};
    for (std::size_t i = 0; i < gasCount; ++i)
        row.push_back(i < entry.points.size() ? sixDecimals(entry.points[i].concentration) : std::string());
    return row;
}

std::vector<std::string> CalibrationProgramme::resultsHeaders(const GazOptions& gases, bool resultFromPeak)
{
    const std::string coefficientTitle = resultFromPeak ? "напр. " : "коэфф. ";
    std::vector<std::string> headers{" № "};
    for (int i = 0; i < gases.count(); ++i) {
        const std::string& label = gases.gas(static_cast<std::size_t>(i)).label;
        headers.push_back("конц. " + label);
        headers.push_back(coefficientTitle + label);
    }
    return headers;
}

std::vector<std::string> CalibrationProgramme::resultsRow(std::size_t index, std::size_t gasCount,
                                                          double degassing) const
{
    if (index >= entries.size())
        return {};
    const GazEtalLine& entry = entries[index];
    std::vector<std::string> row{" " + std::to_string(index + 1)};
    for (std::size_t i = 0; i < gasCount; ++i) {
        if (i < entry.points.size()) {
            row.push_back(sixDecimals(entry.points[i].concentration));
            row.push_back(sixDecimals(coefficient(entry.points[i], degassing)));
        } else {
            row.insert(row.end(), 2, std::string());
        }
    }
    return row;
}

std::size_t CalibrationProgramme::resultsColumnGas(int column)
{
    return column < 1 ? 0 : static_cast<std::size_t>((column - 1) / 2);
}

void CalibrationProgramme::commitResults(const std::function<std::string(int column, int row)>& cell,
                                         std::size_t gasCount, double degassing)
{
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const int row = static_cast<int>(k) + 1;  // under the header row
        auto& points = entries[k].points;
        const std::size_t count = std::min(points.size(), gasCount);
        for (std::size_t i = 0; i < count; ++i) {
            GazEtalPoint& point = points[i];
            const int column = 2 * static_cast<int>(i) + 1;
            const double shownCoefficient = coefficient(point, degassing);
            const double concentration = readBack(cell(column, row), point.concentration);
            const double factor = readBack(cell(column + 1, row), shownCoefficient);
            if (concentration == point.concentration && factor == shownCoefficient)
                continue;
            point.concentration = concentration;
            point.area = concentration * factor * degassing;
        }
    }
}

std::optional<double> CalibrationProgramme::degassingFromText(std::string_view text)
{
    const std::optional<double> value = lib::parseTypedReal(text);
    if (!value || *value == 0 || *value == unreadableDegassing)
        return std::nullopt;
    return value;
}

std::string CalibrationProgramme::runCaption(const GazEtalLine& entry)
{
    return "Запуск с конц-ей '" + entry.dilution + "'";
}
