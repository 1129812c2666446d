#include "platform/Computerlist.h"

#include "platform/Atomicfile.h"
#include "platform/Filedescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <arpa/inet.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view blanks = " \t\r\v\f";
constexpr std::array browserFolders{"/usr/bin", "/bin"};
constexpr std::string_view browserName = "avahi-browse";
// One resolved service per line; the host name is what the operator can connect to.
constexpr std::array browserOptions{"--all", "--terminate", "--resolve", "--parsable", "--no-db-lookup"};
constexpr char resolvedEntryMark = '=';
constexpr char fieldSeparator = ';';
constexpr std::size_t hostNameField = 6;

bool isAddressLiteral(const std::string& word)
{
    in6_addr address{};
    return ::inet_pton(AF_INET, word.c_str(), &address) == 1 || ::inet_pton(AF_INET6, word.c_str(), &address) == 1;
}

void addName(std::vector<std::string>& list, std::string_view word)
{
    std::string name(word);
    if (name.empty() || isAddressLiteral(name) || std::find(list.begin(), list.end(), name) != list.end())
        return;
    list.push_back(std::move(name));
}

std::vector<std::string_view> split(std::string_view text, std::string_view separators)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> found = split(line, blanks);
    std::erase_if(found, [](std::string_view word) { return word.empty(); });
    return found;
}

void addHostsFileNames(const std::filesystem::path& hostsFile, std::vector<std::string>& list)
{
    const std::optional<std::string> contents = readWholeFile(hostsFile);
    if (!contents)
        return;
    for (std::string_view line : split(*contents, "\n")) {
        line = line.substr(0, line.find('#'));
        const std::vector<std::string_view> fields = words(line);
        // The first field is the address; every further one names that host.
        for (std::size_t index = 1; index < fields.size(); ++index)
            addName(list, fields[index]);
    }
}

void addBrowserNames(std::string_view output, std::vector<std::string>& list)
{
    for (std::string_view line : split(output, "\n")) {
        if (line.empty() || line.front() != resolvedEntryMark)
            continue;
        const std::vector<std::string_view> fields = split(line, std::string_view(&fieldSeparator, 1));
        if (fields.size() > hostNameField)
            addName(list, fields[hostNameField]);
    }
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

// A spawned browser that must not outlive the listing: whatever it still runs at the end,
// itself and its own children, is killed, and it is always reaped.
class BrowserProcess {
public:
    explicit BrowserProcess(pid_t pid) : pid_(pid) {}
    ~BrowserProcess()
    {
        if (pid_ <= 0)
            return;
        ::kill(-pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    // Gives it until the deadline to exit by itself.
    void awaitExit(Clock::time_point deadline)
    {
        constexpr auto pause = std::chrono::milliseconds(5);
        while (!reaped()) {
            if (Clock::now() >= deadline)
                return;
            std::this_thread::sleep_for(pause);
        }
    }

private:
    bool reaped()
    {
        pid_t result = 0;
        do {
            result = ::waitpid(pid_, nullptr, WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == 0)
            return false;
        pid_ = 0;  // gone, or not ours to wait for: either way nothing is left to kill
        return true;
    }

    pid_t pid_;
};

// Output to the pipe, nothing to read, errors discarded; a group of its own so that
// whatever it starts can be killed with it.
bool prepareChild(posix_spawn_file_actions_t& actions, posix_spawnattr_t& attributes, int outputFd)
{
    sigset_t noSignals;
    sigemptyset(&noSignals);
    return ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0
        && ::posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO) == 0
        && ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0
        && ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK) == 0
        && ::posix_spawnattr_setpgroup(&attributes, 0) == 0
        && ::posix_spawnattr_setsigmask(&attributes, &noSignals) == 0;
}

// Starts the browser in a process group of its own with stdout on a fresh pipe;
// nothing (pid 0) when it cannot be run.
pid_t spawnBrowser(const std::filesystem::path& browser, FileDescriptor& output)
{
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return 0;
    FileDescriptor readEnd(ends[0]);
    FileDescriptor writeEnd(ends[1]);

    posix_spawn_file_actions_t actions{};
    if (::posix_spawn_file_actions_init(&actions) != 0)
        return 0;
    const auto destroyActions = [](posix_spawn_file_actions_t* done) { ::posix_spawn_file_actions_destroy(done); };
    const std::unique_ptr<posix_spawn_file_actions_t, decltype(destroyActions)> actionsGuard(&actions, destroyActions);
    posix_spawnattr_t attributes{};
    if (::posix_spawnattr_init(&attributes) != 0)
        return 0;
    const auto destroyAttributes = [](posix_spawnattr_t* done) { ::posix_spawnattr_destroy(done); };
    const std::unique_ptr<posix_spawnattr_t, decltype(destroyAttributes)> attributesGuard(&attributes,
                                                                                          destroyAttributes);

    if (!prepareChild(actions, attributes, writeEnd.get()))
        return 0;

    std::vector<std::string> arguments{browser.string()};
    arguments.insert(arguments.end(), browserOptions.begin(), browserOptions.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawn(&pid, arguments.front().c_str(), &actions, &attributes, argv.data(), environ) != 0)
        return 0;
    output = std::move(readEnd);
    return pid;
}

// Everything written before end of output or the deadline; a line cut off by the deadline
// is dropped. ended tells whether the output was closed.
std::string readUntil(int fd, Clock::time_point deadline, bool& ended)
{
    std::string output;
    std::array<char, 4096> chunk{};
    ended = false;
    while (!ended && Clock::now() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got > 0)
            output.append(chunk.data(), static_cast<std::size_t>(got));
        else if (got == 0 || (errno != EINTR && errno != EAGAIN))
            ended = true;
    }
    if (!ended)
        output.erase(output.find_last_of('\n') + 1);
    return output;
}

void addMdnsNames(const std::filesystem::path& browser, std::chrono::milliseconds deadlineAfter,
                  std::vector<std::string>& list)
{
    if (browser.empty())
        return;
    const auto deadline = Clock::now() + deadlineAfter;
    FileDescriptor output;
    BrowserProcess process(spawnBrowser(browser, output));
    if (!output.valid())
        return;
    bool ended = false;
    const std::string text = readUntil(output.get(), deadline, ended);
    if (ended)
        process.awaitExit(deadline);
    addBrowserNames(text, list);
}

} // namespace

ComputerList::ComputerList() : ComputerList(Sources{.hostsFile = "/etc/hosts", .mdnsBrowser = findMdnsBrowser()}) {}

ComputerList::ComputerList(Sources sources) : sources_(std::move(sources)) {}

void ComputerList::listComputers(std::vector<std::string>& list) const
{
    list.clear();
    try {
        addHostsFileNames(sources_.hostsFile, list);
        addMdnsNames(sources_.mdnsBrowser, sources_.mdnsDeadline, list);
    } catch (const std::exception&) {
        // Out of memory at worst: the names gathered so far are still worth showing.
    }
}

std::vector<std::string> ComputerList::list() const
{
    std::vector<std::string> names;
    listComputers(names);
    return names;
}

std::filesystem::path ComputerList::findMdnsBrowser()
{
    for (const char* folder : browserFolders) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / browserName;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace platform
