#include "device/Nivrathread.h"

#include <pthread.h>
#include <sched.h>

namespace {

// Time-critical where the system allows it; an ordinary thread otherwise.
void raisePriority()
{
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
}

} // namespace

TNivraThread::TNivraThread(Parameters parameters, std::unique_ptr<platform::ByteChannel> port, LiveValues& live,
                           std::atomic<bool>& highChannelActive, std::atomic<bool>& zeroCalibration)
    : parameters_(std::move(parameters)), port_(std::move(port)), live_(live),
      summator_(parameters_.acquisition.summator, highChannelActive, zeroCalibration),
      presence_(parameters_.acquisition.presence)
{
}

TNivraThread::~TNivraThread()
{
    thread_.request_stop();
    join();
}

void TNivraThread::start()
{
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

void TNivraThread::join()
{
    if (thread_.joinable())
        thread_.join();
}

std::unique_ptr<FrameSource> TNivraThread::makeSource(std::stop_token stop)
{
    const auto& settings = parameters_.acquisition;
    if (parameters_.demo)
        return std::make_unique<DemoGenerator>(settings.samplesPerSecond, parameters_.demoSeed, parameters_.demoSleep);
    auto reader = std::make_unique<FrameReader>(*port_, settings.model, settings.adc, settings.summatorInUse,
                                                parameters_.timing);
    reader->setStopToken(std::move(stop));
    return reader;
}

void TNivraThread::run(std::stop_token stop)
{
    raisePriority();
    if (!parameters_.demo && !port_) {
        status_ = statusNoAnswer;
        finished_.store(true, std::memory_order_release);
        return;
    }
    const auto source = makeSource(stop);
    Acquisition acquisition(parameters_.acquisition, signals, live_, summator_);
    while (!stop.stop_requested() && !source->exhausted()) {
        DeviceFrame frame;
        const LinkStatus result = source->next(frame);
        if (result == statusNoAnswer || result == statusEndOfCycle) {
            status_ = result;
            break;
        }
        if (result == statusOk)
            acquisition.feed(frame);
        // Streaming for a summator that is not there serves nothing; ending lets the link say so.
        if (parameters_.acquisition.summatorOnly && acquisition.presence() == Acquisition::presenceAbsent
            && parameters_.acquisition.presence != Acquisition::presenceAbsent)
            break;
    }
    presence_ = acquisition.presence();
    finished_.store(true, std::memory_order_release);
}
