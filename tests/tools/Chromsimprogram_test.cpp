// nivra-chromsim as a user starts it.
#include "Chromsimsupport.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>
#include <string>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using namespace chromsimtest;

// The program running with its stdout on a pipe; killed and reaped if the test leaves it running.
class Simulator {
public:
    Simulator(std::vector<std::string> arguments, const std::filesystem::path& errors)
    {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        output_ = platform::FileDescriptor(pipe[0]);
        const platform::FileDescriptor writeEnd(pipe[1]);
        arguments.insert(arguments.begin(), CHROMSIM_PATH);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int failed = ::posix_spawn(&pid_, CHROMSIM_PATH, &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " CHROMSIM_PATH);
    }
    ~Simulator()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The first line of stdout; empty when none comes within the time-out.
    std::string firstLine(std::chrono::milliseconds timeout = 5000ms)
    {
        std::string line;
        char c = 0;
        pollfd waiting{output_.get(), POLLIN, 0};
        while (::poll(&waiting, 1, static_cast<int>(timeout.count())) > 0 && ::read(output_.get(), &c, 1) == 1) {
            if (c == '\n')
                return line;
            line += c;
        }
        return {};
    }

    void signal(int number) { ::kill(pid_, number); }

    // The exit status, or nothing when the program is still running after the time-out.
    std::optional<int> exitStatus(std::chrono::milliseconds timeout = 10000ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(10ms);
        }
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = 0;
    platform::FileDescriptor output_;
};

TEST(ChromsimProgram, ServesTheCyclesAskedForThenExits)
{
    test::TemporaryDirectory folder;
    Simulator simulator({"--speed", "1000", "--length", "10", "--cycles", "2", "--seed", "5"}, folder / "stderr");
    const auto path = simulator.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    for (int cycle = 1; cycle <= 2; ++cycle) {
        SCOPED_TRACE(cycle);
        // Each cycle on a freshly opened port, as the station does it.
        StationPort port(path);
        ASSERT_TRUE(port.opened());
        ASSERT_TRUE(port.sendProgramme());
        EXPECT_EQ(port.read(2), (Bytes{'O', 'K'}));
        const auto scan = scanStream(port.readToEnd());
        EXPECT_TRUE(scan.endMarker);
        EXPECT_EQ(scan.frames.size(), 4000u);
    }
    EXPECT_EQ(simulator.exitStatus(), 0);
    const auto log = test::readFile(folder / "stderr");
    EXPECT_NE(log.find("cycle 2, programme 2 23 30 35 55 70 120 0"), std::string::npos) << log;
}

TEST(ChromsimProgram, StopSignalsEndItCleanlyEvenMidCycle)
{
    for (const int number : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(number));
        test::TemporaryDirectory folder;
        Simulator simulator({}, folder / "stderr");
        const auto path = simulator.firstLine();
        StationPort port(path);
        ASSERT_TRUE(port.opened()) << path;
        ASSERT_TRUE(port.sendProgramme());
        ASSERT_EQ(port.read(2 + 4 * 10).size(), 42u);
        simulator.signal(number);
        EXPECT_EQ(simulator.exitStatus(), 0);
    }
}

TEST(ChromsimProgram, StopSignalEndsItWhileWaitingForTheStation)
{
    test::TemporaryDirectory folder;
    Simulator simulator({"--model", "1"}, folder / "stderr");
    ASSERT_FALSE(simulator.firstLine().empty());
    simulator.signal(SIGTERM);
    EXPECT_EQ(simulator.exitStatus(), 0);
}

} // namespace
