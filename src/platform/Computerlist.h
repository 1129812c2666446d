#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The computers an operator may pick as the registration computer: the names of the hosts
// database, then the hosts that mDNS announces when the system has a browser for it.
// Both sources are optional; an empty list still lets the operator type a name.
class ComputerList {
public:
    struct Sources {
        std::filesystem::path hostsFile = "/etc/hosts";
        std::filesystem::path mdnsBrowser;  // empty: no mDNS
        std::chrono::milliseconds mdnsDeadline = std::chrono::seconds(1);
    };

    ComputerList();  // the system's hosts file and avahi-browse, when installed
    explicit ComputerList(Sources sources);

    // The hosts database is always there, so nothing can fail to load.
    bool ready() const { return true; }
    const std::string& errorText() const { return errorText_; }

    // Empties list, then fills it: hosts file names first, then mDNS names, each name once,
    // in the order first seen. Never throws and never takes longer than the mDNS deadline
    // (plus reading the hosts file).
    void listComputers(std::vector<std::string>& list) const;
    std::vector<std::string> list() const;

    // avahi-browse from the system folders; empty when it is not installed.
    static std::filesystem::path findMdnsBrowser();

private:
    Sources sources_;
    std::string errorText_;
};

} // namespace platform
