#pragma once

#include "analysis/Calculatedgaz.h"
#include "chromatogram/Graphics.h"
#include "library/Mytime.h"
#include "results/Historygrid.h"

#include <boost/signals2/signal.hpp>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Configuration;
class GazOptions;

// Thumbnails of the last analyses: thinned copies of their chromatograms, newest first, kept
// across restarts in "nivra2.history". User-interface thread only.
class History {
public:
    static constexpr std::size_t maxEntries = 24;
    static constexpr std::string_view fileMagic = "NivraHistory";
    static constexpr std::uint8_t fileVersion = 1;
    static constexpr const char* fileName = "nivra2.history";

    // Bound to the settings, the gas table and the calculation's result list for the copies.
    History(const Configuration& configuration, const GazOptions& gases, const CalculatedGazes& results);

    // A normally ended analysis: its live curve becomes the newest entry.
    void add(const MyGraphics& curve);

    // Failures are silent: false from save, an empty history from load.
    bool save(const std::filesystem::path& path) const;
    void load(const std::filesystem::path& path);
    std::string fileContents() const;
    // Reads what a history file holds; a damaged part ends the reading and what was read stays.
    void loadFrom(std::string_view bytes);

    std::size_t entryCount() const { return entries_.size(); }
    // std::out_of_range for an index outside the list.
    const MyGraphics& entry(std::size_t index) const { return *entries_.at(index); }
    const MyGraphics* selectedEntry() const;
    // −1 only while the history is empty.
    int selected() const { return selected_; }
    // An index outside the list changes nothing, like a click beside the pictures, so that a
    // page stepping past either end stays on its entry. True when index is an entry.
    bool select(int index);

    // The picture cells of the history page; a click on a picture selects its entry, a click
    // beside all of them keeps the selection. True when an entry was hit.
    static GridRect entryRect(std::size_t index, int width, int height, int margin);
    bool hitTest(int x, int y, int width, int height, int margin);

    void setClock(std::function<lib::LocalSeconds()> clock) { clock_ = std::move(clock); }

    // After add(); raised before the selectionChanged of the same add.
    boost::signals2::signal<void()> historyChanged;
    // The selected entry is another one (or none): by select, hitTest, add (the selection keeps
    // its index, which now holds a newer entry) and loading. Carries selected().
    boost::signals2::signal<void(int selected)> selectionChanged;
    // After load or loadFrom, whatever was read: the entries are all new. Raised before the
    // selectionChanged of the same load.
    boost::signals2::signal<void()> loaded;

private:
    std::string titleFor(lib::LocalSeconds now) const;
    void readEntries(std::string_view bytes);
    bool isEntry(int index) const;

    const Configuration& configuration_;
    const GazOptions& gases_;
    const CalculatedGazes& results_;
    std::vector<std::unique_ptr<MyGraphics>> entries_;
    int selected_ = -1;
    std::function<lib::LocalSeconds()> clock_ = lib::localSecondsNow;
};
