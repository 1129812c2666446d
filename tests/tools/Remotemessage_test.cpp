#include "remote/Remotemessage.h"

#include "library/Codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace {

using remote::RemoteMessage;

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments)
        line += argument + ' ';
    return line;
}

TEST(RemoteMessage, BuildsTheLinesOfEveryCommand)
{
    struct Accepted {
        std::vector<std::string> arguments;
        std::string text;
    };
    const std::vector<Accepted> cases{
        {{"start"}, "operation=start\r\n"},
        {{"start", "--depth", "2500.5"}, "operation=start\r\ndepth=2500.5\r\n"},
        // The depth goes out as typed: the station reads a comma as well.
        {{"--depth=1234,50", "start"}, "operation=start\r\ndepth=1234,50\r\n"},
        {{"mode", "0"}, "operation=mode\r\nvalue=0\r\n"},
        {{"mode", "4", "--depth", "17"}, "operation=mode\r\nvalue=4\r\ndepth=17\r\n"},
        {{"period", "600"}, "operation=time_period\r\ntime_period=600\r\n"},
        {{"period", "2147483647"}, "operation=time_period\r\ntime_period=2147483647\r\n"},
        {{"depth", "-3,5"}, "operation=depth\r\ndepth=-3,5\r\n"},
        {{"--raw", "operation=START\ndepth=1"}, "operation=START\ndepth=1"},
        {{"--raw", ""}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = RemoteMessage::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<RemoteMessage>(parsed)) << std::get<std::string>(parsed);
        const auto& message = std::get<RemoteMessage>(parsed);
        EXPECT_FALSE(message.helpWanted());
        EXPECT_EQ(message.text(), c.text);
        EXPECT_EQ(message.bytes(), c.text + '\0');
    }
}

TEST(RemoteMessage, RefusesWhatTheStationCouldNotUse)
{
    struct Refused {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Refused> cases{
        {{}, "a command is missing"},
        {{"stop"}, "unknown command: stop"},
        {{"mode"}, "mode needs N"},
        {{"mode", "5"}, "from 0 to 4"},
        {{"mode", "-1"}, "from 0 to 4"},
        {{"mode", "02"}, "from 0 to 4"},
        {{"mode", "1", "2"}, "unexpected argument: 2"},
        {{"start", "now"}, "unexpected argument: now"},
        {{"period", "0"}, "period needs a whole number"},
        {{"period", "-60"}, "period needs"},
        {{"period", "1.5"}, "period needs"},
        {{"period", "2147483648"}, "period needs"},
        {{"period", "600", "--depth", "5"}, "--depth goes with start or mode"},
        {{"depth", "12.5.3"}, "depth needs a depth"},
        {{"depth", "1,"}, "depth needs"},
        {{"depth", "abc"}, "depth needs"},
        {{"depth", ""}, "depth needs"},
        {{"depth", "1", "--depth", "1"}, "--depth goes with start or mode"},
        {{"start", "--depth"}, "--depth needs D"},
        {{"start", "--depth", "deep"}, "--depth needs a depth"},
        {{"start", "--depth", "1", "--depth", "2"}, "--depth is given twice"},
        {{"--raw", "x", "start"}, "--raw goes alone"},
        {{"--raw", "x", "--depth", "1"}, "--raw goes alone"},
        {{"--bogus"}, "unknown option: --bogus"},
        {{"--help=yes"}, "--help takes no value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = RemoteMessage::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_NE(std::get<std::string>(parsed).find(c.says), std::string::npos) << std::get<std::string>(parsed);
    }
}

TEST(RemoteMessage, HelpWinsOverEverythingElse)
{
    const std::vector<std::vector<std::string>> cases{{"--help"}, {"mode", "9", "--help"}};
    for (const auto& arguments : cases) {
        const auto parsed = RemoteMessage::parse(arguments);
        ASSERT_TRUE(std::holds_alternative<RemoteMessage>(parsed));
        EXPECT_TRUE(std::get<RemoteMessage>(parsed).helpWanted());
    }
    EXPECT_EQ(RemoteMessage::usage().rfind("Usage: nivra-remote", 0), 0u);
}

TEST(RemoteMessage, RawTextGoesOutInCp1251AndReadsBackLineByLine)
{
    const std::string text = "operation=старт\r\nглубина=1\nlast";
    const auto parsed = RemoteMessage::parse({"--raw", text});
    ASSERT_TRUE(std::holds_alternative<RemoteMessage>(parsed));
    const auto& message = std::get<RemoteMessage>(parsed);
    EXPECT_EQ(message.bytes(), lib::toCp1251(text) + '\0');
    EXPECT_EQ(message.bytes().size(), text.size() - 12 + 1);  // twelve Cyrillic letters, one byte each
    EXPECT_EQ(message.readableLines(), (std::vector<std::string>{"operation=старт", "глубина=1", "last"}));

    const auto built = std::get<RemoteMessage>(RemoteMessage::parse({"mode", "3", "--depth", "10,5"}));
    EXPECT_EQ(built.readableLines(), (std::vector<std::string>{"operation=mode", "value=3", "depth=10,5"}));
}

} // namespace
