#include "station/Computersearch.h"

#include "platform/Computerlist.h"

#include <system_error>
#include <thread>
#include <utility>

ComputerSearch::Source ComputerSearch::systemSource()
{
    return [] { return platform::ComputerList().list(); };
}

ComputerSearch::ComputerSearch(Source source, Delivery deliver) : shared_(std::make_shared<Shared>())
{
    shared_->deliver = std::move(deliver);
    try {
        std::thread([shared = shared_, source = std::move(source)] { run(shared, source); }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: nothing found, which the operator can still type over.
        ComputerSearch::deliver(*shared_, {});
    }
}

ComputerSearch::~ComputerSearch()
{
    cancel();
}

void ComputerSearch::cancel()
{
    const std::lock_guard lock(shared_->lock);
    shared_->deliver = nullptr;
}

void ComputerSearch::run(const std::shared_ptr<Shared>& shared, const Source& source)
{
    std::vector<std::string> names;
    try {
        names = source();
    } catch (...) {
        names.clear();
    }
    deliver(*shared, std::move(names));
}

// Delivers under the lock: cancel() must not return while a delivery still reaches the receiver.
// A delivery only hands the names on (a queued call), so the wait it can cause is short.
void ComputerSearch::deliver(Shared& shared, std::vector<std::string> names)
{
    const std::lock_guard lock(shared.lock);
    if (!shared.deliver)
        return;
    const Delivery once = std::exchange(shared.deliver, nullptr);
    once(std::move(names));
}
