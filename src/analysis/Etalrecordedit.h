#pragma once

#include "analysis/Gazetalline.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The rules of the calibration record editor. The operator types each gas's share in the
// reference mixture as bottled (the absolute value); an entry keeps the share that reaches the
// chromatograph, which is smaller by the dilution "a / b" (a parts of mixture in b parts).
class EtalRecordEdit {
public:
    // Where the shares typed for the last added entry are kept, to preset the next one.
    static constexpr std::string_view presetsSection = "калибровка";
    static constexpr std::string_view presetsKey = "проценты";
    static constexpr std::int32_t defaultRepeats = 3;

    // The drop-down lists' texts: a, b (with the blanks that right-align them) and the repeats.
    static const std::vector<std::string>& partsChoices();
    static const std::vector<std::string>& totalChoices();
    static const std::vector<std::string>& repeatChoices();
    static std::string defaultRepeatChoice();

    struct Dilution {
        std::int32_t parts = 0;  // a
        std::int32_t total = 0;  // b
        // A negative part would turn every share negative: only positive ones dilute.
        bool diluted() const { return parts > 0 && total > 0; }
        // Stored share → absolute share (b ÷ a), and back (a ÷ b); 1 when undiluted.
        double absoluteFactor() const;
        double storedFactor() const;
    };
    // First blank-separated field a, third field b; a field that is no integer counts 0.
    static Dilution parseDilution(std::string_view text);
    // The two list texts, each an integer or 0.
    static Dilution parseChoices(std::string_view parts, std::string_view total);

    // What the editor shows, and what the operator left in it on OK.
    struct Fields {
        bool dilutionEnabled = true;
        bool diluted = false;
        std::string parts;
        std::string total;
        std::vector<std::string> absolutes;  // one per gas, in table order
        std::string repeats;
        bool operator==(const Fields&) const = default;
    };
    // The box may be used only when the entry is diluted already; the shares are shown
    // undiluted, with 6 decimals. A gas the entry has no point for shows 0.
    static Fields forEdit(const GazEtalLine& entry, std::size_t gasCount);
    // Box free and clear; each gas preset from the list (missing ones empty, surplus dropped).
    static Fields forAdd(std::size_t gasCount, const std::vector<std::string>& presets);

    // Dilution, repeats and each gas's share from the typed fields; areas stay. An entry with
    // fewer points than gases grows to one per gas.
    static void store(const Fields& typed, GazEtalLine& entry);

    // The settings file's list; empty when the file or the key is missing.
    static std::vector<std::string> readPresets(const std::filesystem::path& settings);
    static void writePresets(const std::filesystem::path& settings, const std::vector<std::string>& texts);

    // The value as stored: a comma-separated list in double quotes. A text holding a comma (a
    // share typed with a decimal comma) is quoted of its own, double quotes in a text are
    // dropped: otherwise the list would not read back as written.
    static std::string presetsValue(const std::vector<std::string>& texts);
    // The value as the settings file gives it (the enclosing quotes already removed).
    static std::vector<std::string> presetsFromValue(std::string_view value);
};
