#include "library/Strworks.h"

namespace lib {
namespace {

constexpr std::string_view blanks = " \t\r\n";

// Takes the next field off the front of rest (already trimmed) and trims what is left.
std::string_view takeField(std::string_view& rest, char separator)
{
    std::string_view field;
    if (rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) {
            field = rest.substr(1);
            rest = {};
            return field;
        }
        field = rest.substr(1, close - 1);
        rest = trim(rest.substr(close + 1));
        if (!rest.empty() && rest.front() == separator)  // the separator after a quoted field
            rest = trim(rest.substr(1));
        return field;
    }
    const std::size_t stop = rest.find(separator);
    field = trim(rest.substr(0, stop));
    rest = stop == std::string_view::npos ? std::string_view{} : trim(rest.substr(stop + 1));
    return field;
}

} // namespace

std::string_view trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string getField(std::string_view text, int index, char separator)
{
    if (index < 0)
        return {};
    std::string_view rest = trim(text);
    for (int i = 0; !rest.empty(); ++i) {
        const std::string_view field = takeField(rest, separator);
        if (i == index)
            return std::string(field);
    }
    return {};
}

std::vector<std::string> splitFields(std::string_view text, char separator)
{
    std::vector<std::string> fields;
    for (std::string_view rest = trim(text); !rest.empty();)
        fields.emplace_back(takeField(rest, separator));
    return fields;
}

} // namespace lib
