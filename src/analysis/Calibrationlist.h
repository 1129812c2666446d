#pragma once

#include "analysis/Gazetalline.h"
#include "library/Heavyvector.h"
#include "settings/Iniserial.h"

#include <functional>

// The calibration entries as the list of section "calibration": the part of the calibration
// store that is stored item by item. Works on entries it does not own, for one load or save.
class CalibrationList : public lib::IniSerialData {
public:
    static constexpr const char* sectionName = "calibration";

    // loaded runs after every load that replaced the entries. A stored size above maximumEntries
    // leaves the entries as they are.
    CalibrationList(lib::heavy_vector<GazEtalLine>& entries, int maximumEntries, std::function<void()> loaded);

protected:
    int count() const override;
    GazEtalLine& item(int index) override;
    void resize(int size) override;
    void afterLoad(lib::IniFile& ini) override;

private:
    lib::heavy_vector<GazEtalLine>& entries_;
    int maximumEntries_;
    std::function<void()> loaded_;
};
