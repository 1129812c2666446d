#include "links/Remotecontrol.h"

#include "library/Codepage.h"
#include "platform/Mailslotclient.h"
#include "support/Testsupport.h"

#include <cmath>
#include <cstdlib>

namespace {

class RemoteControlTest : public ::testing::Test {
protected:
    RemoteControlTest() { ::setenv("NIVRA_MAILSLOT_DIR", (folder / "slots").c_str(), 1); }
    ~RemoteControlTest() override { ::unsetenv("NIVRA_MAILSLOT_DIR"); }

    static void sendMessage(std::string_view utf8)
    {
        platform::MailslotClient client(RemoteControl::mailslotName);
        client.setFallbackHost("");
        ASSERT_EQ(client.send(lib::toCp1251(utf8) + std::string(1, '\0')), platform::MailslotClient::Delivery::local);
    }

    test::TemporaryDirectory folder;
};

TEST_F(RemoteControlTest, PollReadsOneMessageAtATime)
{
    RemoteControl remote;
    ASSERT_TRUE(remote.listening()) << remote.errorText();
    EXPECT_EQ(remote.poll(), RemoteControl::noMessage);
    EXPECT_EQ(remote.timePeriod(), -1);
    EXPECT_EQ(remote.modeValue(), 0);

    sendMessage("OPERATION=START\r\nDepth=1234,5\r\n");
    sendMessage("operation=mode\r\n");
    sendMessage("time_period=600");

    EXPECT_EQ(remote.poll(), RemoteControl::startCode);
    EXPECT_FLOAT_EQ(remote.depth(), 1234.5f);
    EXPECT_EQ(remote.poll(), RemoteControl::modeCode);
    EXPECT_EQ(remote.modeValue(), 2);
    EXPECT_FLOAT_EQ(remote.depth(), 0.0f) << "every message sets the depth";
    EXPECT_EQ(remote.poll(), RemoteControl::otherCode);
    EXPECT_EQ(remote.timePeriod(), 600);

    EXPECT_EQ(remote.poll(), RemoteControl::noMessage);
    EXPECT_EQ(remote.timePeriod(), 600) << "values of the last message stay";
    EXPECT_EQ(remote.modeValue(), 2);
}

TEST_F(RemoteControlTest, SecondStationCannotTakeTheMailslot)
{
    RemoteControl first;
    RemoteControl second;
    ASSERT_TRUE(first.listening());
    EXPECT_FALSE(second.listening());
    EXPECT_FALSE(second.errorText().empty());
    sendMessage("operation=start");
    EXPECT_EQ(second.poll(), RemoteControl::noMessage);
    EXPECT_EQ(first.poll(), RemoteControl::startCode);
}

TEST(RemoteMessage, LineAndValueRules)
{
    const struct {
        const char* name;
        std::string text;
        int code;
        std::int32_t period;
        float depth;
        std::int32_t mode;
    } cases[] = {
        {"mode with value", "operation=mode\r\nvalue=3\r\n", 2, -1, 0, 3},
        {"lone line feeds", "operation=Mode\nvalue=4\ndepth=12.5", 2, -1, 12.5f, 4},
        {"first line with a name counts", "operation=start\r\noperation=mode\r\ndepth=1\r\ndepth=2", 1, -1, 1, 2},
        {"blanks around names and values", " Operation = start \r\n time_period = 30 ", 1, 30, 0, 2},
        {"no operation", "depth=2500", 3, -1, 2500, 2},
        {"unknown operation", "operation=stop", 3, -1, 0, 2},
        {"no equals sign anywhere", "operation start depth 10", 3, -1, 0, 2},
        {"text ends at a zero byte", std::string("operation=mode\0\r\nvalue=1", 24), 2, -1, 0, 2},
        {"only zeros", std::string(1024, '\0'), 3, -1, 0, 2},
        {"invalid period", "time_period=ten", 3, -1, 0, 2},
        {"period of no seconds", "time_period=0", 3, -1, 0, 2},
        {"negative period", "time_period=-600", 3, -1, 0, 2},
        {"mode out of range", "operation=mode\r\nvalue=9", 2, -1, 0, 2},
        {"mode not a number", "operation=mode\r\nvalue=x", 2, -1, 0, 2},
        {"depth nan", "depth=nan", 3, -1, 0, 2},
        {"depth beyond a float", "depth=1e308", 3, -1, 0, 2},
        {"depth with garbage", "depth=12abc", 3, -1, 0, 2},
        {"Cyrillic name is not a field", "операция=start", 3, -1, 0, 2},
    };
    for (const auto& c : cases) {
        const auto message = RemoteControl::parse(c.text);
        EXPECT_EQ(message.code, c.code) << c.name;
        EXPECT_EQ(message.timePeriod, c.period) << c.name;
        EXPECT_FLOAT_EQ(message.depth, c.depth) << c.name;
        EXPECT_EQ(message.modeValue, c.mode) << c.name;
    }
}

TEST(RemoteMessage, HostileBytesGiveDefinedResults)
{
    std::string garbage(1024, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 131 + 7) % 255 + 1);
    std::string manyLines;
    for (int i = 0; i < 5000; ++i)
        manyLines += "x=1\n";
    manyLines += "operation=start\ndepth=7";
    const std::string invalidCp1251 = "operation=\x98start\r\ndepth=\x98";

    EXPECT_EQ(RemoteControl::parse(garbage).code, RemoteControl::otherCode);
    const auto late = RemoteControl::parse(manyLines);
    EXPECT_EQ(late.code, RemoteControl::startCode);
    EXPECT_FLOAT_EQ(late.depth, 7.0f);
    const auto invalid = RemoteControl::parse(invalidCp1251);
    EXPECT_EQ(invalid.code, RemoteControl::otherCode);
    EXPECT_TRUE(std::isfinite(invalid.depth));
}

} // namespace
