#pragma once

#include "settings/Inifile.h"
#include "settings/Ioebase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lib::opt_detailed {

// How one kind of value is written as text and read back; reading gives nothing for text that
// is no such value, and the variable then keeps what it holds.
template <typename T>
struct ValueText {
    std::string (*write)(const T&);
    std::optional<T> (*read)(std::string_view);
};

extern const ValueText<std::int32_t> integerText;
extern const ValueText<std::uint32_t> colorText;
extern const ValueText<bool> boolText;
extern const ValueText<float> floatText;
extern const ValueText<double> doubleText;
extern const ValueText<std::string> stringText;

template <typename T, const ValueText<T>& Text>
class ioe_value : public ioe_base {
public:
    ioe_value(T& variable, std::string section, std::string key)
        : ioe_base(std::move(section), std::move(key)), variable_(variable)
    {
    }

    void save(IniFile& ini) const override { ini.writeString(section, key, Text.write(variable_)); }

    void load(IniFile& ini) override
    {
        if (const auto text = ini.read(section, key))
            if (const auto value = Text.read(*text))
                variable_ = *value;
    }

private:
    T& variable_;
};

using ioe_int = ioe_value<std::int32_t, integerText>;
using ioe_TColor = ioe_value<std::uint32_t, colorText>;
using ioe_bool = ioe_value<bool, boolText>;
using ioe_float = ioe_value<float, floatText>;
using ioe_double = ioe_value<double, doubleText>;
using ioe_String = ioe_value<std::string, stringText>;

} // namespace lib::opt_detailed
