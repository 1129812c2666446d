#pragma once

#include "library/Heavyvector.h"
#include "settings/Ioebase.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace lib {

// The bindings an option set declares, in the order its keys are written. Lives only for one
// load or save.
class ini_options_elements {
public:
    void addInt(std::int32_t& variable, std::string section, std::string key);
    void addBool(bool& variable, std::string section, std::string key);
    void addColor(std::uint32_t& variable, std::string section, std::string key);
    void addFloat(float& variable, std::string section, std::string key);
    void addDouble(double& variable, std::string section, std::string key);
    void addString(std::string& variable, std::string section, std::string key);
    void addRaw(void* block, std::size_t size, std::string section, std::string key);

    template <typename T>
        requires std::is_trivially_copyable_v<T>
    void addRaw(T& variable, std::string section, std::string key)
    {
        addRaw(&variable, sizeof(T), std::move(section), std::move(key));
    }

    heavy_vector<opt_detailed::ioe_base>& bindings() { return bindings_; }

private:
    heavy_vector<opt_detailed::ioe_base> bindings_;
};

} // namespace lib
