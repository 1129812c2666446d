#include "reglisten/Messageprinter.h"

#include "library/Codepage.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

namespace {

using reglisten::MessagePrinter;
using namespace std::chrono_literals;

std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

TEST(MessagePrinter, StampsLocalTimeToTheMillisecond)
{
    EXPECT_EQ(MessagePrinter::timeStamp(localTime(2024, 3, 5, 7, 8, 9) + 45ms), "2024-03-05 07:08:09.045");
    EXPECT_EQ(MessagePrinter::timeStamp(localTime(1999, 12, 31, 23, 59, 59) + 999ms + 900us),
              "1999-12-31 23:59:59.999");
}

TEST(MessagePrinter, CutsTheTextIntoLinesAndShowsControlBytes)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {lib::toCp1251("метан_абс=0,1234\r\nсумм_газ=0,5\r\n") + '\0', {"метан_абс=0,1234", "сумм_газ=0,5"}},
        {lib::toCp1251("сумм_газ2=1,5") + '\0', {"сумм_газ2=1,5"}},
        // A lone LF ends a line as well; an empty line inside stays.
        {std::string("a=1\nb=2\r\n\r\nc=3") + '\0', {"a=1", "b=2", "", "c=3"}},
        // Only the one 0 byte that ends the message is taken off.
        {std::string("a\0b\0\0", 5), {"a\\x00b\\x00"}},
        {"a=1\rb=2\x1b[2J\tx\x7f", {"a=1\\x0Db=2\\x1B[2J\tx\\x7F"}},
        {std::string(1, '\0'), {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(MessagePrinter::textLines(c.bytes), c.lines);
    }
}

TEST(MessagePrinter, OneEntryPerMessageWithIndentedContinuationLines)
{
    const auto when = localTime(2024, 5, 1, 12, 0, 0) + 123ms;
    EXPECT_EQ(MessagePrinter::formatMessage(when, "mailslot", lib::toCp1251("операция=start\r\ndepth=2500.5\r\n") + '\0'),
              "2024-05-01 12:00:00.123 mailslot: операция=start\n    depth=2500.5\n");
    EXPECT_EQ(MessagePrinter::formatMessage(when, "udp 10.0.0.2:5000", std::string(1, '\0')),
              "2024-05-01 12:00:00.123 udp 10.0.0.2:5000: (empty)\n");
    // A sender that forgets the ending 0 byte is worth knowing about.
    EXPECT_EQ(MessagePrinter::formatMessage(when, "mailslot", "x=1"),
              "2024-05-01 12:00:00.123 mailslot: x=1\n    (no 0 byte at the end)\n");

    std::ostringstream out;
    MessagePrinter printer(out);
    printer.printMessage(when, "mailslot", "a=1\r\nb=2");
    printer.printEvent(when, "tcp 127.0.0.1:4000", "total gas query answered: сумм_газ2=1.5");
    EXPECT_EQ(out.str(), "2024-05-01 12:00:00.123 mailslot: a=1\n    b=2\n    (no 0 byte at the end)\n"
                         "2024-05-01 12:00:00.123 tcp 127.0.0.1:4000: total gas query answered: сумм_газ2=1.5\n");
}

} // namespace
