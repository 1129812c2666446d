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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lib::setDecimalSeparator(size % 2 ? ',' : '.');

    auto ini = lib::IniFile::inMemory(bytes);
    Configuration configuration;
    configuration.loadFrom(ini);
    configuration.applyDeviceTimeDefaults();
    configuration.loadFrom(ini);
    (void)configuration.windowCaption();
    (void)configuration.cycleDuration();
    configuration.saveTo(ini);

    AnyList list;
    list.loadList(ini);
    list.saveList(ini);

    // What the station wrote must read back to the same settings.
    auto written = lib::IniFile::inMemory(ini.text());
    Configuration reloaded;
    reloaded.loadFrom(written);
    if (reloaded.programmeTimes != configuration.programmeTimes || reloaded.deviceType != configuration.deviceType
        || reloaded.baudRate != configuration.baudRate)
        std::abort();
    return 0;
}
