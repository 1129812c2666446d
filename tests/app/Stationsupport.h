#pragma once

#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
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

namespace station {

using namespace std::chrono_literals;

// A program of the station's world with stdout and stderr in files, killed and reaped if a
// test leaves it running.
class Child {
public:
    Child(const std::string& path, std::vector<std::string> arguments, const std::filesystem::path& logs,
          const std::string& name)
        : out_(logs / (name + ".out")), err_(logs / (name + ".err"))
    {
        arguments.insert(arguments.begin(), path);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int failed = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " + path);
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    std::string output() const { return test::readFile(out_); }
    std::string errors() const { return test::readFile(err_); }
    void signal(int number) const { ::kill(pid_, number); }

    // The exit status, or nothing while it still runs after the time-out.
    std::optional<int> wait(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(20ms);
        }
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = 0;
    std::filesystem::path out_;
    std::filesystem::path err_;
};

inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

inline std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The first line a simulator prints: the path of its pseudo-terminal.
inline std::string terminalOf(const Child& simulator)
{
    std::string path;
    eventually(
        [&] {
            const std::string out = simulator.output();
            const auto end = out.find('\n');
            if (end == std::string::npos)
                return false;
            path = out.substr(0, end);
            return true;
        },
        5s);
    return path;
}

} // namespace station
