#pragma once

#include "support/Testsupport.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace test {

using namespace std::chrono_literals;

// True once the condition holds; false when it still does not after the time-out.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A program started by a test, its stdout and stderr in files of its own, so it never stalls on
// output no one reads and a test can look at both while it runs. Killed and reaped if the test
// leaves it running.
class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> arguments)
        : output_(files_ / "stdout"), errors_(files_ / "stderr")
    {
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        constexpr int fresh = O_WRONLY | O_CREAT | O_TRUNC;
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_.c_str(), fresh, 0644);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors_.c_str(), fresh, 0644);
        const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " + program);
    }
    ~ChildProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // What the program has written so far.
    std::string output() const { return textOf(output_); }
    std::string errors() const { return textOf(errors_); }

    // True once stdout (stderr) holds text; false when it does not come within the time-out or
    // the program ends without writing it.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = 10s) const
    {
        return waitForText(output_, text, timeout);
    }
    bool waitForErrors(const std::string& text, std::chrono::milliseconds timeout = 10s) const
    {
        return waitForText(errors_, text, timeout);
    }

    // The first line of stdout; empty when none comes within the time-out.
    std::string firstLine(std::chrono::milliseconds timeout = 5s) const
    {
        if (!waitForOutput("\n", timeout))
            return {};
        const std::string text = output();
        return text.substr(0, text.find('\n'));
    }

    void signal(int number) const
    {
        if (pid_ > 0)
            ::kill(pid_, number);
    }

    // The exit status (128 + the signal when one ended it), or nothing while the program still
    // runs after the time-out.
    std::optional<int> exitStatus(std::chrono::milliseconds timeout = 10s)
    {
        if (exitStatus_)
            return exitStatus_;
        int status = 0;
        if (!eventually([&] { return ::waitpid(pid_, &status, WNOHANG) != 0; }, timeout))
            return std::nullopt;
        pid_ = 0;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return exitStatus_;
    }

private:
    static std::string textOf(const std::filesystem::path& file)
    {
        return platform::readWholeFile(file).value_or(std::string());
    }

    // Looked at without reaping, so exitStatus() still gets the status.
    bool ended() const
    {
        if (pid_ <= 0)
            return true;
        siginfo_t info{};
        return ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
    }

    bool waitForText(const std::filesystem::path& file, const std::string& text,
                     std::chrono::milliseconds timeout) const
    {
        // No need to wait on once the program has ended; what it wrote by then is read below.
        eventually([&] { return ended() || textOf(file).find(text) != std::string::npos; }, timeout);
        return textOf(file).find(text) != std::string::npos;
    }

    TemporaryDirectory files_;
    std::filesystem::path output_;
    std::filesystem::path errors_;
    pid_t pid_ = 0;
    std::optional<int> exitStatus_;
};

} // namespace test
