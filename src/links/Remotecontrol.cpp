#include "links/Remotecontrol.h"

#include "library/Codepage.h"
#include "library/Numstr.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

enum Field { operationField, timePeriodField, depthField, valueField, fieldCount };

constexpr std::array<std::string_view, fieldCount> fieldNames {"operation", "time_period", "depth", "value"};

constexpr std::int32_t highestWorkMode = 4;

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<Field> fieldNamed(std::string_view name)
{
    const std::string folded = lib::foldCaseCp1251(name);
    for (std::size_t field = 0; field < fieldNames.size(); ++field)
        if (folded == fieldNames[field])
            return static_cast<Field>(field);
    return std::nullopt;
}

// The value of each known name as its first line gives it; CR LF or a lone LF ends a line.
std::array<std::optional<std::string_view>, fieldCount> fieldsOf(std::string_view text)
{
    std::array<std::optional<std::string_view>, fieldCount> fields;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const auto field = fieldNamed(trimmed(line.substr(0, equals)));
        if (field && !fields[*field])
            fields[*field] = trimmed(line.substr(equals + 1));
    }
    return fields;
}

// An interval of no seconds at all would start analyses back to back; it counts as invalid.
std::int32_t timePeriodFrom(std::optional<std::string_view> text)
{
    const auto period = text ? lib::parseInteger(*text) : std::nullopt;
    return period && *period > 0 ? *period : -1;
}

// A depth a float cannot hold would reach the results as infinity.
float depthFrom(std::optional<std::string_view> text)
{
    const double depth = text ? lib::parseReal(*text) : 0.0;
    const bool fits = std::isfinite(depth) && std::fabs(depth) <= std::numeric_limits<float>::max();
    return fits ? static_cast<float>(depth) : 0.0f;
}

std::int32_t modeFrom(std::optional<std::string_view> text)
{
    const auto mode = text ? lib::parseInteger(*text) : std::nullopt;
    return mode && *mode >= 0 && *mode <= highestWorkMode ? *mode : 2;
}

int codeOf(std::optional<std::string_view> operation)
{
    const std::string folded = operation ? lib::foldCaseCp1251(*operation) : std::string();
    if (folded == "start")
        return RemoteControl::startCode;
    if (folded == "mode")
        return RemoteControl::modeCode;
    return RemoteControl::otherCode;
}

} // namespace

RemoteControl::RemoteControl() : mailslot_(mailslotName, maximumMessageSize) {}

RemoteControl::Message RemoteControl::parse(std::string_view bytes)
{
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const auto fields = fieldsOf(text);
    Message message;
    message.code = codeOf(fields[operationField]);
    message.timePeriod = timePeriodFrom(fields[timePeriodField]);
    message.depth = depthFrom(fields[depthField]);
    message.modeValue = modeFrom(fields[valueField]);
    return message;
}

int RemoteControl::poll()
{
    if (mailslot_.waiting().count == 0)
        return noMessage;
    const auto bytes = mailslot_.read();
    if (!bytes || bytes->empty())
        return noMessage;
    const Message message = parse(*bytes);
    timePeriod_ = message.timePeriod;
    depth_ = message.depth;
    if (message.code == modeCode)
        modeValue_ = message.modeValue;
    return message.code;
}
