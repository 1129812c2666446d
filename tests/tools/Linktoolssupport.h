#pragma once

#include "platform/Filedescriptor.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

extern char** environ;

namespace linktest {

using namespace std::chrono_literals;

// A companion program running with stdout and stderr on pipes; killed and reaped if the test
// leaves it running.
class ToolProcess {
public:
    ToolProcess(const std::string& path, std::vector<std::string> arguments)
    {
        auto out = makePipe();
        auto err = makePipe();
        arguments.insert(arguments.begin(), path);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, out.second.get(), STDOUT_FILENO);
        ::posix_spawn_file_actions_adddup2(&actions, err.second.get(), STDERR_FILENO);
        const int failed = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " + path);
        output_ = std::move(out.first);
        errors_ = std::move(err.first);
    }
    ~ToolProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // True once stdout holds `text`; false when it did not come within the time-out.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = 10000ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (outputText_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(output_, outputText_, left))
                return false;
        }
        return true;
    }

    void signal(int number) { ::kill(pid_, number); }

    // The exit status, or nothing when the program is still running after the time-out. Whatever
    // the program wrote is read up to its end.
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
        while (readSome(output_, outputText_, 1000ms)) {
        }
        while (readSome(errors_, errorText_, 1000ms)) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    const std::string& output() const { return outputText_; }
    // Complete once exitStatus() has seen the end.
    const std::string& errors() const { return errorText_; }

private:
    static std::pair<platform::FileDescriptor, platform::FileDescriptor> makePipe()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        return {platform::FileDescriptor(ends[0]), platform::FileDescriptor(ends[1])};
    }

    // False at the end of the stream or when nothing came in time.
    static bool readSome(const platform::FileDescriptor& fd, std::string& into, std::chrono::milliseconds timeout)
    {
        pollfd waiting{fd.get(), POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0)
            return false;
        char buffer[4096];
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count <= 0)
            return false;
        into.append(buffer, static_cast<std::size_t>(count));
        return true;
    }

    pid_t pid_ = 0;
    platform::FileDescriptor output_;
    platform::FileDescriptor errors_;
    std::string outputText_;
    std::string errorText_;
};

// A port no one holds right now, found by letting the system pick one.
inline std::uint16_t freePort(int type)
{
    const platform::FileDescriptor probe(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    if (::bind(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no free port");
    return ntohs(address.sin_port);
}

// Points the mailslots of this process and of the programs it starts at a fresh folder.
class MailslotFolderScope {
public:
    MailslotFolderScope()
    {
        if (const char* previous = std::getenv(variable))
            previous_ = previous;
        ::setenv(variable, (folder_ / "mailslots").c_str(), 1);
    }
    ~MailslotFolderScope()
    {
        if (previous_)
            ::setenv(variable, previous_->c_str(), 1);
        else
            ::unsetenv(variable);
    }
    MailslotFolderScope(const MailslotFolderScope&) = delete;
    MailslotFolderScope& operator=(const MailslotFolderScope&) = delete;

    std::filesystem::path mailslots() const { return folder_ / "mailslots"; }

private:
    static constexpr const char* variable = "NIVRA_MAILSLOT_DIR";
    test::TemporaryDirectory folder_;
    std::optional<std::string> previous_;
};

} // namespace linktest
