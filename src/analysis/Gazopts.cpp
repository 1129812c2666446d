#include "analysis/Gazopts.h"

#include "library/Locker.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace {

struct DefaultGaz {
    const char* name;
    const char* label;
    float start;
    float end;
    std::uint32_t colour;
};

constexpr std::array<DefaultGaz, 6> defaultTable{{
    {"метан", "C1", 10, 15, 0x0000FF},
    {"этан", "C2", 17, 20, 0xFF0000},
    {"пропан", "C3", 34, 40, 0x008000},
    {"бутан", "C4", 48, 54, 0x00FFFF},
    {"пентан", "C5", 60, 65, 0xFF00FF},
    {"гексан", "C6", 70, 75, 0x000000},
}};

} // namespace

GazOptions::GazOptions(lib::lock_object& bufferLock) : IniSerialData(sectionName), bufferLock_(bufferLock)
{
    installDefaults();
}

int GazOptions::count() const
{
    return static_cast<int>(Gazes.size());
}

Gaz& GazOptions::item(int index)
{
    return Gazes[static_cast<std::size_t>(index)];
}

const Gaz& GazOptions::gas(std::size_t index) const
{
    return Gazes[index];
}

void GazOptions::installDefaults()
{
    Gazes.clear();
    for (const auto& entry : defaultTable) {
        Gaz& gaz = Gazes.emplace_back();
        gaz.name = entry.name;
        gaz.label = entry.label;
        gaz.nominalStart = entry.start;
        gaz.nominalEnd = entry.end;
        gaz.colour = entry.colour;
        gaz.resetIntegrationWindow();
    }
}

void GazOptions::restoreDefaults()
{
    installDefaults();
    gazListChanged();
}

void GazOptions::setWindow(int index, float start, float end)
{
    {
        const lib::Locker hold(bufferLock_);
        Gaz& gaz = item(index);
        gaz.nominalStart = gaz.integrationStart = start;
        gaz.nominalEnd = gaz.integrationEnd = end;
    }
    gazTimesChanged();
}

void GazOptions::replaceTable(const std::vector<Gaz>& gazes)
{
    bool listChanged = gazes.size() != Gazes.size();
    {
        const lib::Locker hold(bufferLock_);
        Gazes.resize(gazes.size());
        for (std::size_t i = 0; i < gazes.size(); ++i) {
            listChanged = listChanged || Gazes[i].name != gazes[i].name || Gazes[i].label != gazes[i].label;
            Gazes[i] = gazes[i];
        }
    }
    if (listChanged)
        gazListChanged();
    gazTimesChanged();
}

void GazOptions::resize(int size)
{
    if (size > maximumGases)
        throw std::length_error("gas table larger than any chromatograph separates");
    Gazes.resize(static_cast<std::size_t>(size));
}

void GazOptions::afterLoad(lib::IniFile&)
{
    // A correction left over from an earlier run must not outlive it.
    for (Gaz& gaz : Gazes)
        gaz.resetIntegrationWindow();
    if (Gazes.empty())
        restoreDefaults();
    else
        gazListChanged();
}
