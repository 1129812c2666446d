#include "links/Totalgaspoller.h"

#include <utility>

TotalGasPoller::TotalGasPoller(std::string host)
    : TotalGasPoller(std::move(host), TDataModule1::defaultPort, Timing {})
{
}

TotalGasPoller::TotalGasPoller(std::string host, std::uint16_t port, Timing timing)
    : port_(port), timing_(timing), host_(std::move(host)), thread_([this] { run(); })
{
}

TotalGasPoller::~TotalGasPoller()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TotalGasPoller::setHost(std::string host)
{
    const std::lock_guard lock(mutex_);
    host_ = std::move(host);
}

void TotalGasPoller::setActive(bool active)
{
    {
        const std::lock_guard lock(mutex_);
        active_ = active;
    }
    wake_.notify_all();
}

std::optional<std::string> TotalGasPoller::waitForNextQuery(std::chrono::steady_clock::time_point notBefore)
{
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, notBefore, [this] { return stopping_; });
    wake_.wait(lock, [this] { return stopping_ || active_; });
    if (stopping_)
        return std::nullopt;
    return host_;
}

void TotalGasPoller::run()
{
    auto notBefore = std::chrono::steady_clock::now();
    while (auto host = waitForNextQuery(notBefore)) {
        notBefore = std::chrono::steady_clock::now() + timing_.interval;
        const TDataModule1 module(std::move(*host), port_, timing_.connectTimeout, timing_.readTimeout);
        value_.store(module.queryTotalGas());
    }
}
