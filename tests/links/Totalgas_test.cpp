#include "links/Datamodule.h"
#include "links/Totalgaspoller.h"
#include "links/Totalgasreply.h"

#include "library/Codepage.h"
#include "platform/Filedescriptor.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using platform::FileDescriptor;

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

std::string nameOfLength(std::size_t length) { return std::string(length, 'n'); }

std::string replyWith(double totalGas) { return TotalGasReply::encodeReply({{"x", 2}, {"Сумм_газ2", totalGas}}); }

// ---- the bytes on the wire ----

TEST(TotalGasReply, RequestAndReplyBytesAreLittleEndian)
{
    EXPECT_EQ(TotalGasReply::request(), bytes({1, 0, 0, 0, 0}));
    EXPECT_EQ(TotalGasReply::encodeReply({{"x", 2.0}}),
              bytes({0, 10, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 0, 0, 0, 0x40}));
    EXPECT_EQ(TotalGasReply::encodeReply(-2, "ab"), bytes({0, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b'}));
    EXPECT_EQ(TotalGasReply::decodeLength(bytes({0x10, 0x27, 0, 0})), 10000);
    EXPECT_EQ(TotalGasReply::decodeLength(bytes({0xFF, 0xFF, 0xFF, 0xFF})), -1);
}

TEST(TotalGasReply, ReadsTheKeyInWindows1251AndTheValueLittleEndian)
{
    // "СУММ_ГАЗ2" in CP1251, then 1.5 as an IEEE double, least significant byte first.
    const std::string body = bytes({0xD1, 0xD3, 0xCC, 0xCC, '_', 0xC3, 0xC0, 0xC7, '2', 0,  //
                                    0, 0, 0, 0, 0, 0, 0xF8, 0x3F});
    EXPECT_EQ(TotalGasReply::findTotalGas(body), 1.5);
}

struct WalkCase {
    const char* what;
    std::string body;
    double expected;
};

TEST(TotalGasReply, WalksTheEntriesOfABody)
{
    const std::string key = TotalGasReply::encodeBody({{"сумм_газ2", 3}});
    const std::string utf8Key = std::string("сумм_газ2") + '\0' + std::string(8, '\x11');
    const std::vector<WalkCase> cases = {
        {"capitalised key among others", TotalGasReply::encodeBody({{"Сумм_газ2", 1.5}, {"x", 2}}), 1.5},
        {"key after another entry", TotalGasReply::encodeBody({{"x", 2}, {"СУММ_ГАЗ2", -0.25}}), -0.25},
        {"last of two keys", TotalGasReply::encodeBody({{"сумм_газ2", 1}, {"сумм_газ2", 7}}), 7},
        {"only similar names", TotalGasReply::encodeBody({{"сумм_газ", 3}, {"сумм_газ2x", 4}, {" сумм_газ2", 5}}), 0},
        {"empty body", "", 0},
        {"empty name ends the walk", std::string(1, '\0') + key, 0},
        {"63-byte name is passed over", TotalGasReply::encodeBody({{nameOfLength(63), 1}}) + key, 3},
        {"64-byte name ends the walk", TotalGasReply::encodeBody({{nameOfLength(64), 1}}) + key, 0},
        {"key kept when a long name follows", key + TotalGasReply::encodeBody({{nameOfLength(64), 1}}), 3},
        {"zeros after the key", key + std::string(20, '\0'), 3},
        {"value cut short", key.substr(0, key.size() - 1), 0},
        {"key without its 0 byte", lib::toCp1251("сумм_газ2"), 0},
        {"key in UTF-8", utf8Key, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TotalGasReply::findTotalGas(c.body), c.expected) << c.what;
}

TEST(TotalGasReply, LengthDecidesWhetherAndHowFarTheBodyIsRead)
{
    const std::string body = TotalGasReply::encodeBody({{"сумм_газ2", 1.5}});
    const std::string padded = body + std::string(10000 - body.size(), '\0');
    const auto size = static_cast<std::int32_t>(body.size());
    const std::vector<WalkCase> cases = {
        {"exact length", TotalGasReply::encodeReply(size, body), 1.5},
        {"longest readable body", TotalGasReply::encodeReply(10000, padded), 1.5},
        {"length over the limit", TotalGasReply::encodeReply(10001, padded + "x"), 0},
        {"negative length", TotalGasReply::encodeReply(-1, body), 0},
        {"zero length", TotalGasReply::encodeReply(0, body), 0},
        {"length cuts the value", TotalGasReply::encodeReply(size - 1, body), 0},
        {"header cut short", TotalGasReply::encodeReply(size, body).substr(0, 3), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TotalGasReply::valueOfReply(c.body), c.expected) << c.what;
}

// ---- the query over TCP ----

sockaddr_in loopback(std::uint16_t port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

FileDescriptor boundSocket()
{
    FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = loopback(0);
    if (!socket.valid() || ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("no loopback socket");
    return socket;
}

std::uint16_t portOf(const FileDescriptor& socket)
{
    sockaddr_in address {};
    socklen_t size = sizeof address;
    if (::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no port");
    return ntohs(address.sin_port);
}

// A port that nothing listens on.
std::uint16_t closedPort() { return portOf(boundSocket()); }

// Up to count bytes that arrive within the time-out.
std::string receiveUpTo(int fd, std::size_t count, std::chrono::milliseconds timeout)
{
    std::string received;
    const auto deadline = Clock::now() + timeout;
    while (received.size() < count && Clock::now() < deadline) {
        pollfd waiting {fd, POLLIN, 0};
        if (::poll(&waiting, 1, 10) <= 0)
            continue;
        char buffer[64];
        const ssize_t got = ::recv(fd, buffer, std::min(sizeof buffer, count - received.size()), 0);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}

// The registration computer's side on 127.0.0.1: reads each client's request, then plays the
// script to it, one client at a time.
class ScriptedServer {
public:
    struct Piece {
        std::string bytes;
        std::chrono::milliseconds pauseAfter {0};
    };
    using Script = std::vector<Piece>;
    enum class Ending { close, stayOpen };

    explicit ScriptedServer(Script script, Ending ending = Ending::close)
        : listener_(boundSocket()), port_(portOf(listener_)), script_(std::move(script)), ending_(ending)
    {
        if (::listen(listener_.get(), 8) != 0)
            throw std::runtime_error("cannot listen");
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedServer()
    {
        stop_ = true;
        thread_.join();
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return port_; }
    int connections() const { return connections_.load(); }
    std::string lastRequest() const
    {
        const std::lock_guard lock(mutex_);
        return request_;
    }
    void setScript(Script script)
    {
        const std::lock_guard lock(mutex_);
        script_ = std::move(script);
    }

private:
    void serve()
    {
        while (!stop_) {
            pollfd waiting {listener_.get(), POLLIN, 0};
            if (::poll(&waiting, 1, 10) <= 0)
                continue;
            const FileDescriptor client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.valid())
                continue;
            ++connections_;
            serveClient(client.get());
        }
    }

    void serveClient(int client)
    {
        const std::string request = receiveUpTo(client, TotalGasReply::requestSize, 1s);
        Script script;
        {
            const std::lock_guard lock(mutex_);
            request_ = request;
            script = script_;
        }
        for (const Piece& piece : script) {
            if (stop_ || !sendAll(client, piece.bytes))
                return;
            std::this_thread::sleep_for(piece.pauseAfter);
        }
        if (ending_ == Ending::stayOpen)
            waitUntilClientLeaves(client);
    }

    static bool sendAll(int client, const std::string& bytes)
    {
        return ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    void waitUntilClientLeaves(int client) const
    {
        while (!stop_) {
            pollfd waiting {client, POLLIN, 0};
            char scratch[64];
            if (::poll(&waiting, 1, 10) > 0 && ::recv(client, scratch, sizeof scratch, 0) <= 0)
                return;
        }
    }

    FileDescriptor listener_;
    std::uint16_t port_;
    mutable std::mutex mutex_;
    Script script_;
    std::string request_;
    const Ending ending_;
    std::atomic<bool> stop_ {false};
    std::atomic<int> connections_ {0};
    std::thread thread_;
};

struct ExchangeCase {
    const char* what;
    ScriptedServer::Script script;
    double expected;
};

TEST(TDataModule1, ReadsTheReplyAsItArrives)
{
    const std::string reply = TotalGasReply::encodeReply({{"x", 2}, {"Сумм_газ2", 1.1}});
    const std::size_t end = reply.size();
    const std::string body = TotalGasReply::encodeBody({{"сумм_газ2", 1.1}});
    const std::string longestBody = body + std::string(10000 - body.size(), '\0');
    const std::vector<ExchangeCase> cases = {
        {"one write", {{reply}}, 1.1},
        {"pieces cut inside the length and the value",
         {{reply.substr(0, 3), 60ms}, {reply.substr(3, end - 7), 60ms}, {reply.substr(end - 4)}}, 1.1},
        {"longest readable body", {{TotalGasReply::encodeReply(10000, longestBody)}}, 1.1},
        {"length over the limit", {{TotalGasReply::encodeReply(10001, "")}}, 0},
        // Every byte of 1.1 is non-zero, so a value pieced together from what arrived would show.
        {"closed inside the value", {{reply.substr(0, end - 4)}}, 0},
        {"closed after the header", {{reply.substr(0, TotalGasReply::headerSize)}}, 0},
        {"closed without a reply", {}, 0},
    };
    for (const auto& c : cases) {
        const ScriptedServer server(c.script);
        const TDataModule1 module("127.0.0.1", server.port(), 5s, 5s);
        EXPECT_EQ(module.queryTotalGas(), c.expected) << c.what;
        EXPECT_EQ(server.lastRequest(), TotalGasReply::request()) << c.what;
    }
}

TEST(TDataModule1, GivesUpOnAPeerThatStallsOrTrickles)
{
    ScriptedServer::Script trickle {{TotalGasReply::encodeReply(10000, "")}};
    for (int i = 0; i < 300; ++i)
        trickle.push_back({"n", 20ms});
    const std::vector<ExchangeCase> cases = {
        {"never answers", {}, 0},
        {"sends the body a byte at a time", trickle, 0},
    };
    for (const auto& c : cases) {
        const ScriptedServer server(c.script, ScriptedServer::Ending::stayOpen);
        const TDataModule1 module("127.0.0.1", server.port(), 100ms, 100ms);
        const auto start = Clock::now();
        EXPECT_EQ(module.queryTotalGas(), 0) << c.what;
        EXPECT_LT(Clock::now() - start, 2s) << c.what;
    }
}

TEST(TDataModule1, NothingListeningGivesZero)
{
    const auto start = Clock::now();
    EXPECT_EQ(TDataModule1("127.0.0.1", closedPort(), 100ms, 100ms).queryTotalGas(), 0);
    EXPECT_EQ(TDataModule1("", closedPort(), 100ms, 100ms).queryTotalGas(), 0);
    EXPECT_LT(Clock::now() - start, 2s);
}

// ---- the poller ----

// Time-outs no busy machine reaches: a failed query would reset the value to 0.
const TotalGasPoller::Timing fast {20ms, 5s, 5s};

bool eventually(const std::function<bool()>& condition)
{
    const auto deadline = Clock::now() + 30s;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(TotalGasPoller, ValueFollowsTheServer)
{
    ScriptedServer server({{replyWith(2.5)}});
    TotalGasPoller poller("127.0.0.1", server.port(), fast);
    EXPECT_EQ(poller.value(), 0);
    poller.setActive(true);
    EXPECT_TRUE(eventually([&] { return poller.value() == 2.5; }));
    server.setScript({{replyWith(4)}});
    EXPECT_TRUE(eventually([&] { return poller.value() == 4; }));
    server.setScript({});
    EXPECT_TRUE(eventually([&] { return poller.value() == 0; })) << "a failed query gives 0";
}

TEST(TotalGasPoller, QueriesOnlyWhileActive)
{
    const ScriptedServer server({{replyWith(2.5)}});
    TotalGasPoller poller("127.0.0.1", server.port(), fast);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(server.connections(), 0) << "starts inactive";

    poller.setActive(true);
    ASSERT_TRUE(eventually([&] { return server.connections() >= 3; }));
    poller.setActive(false);
    const int seen = server.connections();
    // Only a query already under way may still arrive; one still querying would every 20 ms.
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(server.connections(), seen + 1);
    EXPECT_EQ(poller.value(), 2.5) << "the last value is kept";

    poller.setActive(true);
    EXPECT_TRUE(eventually([&] { return server.connections() > seen + 1; }));
}

TEST(TotalGasPoller, QueriesAtMostOncePerInterval)
{
    const ScriptedServer server({{replyWith(2.5)}});
    TotalGasPoller poller("127.0.0.1", server.port(), {200ms, 5s, 5s});
    const auto started = Clock::now();
    poller.setActive(true);
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(eventually([&] { return server.connections() >= 1; }));
    const int count = server.connections();
    const auto passed = Clock::now() - started;
    poller.setActive(false);
    // However late the poller runs, the queries so far are at least an interval apart.
    EXPECT_LE(count, passed / 200ms + 2);
}

TEST(TotalGasPoller, NewHostTakesEffectAtTheNextQuery)
{
    const ScriptedServer server({{replyWith(2.5)}}); // listens on 127.0.0.1 only
    TotalGasPoller poller("127.0.0.2", server.port(), fast);
    poller.setActive(true);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(poller.value(), 0);
    EXPECT_EQ(server.connections(), 0);
    poller.setHost("127.0.0.1");
    EXPECT_TRUE(eventually([&] { return poller.value() == 2.5; }));
}

TEST(TotalGasPoller, ValueNeverWaitsForAHangingQuery)
{
    const ScriptedServer server({}, ScriptedServer::Ending::stayOpen);
    std::optional<TotalGasPoller> poller(std::in_place, "127.0.0.1", server.port(),
                                         TotalGasPoller::Timing {20ms, 500ms, 500ms});
    poller->setActive(true);
    ASSERT_TRUE(eventually([&] { return server.connections() >= 1; }));
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(poller->value(), 0);
        EXPECT_LT(Clock::now() - start, 200ms);
        std::this_thread::sleep_for(50ms);
    }
    const auto start = Clock::now();
    poller.reset(); // waits for the query in flight, which its time-outs end
    EXPECT_LT(Clock::now() - start, 3s);
}

TEST(TotalGasPoller, StopsPromptlyWhenIdle)
{
    const ScriptedServer server({{replyWith(2.5)}});
    for (const bool active : {false, true}) {
        std::optional<TotalGasPoller> poller(std::in_place, "127.0.0.1", server.port(),
                                             TotalGasPoller::Timing {1h, 200ms, 200ms});
        poller->setActive(active);
        if (active) {
            ASSERT_TRUE(eventually([&] { return poller->value() == 2.5; })) << "waits out the interval now";
        }
        const auto start = Clock::now();
        poller.reset();
        EXPECT_LT(Clock::now() - start, 2s) << (active ? "active" : "inactive");
    }
}

} // namespace
