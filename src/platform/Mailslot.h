#pragma once

#include "platform/Filedescriptor.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The folder that holds this user's mailslots: $NIVRA_MAILSLOT_DIR, else
// $XDG_RUNTIME_DIR/nivra-mailslot, else /tmp/nivra-mailslot-<uid>.
std::filesystem::path mailslotDirectory();

// "Registration\FixedData" → <folder>/Registration/FixedData.
std::filesystem::path mailslotPath(std::string_view name);

// Creates the folders of a mailslot path for this user only (mode 0700). False when a folder
// belongs to someone else or cannot be made: then nothing may be sent or received there.
bool prepareMailslotFolders(const std::filesystem::path& socketPath);

// The receiving end of a mailslot: a Unix datagram socket that only this user can reach.
// A lock file beside the socket marks the owner, so a second owner is refused while the first
// lives, and a socket file left by a crashed run is taken over.
class Mailslot {
public:
    struct Waiting {
        std::size_t nextSize = 0;
        std::size_t count = 0;
    };

    Mailslot(std::string_view name, std::size_t maximumMessageSize);
    ~Mailslot();
    Mailslot(const Mailslot&) = delete;
    Mailslot& operator=(const Mailslot&) = delete;

    bool valid() const { return socket_.valid(); }
    const std::string& errorText() const { return error_; }
    const std::filesystem::path& path() const { return path_; }
    std::size_t maximumMessageSize() const { return maximumSize_; }

    // Never waits. A message over the maximum size is dropped, as the mailslot would refuse it.
    Waiting waiting();
    std::optional<std::string> read();

    // For a caller that waits in poll() (the companion tools).
    int descriptor() const { return socket_.get(); }

private:
    bool create(std::string_view name);
    bool takeOwnership();
    void collectArrived();

    std::filesystem::path path_;
    std::size_t maximumSize_;
    FileDescriptor lock_;
    FileDescriptor socket_;
    std::deque<std::string> arrived_;
    std::string error_;
};

} // namespace platform
