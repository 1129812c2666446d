#pragma once

#include <string>

namespace lib {

class IniFile;

namespace opt_detailed {

// One variable bound to a section and key of a settings file.
class ioe_base {
public:
    ioe_base(std::string section, std::string key) : section(std::move(section)), key(std::move(key)) {}
    virtual ~ioe_base() = default;

    virtual void save(IniFile& ini) const = 0;
    virtual void load(IniFile& ini) = 0;

    const std::string section;
    const std::string key;
};

} // namespace opt_detailed
} // namespace lib
