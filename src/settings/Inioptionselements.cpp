#include "settings/Inioptionselements.h"

#include "settings/Ioepod.h"
#include "settings/Ioevalue.h"

namespace lib {

using namespace opt_detailed;

void ini_options_elements::addInt(std::int32_t& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_int>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addBool(bool& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_bool>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addColor(std::uint32_t& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_TColor>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addFloat(float& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_float>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addDouble(double& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_double>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addString(std::string& variable, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_String>(variable, std::move(section), std::move(key));
}

void ini_options_elements::addRaw(void* block, std::size_t size, std::string section, std::string key)
{
    bindings_.emplace_back<ioe_pod>(block, size, std::move(section), std::move(key));
}

} // namespace lib
