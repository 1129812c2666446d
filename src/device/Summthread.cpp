#include "device/Summthread.h"

#include "device/Summatorframe.h"
#include "platform/Beep.h"
#include "settings/Configuration.h"

#include <algorithm>
#include <cmath>
#include <pthread.h>
#include <sched.h>
#include <utility>

namespace {

constexpr std::int32_t summatorSpeed = 9600;
constexpr std::int32_t parityNone = 0;
constexpr double countsPerUnit = 8192.0;
// Failed frames in a row after which the line counts as garbage: more than finding the next
// frame after a damaged one takes. What is queued then is dropped and the thread rests as after
// a reading; read as fast as a pseudo-terminal delivers, garbage would keep a core busy, and a
// queue of it would hold up the first good frame.
constexpr std::uint32_t garbageRun = 64;

// Time-critical where the system allows it; an ordinary thread otherwise.
void raisePriority()
{
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
}

} // namespace

TSummThread::Settings TSummThread::Settings::fromConfiguration(const Configuration& configuration)
{
    return {configuration.summatorUse, configuration.deviceType, configuration.summatorPortName,
            configuration.summatorCoeff, configuration.summatorNull};
}

TSummThread::TSummThread(Settings settings, ValueSink onValue)
    : TSummThread(std::move(settings), std::move(onValue), Timing{})
{
}

TSummThread::TSummThread(Settings settings, ValueSink onValue, Timing timing)
    : onValue_(std::move(onValue)), timing_(timing), settings_(std::move(settings))
{
}

TSummThread::~TSummThread()
{
    terminate();
}

void TSummThread::start()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

void TSummThread::terminate()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TSummThread::applySettings(Settings settings)
{
    std::lock_guard lock(mutex_);
    settings_ = std::move(settings);
}

void TSummThread::reconnect(Settings settings)
{
    std::lock_guard lock(mutex_);
    settings_ = std::move(settings);
    reconnect_ = true;
}

double TSummThread::value() const
{
    std::lock_guard lock(mutex_);
    return value_;
}

void TSummThread::run()
{
    raisePriority();
    while (!stopping())
        pass(currentSettings());
    closePort();
}

void TSummThread::pass(const Settings& settings)
{
    if (settings.deviceType == modelTavir) {
        sleep(timing_.pause);  // that chromatograph carries its own summator
        return;
    }
    if (settings.use && !port_.isOpen()) {
        lastOpenSucceeded_ = openPort(settings.portName, timing_.readTimeoutMs);
        platform::beep(900, 100);
    }
    if (!settings.use && port_.isOpen()) {
        closePort();
        platform::beep(3000, 100);
    }
    if (settings.use && readOnce(settings))
        return;
    sleep(timing_.pause);
}

// True when the loop goes round again without its pause.
bool TSummThread::readOnce(const Settings& settings)
{
    if (takeReconnect()) {
        closePort();
        if (!sleep(timing_.pause))
            return true;
        lastOpenSucceeded_ = openPort(settings.portName, timing_.reconnectTimeoutMs);
    }
    if (!lastOpenSucceeded_)
        return false;
    const auto reading = readFrame();
    if (!reading) {
        // A read on a closed port (a failed reopen) fails at once: going round without the
        // pause would spin.
        if (!port_.isOpen())
            return false;
        if (++failedFrames_ % garbageRun == 0) {
            port_.discardInput();
            sleep(timing_.afterReading);
        }
        return true;
    }
    failedFrames_ = 0;
    store(*reading, settings);
    sleep(timing_.afterReading);
    return true;
}

bool TSummThread::openPort(const std::string& name, std::int32_t timeoutMs)
{
    const bool opened = port_.open(name);
    if (opened)
        port_.configure(summatorSpeed, parityNone, timeoutMs);
    portOpen_.store(port_.isOpen(), std::memory_order_release);
    return opened;
}

void TSummThread::closePort()
{
    port_.close();
    portOpen_.store(false, std::memory_order_release);
}

std::optional<double> TSummThread::readFrame()
{
    summatorframe::Body body{};
    std::size_t count = 0;
    const bool read = port_.expectText(summatorframe::header) && port_.readExact(body, &count);
    // A failed read has reopened the port, which may have failed.
    portOpen_.store(port_.isOpen(), std::memory_order_release);
    if (!read || count != body.size())
        return std::nullopt;
    // A damaged frame can balance by chance; a reading no float can hold is not a reading.
    const auto reading = summatorframe::decode(body);
    if (!reading || !std::isfinite(static_cast<float>(*reading / countsPerUnit)))
        return std::nullopt;
    return reading;
}

void TSummThread::store(double reading, const Settings& settings)
{
    const double percent = std::max(0.0, reading / countsPerUnit * settings.coeff + settings.null);
    double stored = 0;
    {
        std::lock_guard lock(mutex_);
        value_ = static_cast<float>(percent);
        stored = value_;
    }
    if (onValue_)
        onValue_(stored);
}

TSummThread::Settings TSummThread::currentSettings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

bool TSummThread::takeReconnect()
{
    std::lock_guard lock(mutex_);
    return std::exchange(reconnect_, false);
}

bool TSummThread::stopping() const
{
    std::lock_guard lock(mutex_);
    return stop_;
}

bool TSummThread::sleep(std::chrono::milliseconds duration)
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return stop_; });
}
