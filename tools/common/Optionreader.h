#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tools {

// Walks the command line of a companion program: options written "--name value" or
// "--name=value", switches without a value, and the numbers they carry checked against their
// range. The texts of its errors are the ones the programs print.
class OptionReader {
public:
    using Error = std::optional<std::string>;  // what is wrong; nothing when all is well

    // One row of a program's option table; Settings receives the values.
    template <typename Settings>
    struct Option {
        std::string_view name;
        std::string_view valueName;  // empty: a switch
        std::string_view help;
        Error (*apply)(Settings& settings, std::string_view value);
    };

    // The arguments must outlive the reader and the values it hands out.
    explicit OptionReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool atEnd() const { return at_ >= arguments_.size(); }
    // The argument under the reader, whole.
    std::string_view argument() const { return arguments_[at_]; }
    // Its name: the part before any "=".
    std::string_view name() const { return argument().substr(0, argument().find('=')); }
    // Moves past an argument that is no option.
    void skip() { ++at_; }
    // Takes the option under the reader and its value: the text after "=", else the next argument.
    Error takeValue(std::string_view valueName, std::string_view& value);
    // Takes the switch under the reader, which must come without "=".
    Error takeSwitch();

    // Reads every argument left as an option of the table and applies it to settings.
    template <typename Settings, std::size_t size>
    Error readAll(const std::array<Option<Settings>, size>& table, Settings& settings);
    // Whether readAll() applied the option.
    bool given(std::string_view name) const;

    // The row called name of a table whose rows have names; null when there is none.
    template <typename Row, std::size_t size>
    static const Row* find(const std::array<Row, size>& table, std::string_view name);

    // "  NAME VALUE", padded to column, then the help: one line of a usage text.
    static std::string usageLine(std::string_view name, std::string_view valueName, std::string_view help,
                                 std::size_t column);
    template <typename Settings, std::size_t size>
    static std::string usageLines(const std::array<Option<Settings>, size>& table, std::size_t column);

    // The whole text as a number; nothing when any of it is not.
    template <typename Number>
    static std::optional<Number> parseNumber(std::string_view text);
    // A number from low to high into target, else "needs WHAT from LOW to HIGH".
    template <typename Number>
    static Error readBounded(std::string_view text, Number low, Number high, Number& target, std::string_view what);
    // The same into a narrower or optional target, through a number of the type the text is read as.
    template <typename Number, typename Target>
    static Error readInto(std::string_view text, Number low, Number high, Target& target, std::string_view what);

private:
    const std::vector<std::string>& arguments_;
    std::size_t at_ = 0;
    std::vector<std::string_view> given_;
};

template <typename Settings, std::size_t size>
OptionReader::Error OptionReader::readAll(const std::array<Option<Settings>, size>& table, Settings& settings)
{
    while (!atEnd()) {
        const Option<Settings>* option = find(table, name());
        if (!option)
            return "unknown argument: " + std::string(argument());
        std::string_view value;
        if (auto error = option->valueName.empty() ? takeSwitch() : takeValue(option->valueName, value))
            return error;
        if (const auto error = option->apply(settings, value))
            return std::string(option->name) + ": " + *error;
        given_.push_back(option->name);
    }
    return std::nullopt;
}

template <typename Row, std::size_t size>
const Row* OptionReader::find(const std::array<Row, size>& table, std::string_view name)
{
    const auto found = std::find_if(table.begin(), table.end(), [&](const Row& row) { return row.name == name; });
    return found == table.end() ? nullptr : &*found;
}

template <typename Settings, std::size_t size>
std::string OptionReader::usageLines(const std::array<Option<Settings>, size>& table, std::size_t column)
{
    std::string lines;
    for (const auto& option : table)
        lines += usageLine(option.name, option.valueName, option.help, column);
    return lines;
}

template <typename Number>
std::optional<Number> OptionReader::parseNumber(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <typename Number>
OptionReader::Error OptionReader::readBounded(std::string_view text, Number low, Number high, Number& target,
                                              std::string_view what)
{
    const auto value = parseNumber<Number>(text);
    if (!value || !(*value >= low && *value <= high)) {
        std::ostringstream message;
        message << "needs " << what << " from " << low << " to " << high;
        return message.str();
    }
    target = *value;
    return std::nullopt;
}

template <typename Number, typename Target>
OptionReader::Error OptionReader::readInto(std::string_view text, Number low, Number high, Target& target,
                                           std::string_view what)
{
    Number value{};
    auto error = readBounded(text, low, high, value, what);
    if (!error)
        target = value;
    return error;
}

} // namespace tools
