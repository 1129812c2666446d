#include "analysis/Calibrationlist.h"

#include <stdexcept>
#include <utility>

CalibrationList::CalibrationList(lib::heavy_vector<GazEtalLine>& entries, int maximumEntries,
                                 std::function<void()> loaded)
    : IniSerialData(sectionName), entries_(entries), maximumEntries_(maximumEntries), loaded_(std::move(loaded))
{
}

int CalibrationList::count() const
{
    return static_cast<int>(entries_.size());
}

GazEtalLine& CalibrationList::item(int index)
{
    return entries_[static_cast<std::size_t>(index)];
}

void CalibrationList::resize(int size)
{
    if (size > maximumEntries_)
        throw std::length_error("more calibration entries than a calibration has");
    entries_.resize(static_cast<std::size_t>(size));
}

void CalibrationList::afterLoad(lib::IniFile&)
{
    if (loaded_)
        loaded_();
}
