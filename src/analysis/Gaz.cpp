#include "analysis/Gaz.h"

#include "library/Stringcontainer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A window a float cannot hold is as unreadable as garbage, and narrowing it would be undefined.
float readSeconds(lib::StringContainer& tokens)
{
    const double value = tokens.getReal();
    return std::fabs(value) <= std::numeric_limits<float>::max() ? static_cast<float>(value) : 0.0f;
}

// The token list has no escape for a double quote: one in a text would end the token early and
// shift every number after it.
std::string storable(std::string text)
{
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

} // namespace

std::string Gaz::toText() const
{
    lib::StringContainer tokens;
    tokens.add(storable(name));
    tokens.add(storable(label));
    tokens.add(static_cast<double>(nominalStart));
    tokens.add(static_cast<double>(nominalEnd));
    // Colours are signed 32-bit in the file, as the colour options write them.
    tokens.add(static_cast<std::int32_t>(colour));
    tokens.add(rangeLow);
    tokens.add(rangeHigh);
    return tokens.join();
}

void Gaz::fromText(std::string_view text)
{
    lib::StringContainer tokens;
    tokens.split(text);
    name = tokens.get();
    label = tokens.get();
    nominalStart = readSeconds(tokens);
    nominalEnd = readSeconds(tokens);
    colour = static_cast<std::uint32_t>(tokens.getInt());
    rangeLow = tokens.getReal();
    rangeHigh = tokens.getReal();
}

void Gaz::resetIntegrationWindow()
{
    integrationStart = nominalStart;
    integrationEnd = nominalEnd;
}
