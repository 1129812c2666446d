#pragma once

#include "analysis/Calculatedgaz.h"
#include "library/Mytime.h"

#include <filesystem>
#include <functional>

// The daily text export: every announced result list becomes one line of fixed-width columns
// in the day's file of the export folder, readable without the program.
class TextFile {
public:
    using Clock = std::function<lib::LocalSeconds()>;

    explicit TextFile(Clock clock = lib::localSecondsNow);

    void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    const std::filesystem::path& folder() const { return folder_; }

    // The gas list changed: the next line gets a header line of its own.
    void markHeaderNeeded() { headerNeeded_ = true; }
    bool headerNeeded() const { return headerNeeded_; }

    // The controller's "save_science_values": the areas of the measured gases follow.
    void setScienceValues(bool on) { scienceValues_ = on; }
    bool scienceValues() const { return scienceValues_; }

    // Appends one line (and the header when needed) to the day's file; a folder or file that
    // cannot be written is skipped silently and the header stays needed.
    void writeResults(const CalculatedGazes& results, float depth);

    // The day's file name, "dd.mm.yyyy.txt".
    static std::string fileName(const lib::LocalTimeFields& now);

private:
    // Both in the file's encoding, ready to append.
    std::string header(const CalculatedGazes& results) const;
    std::string dataLine(const CalculatedGazes& results, float depth, const lib::LocalTimeFields& now) const;

    Clock clock_;
    std::filesystem::path folder_;
    bool headerNeeded_ = true;
    bool scienceValues_ = false;
};
