#include "settings/Inioptions.h"

#include "library/Strworks.h"
#include "settings/Inifile.h"

namespace lib {
namespace {

// One option's failure must not stop the others nor reach the caller.
template <typename Action>
void guarded(Action&& action) noexcept
{
    try {
        action();
    } catch (...) {
    }
}

} // namespace

void ini_options::load(std::string_view path)
{
    if (trim(path).empty())
        return;
    fileName = path;
    guarded([&] {
        IniFile ini(fileName);
        loadFrom(ini);
    });
}

void ini_options::save(std::string_view path)
{
    if (trim(path).empty())
        return;
    fileName = path;
    guarded([&] {
        IniFile ini(fileName);
        saveTo(ini);
    });
}

void ini_options::loadFrom(IniFile& ini)
{
    guarded([&] { beforeLoad(ini); });
    ini_options_elements list;
    guarded([&] { declare(list); });
    for (auto& binding : list.bindings())
        guarded([&] { binding.load(ini); });
    guarded([&] { afterLoad(ini); });
}

void ini_options::saveTo(IniFile& ini)
{
    guarded([&] { beforeSave(ini); });
    ini_options_elements list;
    guarded([&] { declare(list); });
    for (const auto& binding : list.bindings())
        guarded([&] { binding.save(ini); });
    guarded([&] { afterSave(ini); });
}

void ini_options::afterSave(IniFile&) {}
void ini_options::afterLoad(IniFile&) {}
void ini_options::beforeSave(IniFile&) {}
void ini_options::beforeLoad(IniFile&) {}

} // namespace lib
