// nivra-remote and nivra-reglisten as a user starts them, talking to each other and to the
// station's own ends of the link.
#include "Linktoolssupport.h"
#include "library/Codepage.h"
#include "platform/Mailslotclient.h"
#include "links/Datamodule.h"
#include "links/Remotecontrol.h"
#include "links/Totalgasreply.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {

using namespace linktest;

// Each test has its own mailslot folder and keeps off the registration port of a real setup.
class LinkTools : public ::testing::Test {
protected:
    ChildProcess startListener(std::vector<std::string> arguments)
    {
        return ChildProcess(REGLISTEN_PATH, std::move(arguments));
    }

    MailslotFolderScope mailslots_;
};

// A TCP connection to the total-gas server on this computer.
platform::FileDescriptor connectTo(std::uint16_t port)
{
    platform::FileDescriptor fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return platform::FileDescriptor();
    return fd;
}

// Everything until the server closes; what came so far when it does not close in time.
std::string readToEnd(const platform::FileDescriptor& fd, std::chrono::milliseconds timeout = 5000ms)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd waiting{fd.get(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
            return received;
        char buffer[256];
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count <= 0)
            return received;
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

std::string littleEndianDouble(double value)
{
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

TEST_F(LinkTools, RemoteMessageReachesAListenerStandingInForTheStation)
{
    auto listener = startListener({"--mailslot", "chromatograph", "--udp-port", "0", "--count", "1"});
    ASSERT_TRUE(listener.waitForOutput("listening on mailslot")) << listener.output();

    ChildProcess remote(REMOTE_PATH, {"start", "--depth", "2500.5"});
    EXPECT_EQ(remote.exitStatus(), 0) << remote.errors();
    EXPECT_EQ(remote.output(), "operation=start\ndepth=2500.5\n");

    EXPECT_EQ(listener.exitStatus(), 0) << listener.errors();
    EXPECT_NE(listener.output().find("mailslot: operation=start\n    depth=2500.5\n"), std::string::npos)
        << listener.output();
}

TEST_F(LinkTools, StationTakesEveryCommandOfTheRemote)
{
    RemoteControl station;
    ASSERT_TRUE(station.listening()) << station.errorText();
    struct Case {
        std::vector<std::string> arguments;
        int code;
        float depth;
        std::int32_t modeValue;
        std::int32_t timePeriod;
    };
    const std::vector<Case> cases{
        {{"start", "--depth", "2500,5"}, RemoteControl::startCode, 2500.5f, 0, -1},
        {{"mode", "4", "--depth", "10.25"}, RemoteControl::modeCode, 10.25f, 4, -1},
        {{"period", "600"}, RemoteControl::otherCode, 0, 4, 600},
        {{"depth", "1234,5"}, RemoteControl::otherCode, 1234.5f, 4, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        ChildProcess remote(REMOTE_PATH, c.arguments);
        ASSERT_EQ(remote.exitStatus(), 0) << remote.errors();
        EXPECT_EQ(station.poll(), c.code);
        EXPECT_EQ(station.depth(), c.depth);
        EXPECT_EQ(station.modeValue(), c.modeValue);
        EXPECT_EQ(station.timePeriod(), c.timePeriod);
    }
    EXPECT_EQ(station.poll(), RemoteControl::noMessage);
}

TEST_F(LinkTools, RemoteSaysSoWhenNoStationListens)
{
    ChildProcess remote(REMOTE_PATH, {"mode", "2"});
    EXPECT_EQ(remote.exitStatus(), 1);
    EXPECT_NE(remote.errors().find("no station listens on mailslot \"chromatograph\""), std::string::npos)
        << remote.errors();
    EXPECT_NE(remote.errors().find((mailslots_.mailslots() / "chromatograph").string()), std::string::npos)
        << remote.errors();
    EXPECT_EQ(remote.output(), "");
}

TEST_F(LinkTools, WrongCommandLinesGetTheUsageAndStatusTwo)
{
    for (const auto& [path, arguments] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {REMOTE_PATH, {"mode", "9"}},
             {REGLISTEN_PATH, {"--count", "0"}},
         }) {
        SCOPED_TRACE(path);
        ChildProcess tool(path, arguments);
        EXPECT_EQ(tool.exitStatus(), 2);
        EXPECT_NE(tool.errors().find("Usage: "), std::string::npos) << tool.errors();
    }
}

TEST_F(LinkTools, DatagramOfAStationWithoutLocalMailslotIsDecodedFromCp1251)
{
    const auto port = freePort(SOCK_DGRAM);
    auto listener = startListener({"--udp-port", std::to_string(port), "--count", "1"});
    ASSERT_TRUE(listener.waitForOutput("listening on udp")) << listener.output();

    // No program holds this mailslot, so the client falls back to the registration computer.
    platform::MailslotClient client("Elsewhere\\FixedData", port);
    client.setFallbackHost("127.0.0.1");
    const std::string text = "метан_абс=0,1234\r\nсумм_газ=0,5\r\n";
    ASSERT_EQ(client.send(lib::toCp1251(text) + '\0'), platform::MailslotClient::Delivery::datagram);

    EXPECT_EQ(listener.exitStatus(), 0) << listener.errors();
    EXPECT_NE(listener.output().find(" udp 127.0.0.1:"), std::string::npos) << listener.output();
    EXPECT_NE(listener.output().find(": метан_абс=0,1234\n    сумм_газ=0,5\n"), std::string::npos)
        << listener.output();
}

TEST_F(LinkTools, TotalGasQueryIsAnsweredWithOneCp1251Entry)
{
    const auto port = freePort(SOCK_STREAM);
    auto listener = startListener({"--udp-port", "0", "--total-gas", "1.5", "--tcp-port", std::to_string(port)});
    ASSERT_TRUE(listener.waitForOutput("serving the total gas")) << listener.output();

    const auto connection = connectTo(port);
    ASSERT_TRUE(connection.valid());
    const std::string request{1, 0, 0, 0, 0};
    ASSERT_EQ(::write(connection.get(), request.data(), request.size()), 5);
    const std::string reply = readToEnd(connection);

    const std::string body = lib::toCp1251("сумм_газ2") + '\0' + littleEndianDouble(1.5);
    ASSERT_EQ(reply.size(), 5 + body.size());
    EXPECT_EQ(reply.substr(1, 4), (std::string{static_cast<char>(body.size()), 0, 0, 0}));
    EXPECT_EQ(reply.substr(5), body);
    EXPECT_TRUE(listener.waitForOutput("total gas query answered: сумм_газ2=1.5\n")) << listener.output();
}

TEST_F(LinkTools, StationReadsTheRampedTotalGasWhileASilentClientWaits)
{
    const auto port = freePort(SOCK_STREAM);
    const auto started = std::chrono::steady_clock::now();
    auto listener = startListener(
        {"--udp-port", "0", "--total-gas", "1", "--ramp", "1000", "--tcp-port", std::to_string(port)});
    ASSERT_TRUE(listener.waitForOutput("serving the total gas")) << listener.output();

    // A client that never asks must not hold the single-threaded server up.
    const auto silent = connectTo(port);
    ASSERT_TRUE(silent.valid());
    std::this_thread::sleep_for(100ms);
    const double value = TDataModule1("127.0.0.1", port, 2000ms, 2000ms).queryTotalGas();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GE(value, 1 + 1000 * 0.1);
    EXPECT_LE(value, 1 + 1000 * elapsed);

    // The silent one is given up after a second.
    EXPECT_EQ(readToEnd(silent, 5000ms), "");
    EXPECT_TRUE(listener.waitForOutput("no full request within 1 s (0 of 5 bytes)")) << listener.output();
}

TEST_F(LinkTools, SecondListenerOnTheSameMailslotOrPortIsRefused)
{
    const auto port = freePort(SOCK_DGRAM);
    auto first = startListener({"--udp-port", std::to_string(port)});
    ASSERT_TRUE(first.waitForOutput("listening on mailslot")) << first.output();

    ChildProcess sameMailslot(REGLISTEN_PATH, {"--udp-port", "0"});
    EXPECT_EQ(sameMailslot.exitStatus(), 1);
    EXPECT_NE(sameMailslot.errors().find("already owns the mailslot \"Registration\\FixedData\""), std::string::npos)
        << sameMailslot.errors();

    ChildProcess samePort(REGLISTEN_PATH, {"--mailslot", "Other", "--udp-port", std::to_string(port)});
    EXPECT_EQ(samePort.exitStatus(), 1);
    EXPECT_NE(samePort.errors().find("UDP port " + std::to_string(port) + " is taken"), std::string::npos)
        << samePort.errors();
}

TEST_F(LinkTools, ListenerEndsCleanlyOnStopSignalsAndAfterItsTime)
{
    const auto socket = mailslots_.mailslots() / "Registration" / "FixedData";
    for (const int number : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(number));
        auto listener = startListener({"--udp-port", "0"});
        ASSERT_TRUE(listener.waitForOutput("listening on mailslot")) << listener.output();
        EXPECT_TRUE(std::filesystem::exists(socket));
        listener.signal(number);
        EXPECT_EQ(listener.exitStatus(), 0);
        // Left through its destructors: the mailslot is gone with it.
        EXPECT_FALSE(std::filesystem::exists(socket));
    }
    auto timed = startListener({"--udp-port", "0", "--seconds", "0.2"});
    EXPECT_EQ(timed.exitStatus(), 0) << timed.errors();
}

} // namespace
