#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Looks for the computers of the network on a thread of its own: the list may take as long as
// its mDNS deadline, which no window may wait for. The thread is detached and shares only this
// object's small state with it, so destroying the object never waits for the search.
class ComputerSearch {
public:
    using Source = std::function<std::vector<std::string>()>;
    using Delivery = std::function<void(std::vector<std::string> names)>;

    // The hosts database and mDNS, as platform::ComputerList finds them.
    static Source systemSource();

    // Starts at once. deliver runs once, on the search's thread, unless cancel() came first; a
    // source that throws delivers an empty list.
    ComputerSearch(Source source, Delivery deliver);
    ~ComputerSearch();
    ComputerSearch(const ComputerSearch&) = delete;
    ComputerSearch& operator=(const ComputerSearch&) = delete;

    // Once it returns, deliver neither runs nor will run; it waits only for a delivery already
    // running, never for the source.
    void cancel();

private:
    struct Shared {
        std::mutex lock;
        Delivery deliver;
    };
    static void run(const std::shared_ptr<Shared>& shared, const Source& source);
    static void deliver(Shared& shared, std::vector<std::string> names);

    std::shared_ptr<Shared> shared_;
};
