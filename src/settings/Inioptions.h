#pragma once

#include "settings/Inioptionselements.h"

#include <string>
#include <string_view>

namespace lib {

class IniFile;

// An option set: member variables bound to keys of a settings file, declared once in
// declare() and loaded or saved together. Loading and saving never report errors: an option
// that fails keeps its value and the others go on; a missing file leaves every default.
class ini_options {
public:
    virtual ~ini_options() = default;

    // A blank path does nothing and leaves fileName as it is.
    void load(std::string_view path);
    void save(std::string_view path);
    void loadFrom(IniFile& ini);
    void saveTo(IniFile& ini);

    std::string fileName;

protected:
    virtual void declare(ini_options_elements& list) = 0;
    virtual void afterSave(IniFile& ini);
    virtual void afterLoad(IniFile& ini);
    virtual void beforeSave(IniFile& ini);
    virtual void beforeLoad(IniFile& ini);
};

} // namespace lib
