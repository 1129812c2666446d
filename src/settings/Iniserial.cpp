#include "settings/Iniserial.h"

#include "settings/Inifile.h"

namespace lib {
namespace {

std::string itemKey(int number)
{
    return "item" + std::to_string(number);
}

// A damaged element must not end the load or the save of the others.
template <typename Action>
void guarded(Action&& action) noexcept
{
    try {
        action();
    } catch (...) {
    }
}

} // namespace

void IniSerialData::saveList(const std::filesystem::path& path)
{
    IniFile ini(path);
    saveList(ini);
}

void IniSerialData::loadList(const std::filesystem::path& path)
{
    IniFile ini(path);
    loadList(ini);
}

void IniSerialData::saveList(IniFile& ini)
{
    ini.eraseSection(section);
    const int size = count();
    ini.writeInteger(section, "size", size);
    for (int i = 1; i <= size; ++i)
        guarded([&] { ini.writeString(section, itemKey(i), '"' + item(i - 1).toText() + '"'); });
    guarded([&] { afterSave(ini); });
}

void IniSerialData::loadList(IniFile& ini)
{
    const int size = ini.readInteger(section, "size", -1);
    if (size < 0 || size > maximumSize)
        return;
    try {
        resize(size);
    } catch (...) {
        return;
    }
    for (int i = 1; i <= size; ++i)
        guarded([&] { item(i - 1).fromText(ini.readString(section, itemKey(i), "")); });
    guarded([&] { afterLoad(ini); });
}

void IniSerialData::afterSave(IniFile&) {}
void IniSerialData::afterLoad(IniFile&) {}

} // namespace lib
