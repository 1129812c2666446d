// Token lists, fields and numbers as typed by an operator or stored by an older station.
#include "library/Codepage.h"
#include "library/Decimalseparator.h"
#include "library/Numstr.h"
#include "library/Stringcontainer.h"
#include "library/Strworks.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool splitsCleanly(const std::string& token)
{
    return token.find_first_of("\"\t\r\n") == std::string::npos;
}

void checkJoinSplit(std::string_view text)
{
    lib::StringContainer tokens;
    tokens.split(text);
    for (const auto& token : tokens.tokens())
        if (!splitsCleanly(token))
            return;
    lib::StringContainer again;
    again.split(tokens.join());
    if (again.tokens() != tokens.tokens())
        std::abort();
    while (tokens.cursor() <= static_cast<int>(tokens.tokens().size()))
        (void)tokens.getInt(lib::StringContainer::atCursor, 0);
}

void checkNumbers(std::string_view text)
{
    const double value = lib::parseReal(text);
    for (const int decimals : {-1, 0, 3})
        (void)lib::formatReal(value, decimals, 12);
    if (const auto regional = lib::parseRegionalReal(text)) {
        const auto back = lib::parseRegionalReal(lib::formatGeneral(*regional));
        if (!back)
            std::abort();
    }
    (void)lib::parseInteger(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = static_cast<char>(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    lib::setDecimalSeparator(separator == ',' ? ',' : '.');

    checkJoinSplit(text);
    checkNumbers(text);
    const auto fields = lib::splitFields(text, separator);
    if (!fields.empty() && lib::getField(text, static_cast<int>(fields.size()) - 1, separator) != fields.back())
        std::abort();

    const std::string utf8 = lib::fromCp1251(text);
    (void)lib::toCp1251(utf8);
    (void)lib::foldCaseCp1251(text);
    return 0;
}
