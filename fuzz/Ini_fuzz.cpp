// Settings files as they may come from a damaged disk or a careless editor: the station loads
// them at start-up, writes them back, and must neither crash nor lose its footing.
#include "library/Decimalseparator.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "settings/Iniserial.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

struct AnyItem : lib::IniSerialItem {
    std::string text;
    std::string toText() const override { return text; }
    void fromText(std::string_view t) override { text = t; }
};

struct AnyList : lib::IniSerialData {
    AnyList() : IniSerialData("газ") {}
    std::vector<AnyItem> items;
    int count() const override { return static_cast<int>(items.size()); }
    lib::IniSerialItem& item(int index) override { return items.at(static_cast<std::size_t>(index)); }
    void resize(int size) override { items.resize(static_cast<std::size_t>(size)); }
};

} // namespace

// Loads settings and the gas list the way the station does and writes them back.
std::string loadAndSave(std::string_view bytes)
{
    auto ini = lib::IniFile::inMemory(bytes);
    Configuration configuration;
    configuration.loadFrom(ini);
    configuration.applyDeviceTimeDefaults();
    configuration.loadFrom(ini);
    (void)configuration.windowCaption();
    (void)configuration.cycleDuration();
    AnyList list;
    list.loadList(ini);
    list.saveList(ini);
    configuration.saveTo(ini);
    return ini.text();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lib::setDecimalSeparator(size % 2 ? ',' : '.');
    const std::string first = loadAndSave(std::string_view(reinterpret_cast<const char*>(data), size));
    // What the station wrote must come back unchanged once sections have settled in their order.
    const std::string second = loadAndSave(first);
    if (loadAndSave(second) != second)
        std::abort();
    return 0;
}
