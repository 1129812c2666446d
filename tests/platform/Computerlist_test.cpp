#include "platform/Computerlist.h"

#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

constexpr std::string_view hostsFixture =
    "# The static table of host names\n"
    "127.0.0.1\tlocalhost\n"
    "127.0.1.1\tstation.mudlog.lan\tstation   # this computer\n"
    "\n"
    "::1     localhost ip6-localhost ip6-loopback\n"
    "ff02::1 ip6-allnodes\n"
    "   # indented comment 10.0.0.1 commented-out\n"
    "192.168.1.10  registration  reg-pc\n"
    "10.0.0.5 registration\n"
    "10.0.0.6 10.0.0.7 logger ::ffff:10.0.0.8\n"
    "10.0.0.9 crlf-host\r\n"
    "10.0.0.10\n"
    " \t \n"
    "10.0.0.11 last-line-without-newline";

const Names hostsNames{"localhost",    "station.mudlog.lan", "station", "ip6-localhost", "ip6-loopback", "ip6-allnodes",
                       "registration", "reg-pc",             "logger",  "crlf-host",     "last-line-without-newline"};

class ComputerListTest : public ::testing::Test {
protected:
    std::filesystem::path hostsFile() const { return folder_ / "hosts"; }

    // A stand-in for the mDNS browser: a shell script that records its arguments and pid.
    std::filesystem::path fakeBrowser(const std::string& body) const
    {
        const std::filesystem::path script = folder_ / "avahi-browse";
        test::writeFile(script, "#!/bin/sh\necho \"$@\" > '" + arguments().string() + "'\necho $$ > '"
                                    + pidFile().string() + "'\n" + body);
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        return script;
    }
    std::filesystem::path arguments() const { return folder_ / "arguments"; }
    std::filesystem::path pidFile() const { return folder_ / "pid"; }

    std::filesystem::path missing() const { return folder_ / "missing"; }

    void SetUp() override { test::writeFile(hostsFile(), hostsFixture); }

private:
    test::TemporaryDirectory folder_;
};

platform::ComputerList computerList(std::filesystem::path hosts, std::filesystem::path browser = {},
                                    std::chrono::milliseconds deadline = 10s)
{
    return platform::ComputerList(
        {.hostsFile = std::move(hosts), .mdnsBrowser = std::move(browser), .mdnsDeadline = deadline});
}

Names concatenated(Names first, const Names& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(ComputerListTest, HostsFileGivesEveryNameOnceInOrder)
{
    const auto computers = computerList(hostsFile());
    EXPECT_EQ(computers.list(), hostsNames);
    EXPECT_TRUE(computers.ready());
    EXPECT_EQ(computers.errorText(), "");
}

TEST_F(ComputerListTest, ListComputersReplacesWhatTheListHeld)
{
    const auto computers = computerList(hostsFile());
    Names names{"stale"};
    computers.listComputers(names);
    EXPECT_EQ(names, hostsNames);

    const auto nothing = computerList(missing());
    nothing.listComputers(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(ComputerListTest, MdnsHostNamesFollowTheHostsFile)
{
    const auto browser = fakeBrowser("cat <<'END'\n"
                                     "+;eth0;IPv4;Printer;_ipp._tcp;local\n"
                                     "=;eth0;IPv4;Registration PC;_workstation._tcp;local;regpc.local;192.168.1.20;9;\n"
                                     "=;eth0;IPv6;Registration PC;_workstation._tcp;local;regpc.local;fe80::1;9;\n"
                                     "=;eth0;IPv4;Station;_ssh._tcp;local;station;192.168.1.2;22;\n"
                                     "-;eth0;IPv4;Gone;_ipp._tcp;local\n"
                                     "=;eth0;IPv4;Cut short;_http._tcp;local\n"
                                     "=;eth0;IPv4;No name;_http._tcp;local;;192.168.1.30;80;\n"
                                     "=;eth0;IPv4;Gas logger;_http._tcp;local;logger.local;192.168.1.21;80;\"path=/\"\n"
                                     "END\n");
    const auto computers = computerList(hostsFile(), browser);

    EXPECT_EQ(computers.list(), concatenated(hostsNames, {"regpc.local", "logger.local"}));
    EXPECT_EQ(test::readFile(arguments()), "--all --terminate --resolve --parsable --no-db-lookup\n");
}

TEST_F(ComputerListTest, MdnsAloneWhenThereIsNoHostsFile)
{
    const auto browser = fakeBrowser("echo '=;eth0;IPv4;Logger;_ssh._tcp;local;logger.local;192.168.1.21;22;'\n");
    const auto computers = computerList(missing(), browser);
    EXPECT_EQ(computers.list(), Names{"logger.local"});
}

TEST_F(ComputerListTest, UnavailableSourcesLeaveTheirPartOut)
{
    struct Case {
        const char* what;
        std::filesystem::path hosts;
        std::filesystem::path browser;
        Names expected;
    };
    const Case cases[] = {
        {"browser not installed", hostsFile(), missing(), hostsNames},
        {"mDNS switched off", hostsFile(), {}, hostsNames},
        {"nothing at all", missing(), missing(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto computers = computerList(c.hosts, c.browser);
        EXPECT_EQ(computers.list(), c.expected);
    }
}

TEST_F(ComputerListTest, BrowserThatFailsGivesHostsNamesOnly)
{
    const auto browser = fakeBrowser("echo 'Daemon not running' >&2\nexit 1\n");
    const auto computers = computerList(hostsFile(), browser);
    EXPECT_EQ(computers.list(), hostsNames);
}

// A browser that does not finish is cut off at the deadline, killed and reaped, whether it
// keeps the output open itself, through a child of its own, or lingers after closing it.
TEST_F(ComputerListTest, HangingBrowserIsKilledAndReapedAtTheDeadline)
{
    struct Case {
        const char* what;
        std::string body;
        Names mdnsNames;
    };
    const std::string line = "echo '=;eth0;IPv4;Early;_ssh._tcp;local;early.local;192.168.1.40;22;'\n";
    const Case cases[] = {
        {"silent", "exec sleep 10\n", {}},
        {"output held by its child", line + "sleep 10\n", {"early.local"}},
        {"output closed, process lingers", line + "exec >&-\nexec sleep 10\n", {"early.local"}},
        {"line cut off", "printf '=;eth0;IPv4;Cut;_ssh._tcp;local;cut.loc'\nexec sleep 10\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto browser = fakeBrowser(c.body);
        const auto computers = computerList(hostsFile(), browser, 1s);

        const auto start = std::chrono::steady_clock::now();
        const Names names = computers.list();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
        EXPECT_EQ(names, concatenated(hostsNames, c.mdnsNames));

        const pid_t pid = std::stoi(test::readFile(pidFile()));
        EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1) << "left unreaped";
        EXPECT_EQ(::kill(pid, 0), -1) << "still running";
        EXPECT_EQ(errno, ESRCH);
    }
}

} // namespace
