#pragma once

#include "analysis/Gazetalline.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class GazOptions;

// The calibration window's working list of reference mixtures, kept apart from the store until
// the operator saves it, with the rules of its two grids: the programme (concentrations) and the
// results (concentration and coefficient per gas).
class CalibrationProgramme {
public:
    std::vector<GazEtalLine> entries;

    // A new entry for the editor: no dilution, repeats 3, one (0, 0) point per gas.
    static GazEtalLine newEntry(std::size_t gasCount);

    // Each of these keeps the list sorted by the first gas's concentration.
    void add(GazEtalLine entry);
    // The editor's dilution, repeats and concentrations replace the entry's; its areas stay.
    void replaceEdited(std::size_t index, const GazEtalLine& edited);
    void remove(std::size_t index);
    void sort();
    // A run's averaged areas become the entry's areas, gas by gas; concentrations stay.
    void setAreas(std::size_t index, const std::vector<double>& areas);

    // area ÷ degassing ÷ concentration; 0 when the concentration is 0.
    static double coefficient(const GazEtalPoint& point, double degassing);

    // Programme grid: " № ", " Разбавление ", " Кол-во повт. ", then " " + gas name + " ".
    static std::vector<std::string> programmeHeaders(const GazOptions& gases);
    // One row per entry: the 1-based number, dilution, repeats, concentrations with 6 decimals.
    std::vector<std::string> programmeRow(std::size_t index, std::size_t gasCount) const;

    // Results grid: " № ", then per gas "конц. " + label and "коэфф. " + label ("напр. " + label
    // when results are taken from the peak).
    static std::vector<std::string> resultsHeaders(const GazOptions& gases, bool resultFromPeak);
    // " " + number, then per gas the concentration and the coefficient with 6 decimals.
    std::vector<std::string> resultsRow(std::size_t index, std::size_t gasCount, double degassing) const;
    // The gas whose colour a results column is drawn in: (column − 1) div 2.
    static std::size_t resultsColumnGas(int column);
    // Reads the results grid back: concentration from column 2i+1, area = concentration ×
    // coefficient (column 2i+2) × degassing. Unreadable cells count as 0. Rows are the grid's:
    // entry k is row k + 1, under the header. A point whose two cells still read as shown keeps
    // its exact values.
    void commitResults(const std::function<std::string(int column, int row)>& cell, std::size_t gasCount,
                       double degassing);

    // The degassing coefficient typed by the operator: nothing for text that is no number, and for
    // 0 (or the fallback −99999), which must not become the coefficient.
    static std::optional<double> degassingFromText(std::string_view text);

    // The run button's caption for the selected entry: "Запуск с конц-ей '" + dilution + "'".
    static std::string runCaption(const GazEtalLine& entry);
};
