#include "settings/Ioevalue.h"

#include "library/Numstr.h"

#include <cmath>
#include <limits>

namespace lib::opt_detailed {
namespace {

std::optional<float> readFloat(std::string_view text)
{
    const auto value = parseRegionalReal(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<bool> readBool(std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<std::uint32_t> readColor(std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

} // namespace

const ValueText<std::int32_t> integerText{
    [](const std::int32_t& v) { return std::to_string(v); },
    [](std::string_view text) { return parseInteger(text); }};

const ValueText<std::uint32_t> colorText{
    [](const std::uint32_t& v) { return std::to_string(static_cast<std::int32_t>(v)); }, readColor};

const ValueText<bool> boolText{[](const bool& v) { return std::string(v ? "1" : "0"); }, readBool};

const ValueText<float> floatText{[](const float& v) { return formatGeneral(static_cast<double>(v)); }, readFloat};

const ValueText<double> doubleText{
    [](const double& v) { return formatGeneral(v); },
    [](std::string_view text) { return parseRegionalReal(text); }};

// Quoted, so that leading and trailing blanks survive the trimming of a read.
const ValueText<std::string> stringText{
    [](const std::string& v) { return '"' + v + '"'; },
    [](std::string_view text) { return std::optional<std::string>(text); }};

} // namespace lib::opt_detailed
