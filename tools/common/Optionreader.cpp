#include "common/Optionreader.h"

namespace tools {

OptionReader::Error OptionReader::takeValue(std::string_view valueName, std::string_view& value)
{
    const std::string_view option = argument();
    const auto equals = option.find('=');
    ++at_;
    if (equals != std::string_view::npos)
        value = option.substr(equals + 1);
    else if (!atEnd())
        value = arguments_[at_++];
    else
        return std::string(option) + " needs " + std::string(valueName);
    return std::nullopt;
}

OptionReader::Error OptionReader::takeSwitch()
{
    const std::string_view option = argument();
    const auto equals = option.find('=');
    ++at_;
    if (equals != std::string_view::npos)
        return std::string(option.substr(0, equals)) + " takes no value";
    return std::nullopt;
}

bool OptionReader::given(std::string_view name) const
{
    return std::find(given_.begin(), given_.end(), name) != given_.end();
}

std::string OptionReader::usageLine(std::string_view name, std::string_view valueName, std::string_view help,
                                    std::size_t column)
{
    std::string shown(name);
    if (!valueName.empty())
        shown += " " + std::string(valueName);
    const std::size_t gap = shown.size() < column ? column - shown.size() : 1;
    return "  " + shown + std::string(gap, ' ') + std::string(help) + '\n';
}

} // namespace tools
