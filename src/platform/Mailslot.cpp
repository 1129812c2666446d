#include "platform/Mailslot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Waiting messages beyond this stay in the socket's own (bounded) queue, so a flood of
// messages costs no more memory than this.
constexpr std::size_t collectedAtMost = 64;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool ownedPrivateFolder(const std::filesystem::path& folder)
{
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid())
        return false;
    // Another account must not be able to reach or replace the sockets.
    return (status.st_mode & 077) == 0 || ::chmod(folder.c_str(), 0700) == 0;
}

bool makePrivateFolder(const std::filesystem::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return ownedPrivateFolder(folder);
}

} // namespace

std::filesystem::path mailslotDirectory()
{
    if (const std::string configured = environment("NIVRA_MAILSLOT_DIR"); !configured.empty())
        return configured;
    if (const std::string runtime = environment("XDG_RUNTIME_DIR"); !runtime.empty())
        return std::filesystem::path(runtime) / "nivra-mailslot";
    return "/tmp/nivra-mailslot-" + std::to_string(::getuid());
}

std::filesystem::path mailslotPath(std::string_view name)
{
    std::filesystem::path path = mailslotDirectory();
    std::string part;
    auto appendPart = [&] {
        // A name cannot climb out of the mailslot folder.
        if (!part.empty() && part != "." && part != "..")
            path /= part;
        part.clear();
    };
    for (const char c : name) {
        if (c == '\\' || c == '/')
            appendPart();
        else
            part += c;
    }
    appendPart();
    return path;
}

bool prepareMailslotFolders(const std::filesystem::path& socketPath)
{
    const std::filesystem::path base = mailslotDirectory();
    std::error_code ignored;
    std::filesystem::create_directories(base.parent_path(), ignored);
    if (!makePrivateFolder(base))
        return false;
    const std::filesystem::path relative = socketPath.parent_path().lexically_relative(base);
    std::filesystem::path folder = base;
    for (const auto& part : relative) {
        if (part == ".")
            continue;
        folder /= part;
        if (!makePrivateFolder(folder))
            return false;
    }
    return true;
}

Mailslot::Mailslot(std::string_view name, std::size_t maximumMessageSize)
    : path_(mailslotPath(name)), maximumSize_(maximumMessageSize)
{
    if (!create(name)) {
        socket_.close();
        lock_.close();
    }
}

Mailslot::~Mailslot()
{
    if (valid()) {
        socket_.close();
        ::unlink(path_.c_str());
    }
    // The lock goes last: until then no second owner can take the name.
    lock_.close();
}

bool Mailslot::create(std::string_view name)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path_.native().size() >= sizeof address.sun_path) {
        error_ = "the mailslot path is too long: " + path_.string();
        return false;
    }
    if (!prepareMailslotFolders(path_)) {
        error_ = "the mailslot folder cannot be made private: " + path_.parent_path().string();
        return false;
    }
    if (!takeOwnership()) {
        error_ = "another program already owns the mailslot \"" + std::string(name) + "\"";
        return false;
    }
    // Whatever socket file is there was left by a run that no longer holds the lock.
    ::unlink(path_.c_str());
    socket_ = FileDescriptor(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    std::memcpy(address.sun_path, path_.c_str(), path_.native().size() + 1);
    if (!socket_.valid() || ::bind(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error_ = "the mailslot cannot be created: " + std::string(std::strerror(errno));
        return false;
    }
    ::chmod(path_.c_str(), 0600);
    return true;
}

bool Mailslot::takeOwnership()
{
    const std::string lockPath = path_.string() + ".lock";
    lock_ = FileDescriptor(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    return lock_.valid() && ::flock(lock_.get(), LOCK_EX | LOCK_NB) == 0;
}

void Mailslot::collectArrived()
{
    if (!valid())
        return;
    std::string buffer(maximumSize_ + 1, '\0');
    while (arrived_.size() < collectedAtMost) {
        const ssize_t size = ::recv(socket_.get(), buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (static_cast<std::size_t>(size) > maximumSize_)
            continue;
        arrived_.emplace_back(buffer.data(), static_cast<std::size_t>(size));
    }
}

Mailslot::Waiting Mailslot::waiting()
{
    collectArrived();
    if (arrived_.empty())
        return {};
    return {arrived_.front().size(), arrived_.size()};
}

std::optional<std::string> Mailslot::read()
{
    collectArrived();
    if (arrived_.empty())
        return std::nullopt;
    std::string message = std::move(arrived_.front());
    arrived_.pop_front();
    return message;
}

} // namespace platform
