#include "library/Decimalseparator.h"

#include <atomic>
#include <langinfo.h>
#include <locale.h>

namespace lib {
namespace {

std::atomic<char>& separatorSetting()
{
    static std::atomic<char> separator{'.'};
    return separator;
}

} // namespace

char decimalSeparator()
{
    return separatorSetting().load(std::memory_order_relaxed);
}

void setDecimalSeparator(char separator)
{
    separatorSetting().store(separator, std::memory_order_relaxed);
}

char systemDecimalSeparator()
{
    const locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    // Only a one-byte separator can live in a CP1251 file; anything else falls back to a point.
    const char separator = (radix && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : '.';
    freelocale(locale);
    return separator;
}

} // namespace lib
