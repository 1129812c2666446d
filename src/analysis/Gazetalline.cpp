#include "analysis/Gazetalline.h"

#include "library/Stringcontainer.h"

#include <algorithm>
#include <cstddef>

namespace {

// Points the remaining tokens can fill; a last concentration without its area still counts,
// the area reading as 0 like any missing token.
std::size_t pointsPresent(const lib::StringContainer& tokens)
{
    const std::size_t read = static_cast<std::size_t>(std::max(tokens.cursor(), 0));
    const std::size_t total = tokens.tokens().size();
    return read < total ? (total - read + 1) / 2 : 0;
}

// The token list has no escape for a double quote: one in the dilution would end the token early
// and shift every number after it.
std::string storable(std::string text)
{
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

} // namespace

std::string GazEtalLine::toText() const
{
    lib::StringContainer tokens;
    tokens.add(storable(dilution));
    tokens.add(repeats);
    tokens.add(static_cast<std::int32_t>(points.size()));
    for (const GazEtalPoint& point : points) {
        tokens.add(point.concentration);
        tokens.add(point.area);
    }
    return tokens.join();
}

void GazEtalLine::fromText(std::string_view text)
{
    lib::StringContainer tokens;
    tokens.split(text);
    dilution = tokens.get();
    repeats = tokens.getInt();
    const std::int32_t stated = tokens.getInt();
    const std::size_t count = stated > 0 ? std::min(static_cast<std::size_t>(stated), pointsPresent(tokens)) : 0;
    points.assign(count, GazEtalPoint{});
    for (GazEtalPoint& point : points) {
        point.concentration = tokens.getReal();
        point.area = tokens.getReal();
    }
}
