#include "platform/Mailslot.h"
#include "platform/Mailslotclient.h"
#include "support/Testsupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using platform::Mailslot;
using platform::MailslotClient;

class MailslotTest : public ::testing::Test {
protected:
    MailslotTest() { ::setenv("NIVRA_MAILSLOT_DIR", (folder / "slots").c_str(), 1); }
    ~MailslotTest() override { ::unsetenv("NIVRA_MAILSLOT_DIR"); }

    static mode_t modeOf(const std::filesystem::path& path)
    {
        struct stat status {};
        ::lstat(path.c_str(), &status);
        return status.st_mode & 0777;
    }

    test::TemporaryDirectory folder;
};

// A UDP listener on an ephemeral port of 127.0.0.1, standing in for the registration computer.
class DatagramListener {
public:
    DatagramListener() : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    std::uint16_t port() const { return port_; }
    std::string receive()
    {
        timeval wait {2, 0};
        ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string buffer(4096, '\0');
        const ssize_t size = ::recv(socket_.get(), buffer.data(), buffer.size(), 0);
        return size < 0 ? std::string("<nothing>") : buffer.substr(0, static_cast<std::size_t>(size));
    }

private:
    platform::FileDescriptor socket_;
    std::uint16_t port_ = 0;
};

// A socket file that nobody reads any more, as a crashed run leaves it.
void leaveStaleSocket(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
    platform::FileDescriptor socket(::socket(AF_UNIX, SOCK_DGRAM, 0));
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
}

TEST_F(MailslotTest, DeliversWholeMessagesInOrderToThisUserOnly)
{
    Mailslot slot("Registration\\FixedData", 1024);
    ASSERT_TRUE(slot.valid()) << slot.errorText();
    EXPECT_EQ(slot.path(), folder / "slots" / "Registration" / "FixedData");
    EXPECT_EQ(modeOf(folder / "slots"), 0700u);
    EXPECT_EQ(modeOf(folder / "slots" / "Registration"), 0700u);
    EXPECT_EQ(modeOf(slot.path()), 0600u);

    MailslotClient client("Registration\\FixedData");
    EXPECT_EQ(client.send(std::string("a=1\r\n\0", 6)), MailslotClient::Delivery::local);
    EXPECT_EQ(client.send("second"), MailslotClient::Delivery::local);

    const auto waiting = slot.waiting();
    EXPECT_EQ(waiting.count, 2u);
    EXPECT_EQ(waiting.nextSize, 6u);
    EXPECT_EQ(slot.read(), std::string("a=1\r\n\0", 6));
    EXPECT_EQ(slot.read(), "second");
    EXPECT_FALSE(slot.read());
    EXPECT_EQ(slot.waiting().count, 0u);
}

TEST_F(MailslotTest, LooseFolderModesAreTightened)
{
    std::filesystem::create_directories(folder / "slots");
    ::chmod((folder / "slots").c_str(), 0777);
    Mailslot slot("chromatograph", 1024);
    ASSERT_TRUE(slot.valid());
    EXPECT_EQ(modeOf(folder / "slots"), 0700u);
}

TEST_F(MailslotTest, NamesCannotClimbOutOfTheFolder)
{
    EXPECT_EQ(platform::mailslotPath("..\\..\\etc\\x"), folder / "slots" / "etc" / "x");
}

TEST_F(MailslotTest, SecondOwnerIsRefusedWhileTheFirstLives)
{
    Mailslot first("chromatograph", 1024);
    ASSERT_TRUE(first.valid());

    const pid_t child = ::fork();
    if (child == 0) {
        Mailslot second("chromatograph", 1024);
        ::_exit(second.valid() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process took the mailslot";

    Mailslot sameProcess("chromatograph", 1024);
    EXPECT_FALSE(sameProcess.valid());
    EXPECT_NE(sameProcess.errorText().find("another program"), std::string::npos);

    // The refused one must not have removed the first one's socket.
    MailslotClient client("chromatograph");
    EXPECT_EQ(client.send("x"), MailslotClient::Delivery::local);
    EXPECT_EQ(first.read(), "x");
}

TEST_F(MailslotTest, SocketLeftByACrashedRunIsTakenOver)
{
    leaveStaleSocket(platform::mailslotPath("chromatograph"));
    Mailslot slot("chromatograph", 1024);
    ASSERT_TRUE(slot.valid()) << slot.errorText();
    MailslotClient client("chromatograph");
    EXPECT_EQ(client.send("after crash"), MailslotClient::Delivery::local);
    EXPECT_EQ(slot.read(), "after crash");
}

TEST_F(MailslotTest, ClosingRemovesTheSocketAndFreesTheName)
{
    {
        Mailslot slot("chromatograph", 1024);
        ASSERT_TRUE(slot.valid());
    }
    EXPECT_FALSE(std::filesystem::exists(platform::mailslotPath("chromatograph")));
    Mailslot again("chromatograph", 1024);
    EXPECT_TRUE(again.valid());
}

TEST_F(MailslotTest, MessageOverTheMaximumIsDropped)
{
    Mailslot slot("chromatograph", 16);
    MailslotClient client("chromatograph");
    client.send(std::string(17, 'x'));
    client.send(std::string(16, 'y'));
    EXPECT_EQ(slot.read(), std::string(16, 'y'));
    EXPECT_FALSE(slot.read());
}

TEST_F(MailslotTest, FloodNeitherBlocksTheSenderNorGrowsTheReader)
{
    Mailslot slot("chromatograph", 1024);
    MailslotClient client("chromatograph");
    int dropped = 0;
    for (int i = 0; i < 10000; ++i)
        dropped += client.send("operation=start") == MailslotClient::Delivery::none;
    EXPECT_GT(dropped, 0) << "the socket queue should have filled";
    EXPECT_LE(slot.waiting().count, 64u);
    int read = 0;
    while (slot.read())
        ++read;
    EXPECT_EQ(read + dropped, 10000);
}

TEST_F(MailslotTest, WithoutALocalMailslotOneDatagramGoesToTheFallbackHost)
{
    DatagramListener listener;
    MailslotClient client("Registration\\FixedData", listener.port());
    client.setFallbackHost("127.0.0.1");
    const std::string message("сумм_газ2=1,5\0", 20);
    EXPECT_EQ(client.send(message), MailslotClient::Delivery::datagram);
    EXPECT_EQ(listener.receive(), message);

    // A socket file without a reader counts as no mailslot too.
    leaveStaleSocket(client.path());
    EXPECT_EQ(client.send("again"), MailslotClient::Delivery::datagram);
    EXPECT_EQ(listener.receive(), "again");
}

TEST_F(MailslotTest, AFallbackHostNameIsLookedUpInTheBackground)
{
    DatagramListener listener;
    MailslotClient client("Registration\\FixedData", listener.port());
    client.setFallbackHost("localhost");
    // Sending never waits for the name; once the address is known the datagram goes out.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (client.send("named") != MailslotClient::Delivery::datagram && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(listener.receive(), "named");
}

TEST_F(MailslotTest, WithoutFallbackHostAMessageIsDropped)
{
    MailslotClient client("Registration\\FixedData");
    client.setFallbackHost("");
    EXPECT_EQ(client.send("lost"), MailslotClient::Delivery::none);
}

} // namespace
