#pragma once

#include <string>
#include <string_view>

namespace lib {

// One element of a list stored in a settings section, as one line of text.
class IniSerialItem {
public:
    virtual ~IniSerialItem() = default;
    virtual std::string toText() const = 0;
    virtual void fromText(std::string_view text) = 0;
};

} // namespace lib
