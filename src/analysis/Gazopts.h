#pragma once

#include "analysis/Gaz.h"
#include "library/Heavyvector.h"
#include "library/Lockobject.h"
#include "settings/Iniserial.h"

#include <boost/signals2/signal.hpp>

#include <cstddef>
#include <vector>

// The gas table in elution order, stored in section "газ" of the settings file. The order is
// the order of results, chromatogram marks, calibration columns and registration keys
// everywhere. Created holding the default table.
//
// Saving erases the whole section, the program settings' "min_gaz_value" with it, until the
// program settings are saved again (their afterSave writes that key back): save both.
class GazOptions : public lib::IniSerialData {
public:
    static constexpr const char* sectionName = "газ";
    // A section that claims more gases is damage and left alone, like one without a size: every
    // calibration entry grows to one point per gas, so the table's size multiplies memory.
    static constexpr int maximumGases = 1000;

    // bufferLock is the acquisition buffer's lock, under which the calculation reads windows.
    explicit GazOptions(lib::lock_object& bufferLock);

    int count() const override;
    // Both throw std::out_of_range for an index outside the table.
    Gaz& item(int index) override;
    const Gaz& gas(std::size_t index) const;

    // Replaces the table by the default six gases and announces the change.
    void restoreDefaults();
    // The operator's new window for one gas, nominal and working alike; announces the change of
    // times once the lock is released.
    void setWindow(int index, float start, float end);
    // The operator's new table, element by element (the first ones keep their place), under the
    // buffer's lock. Once it is released, announces a new list only when the count, a name or a
    // label changed (the export starts a new header on it), and the times always.
    void replaceTable(const std::vector<Gaz>& gazes);

    lib::heavy_vector<Gaz> Gazes;
    // Main thread, where the table is edited or loaded.
    boost::signals2::signal<void()> gazListChanged;
    boost::signals2::signal<void()> gazTimesChanged;

protected:
    // Throws std::length_error above maximumGases, which leaves the table as it is.
    void resize(int size) override;
    // Working windows go back to nominal, an emptied table to the defaults.
    void afterLoad(lib::IniFile& ini) override;

private:
    void installDefaults();

    lib::lock_object& bufferLock_;
};
