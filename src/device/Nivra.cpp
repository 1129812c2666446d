#include "device/Nivra.h"

#include "device/Framecodec.h"
#include "device/Nivrathread.h"
#include "library/Locker.h"
#include "library/Numstr.h"
#include "platform/Beep.h"
#include "platform/Operatornotifier.h"
#include "settings/Configuration.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <random>

namespace {

std::string channelLabel(const char* prefix, double count, double offset)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(count) & 0xFFFFu);
    return std::string(prefix) + hex + "h (" + lib::formatReal(offset, 3) + ")";
}

} // namespace

Nivra::Nivra(Configuration& configuration, platform::OperatorNotifier& notifier)
    : configuration_(configuration), notifier_(notifier), demoSleep_([](std::chrono::milliseconds pause) {
          std::this_thread::sleep_for(pause);
      }),
      demoSeed_(std::random_device{}())
{
}

// The thread writes into members declared after it: it ends before any of them goes.
Nivra::~Nivra()
{
    thread_.reset();
}

void Nivra::setPortParams(std::string name, std::int32_t speed, std::int32_t parityIndex, std::int32_t stopBitsIndex)
{
    portName_ = std::move(name);
    speed_ = speed;
    parityIndex_ = parityIndex;
    stopBitsIndex_ = stopBitsIndex;
}

void Nivra::applyPortSettings()
{
    setPortParams(configuration_.portName, configuration_.baudRate, configuration_.parity, configuration_.stopBits);
}

bool Nivra::openPort()
{
    auto port = std::make_unique<platform::SerialPort>();
    if (!port->open(portName_))
        return false;
    // The line mode is applied as far as the device takes it; a mode it refuses is not fatal.
    port->configure(platform::SerialPort::modeString(speed_, parityIndex_, stopBitsIndex_));
    port->setTimeouts(std::chrono::milliseconds(1000), std::chrono::milliseconds(1000));
    port->raiseRts();
    port_ = std::move(port);
    return true;
}

void Nivra::closePort()
{
    port_.reset();
}

void Nivra::sendFrame9(const std::array<std::uint8_t, 8>& payload)
{
    if (port_)
        port_->write(framecodec::makeCommand(payload));
}

bool Nivra::waitForText(std::string_view text)
{
    if (!port_ || text.empty())
        return false;
    std::size_t position = 0;
    int mismatches = 0;
    for (;;) {
        std::uint8_t byte = 0;
        const auto result = port_->read({&byte, 1});
        if (!result.ok) {
            port_->clearError();
            platform::beep(1000, 20);
            return false;
        }
        if (result.count == 0)
            return false;
        if (byte == static_cast<std::uint8_t>(text[position])) {
            mismatches = 0;
            if (++position == text.size())
                return true;
        } else {
            position = 0;
            if (++mismatches == 10)
                return false;
        }
    }
}

platform::ReadResult Nivra::readBytes(std::span<std::uint8_t> buffer)
{
    if (!port_)
        return {false, 0};
    return port_->read(buffer);
}

bool Nivra::ensurePortOpen()
{
    if (portOpen() || openPort())
        return true;
    closePort();
    status_ = statusPortFailed;
    return false;
}

bool Nivra::connectForCycle()
{
    if (!openForCycle() || !exchangeProgramme())
        return false;
    beginAcquisition();
    return true;
}

bool Nivra::openForCycle()
{
    status_ = statusOk;
    return configuration_.demo || ensurePortOpen();
}

bool Nivra::exchangeProgramme()
{
    if (configuration_.demo)
        return true;
    port_->discardInput();
    const auto command = framecodec::programmeCommand(programme);
    std::array<std::uint8_t, 8> payload{};
    std::copy(command.begin(), command.begin() + 8, payload.begin());
    bool accepted = false;
    for (int attempt = 0; attempt < 2 && !accepted; ++attempt) {
        sendFrame9(payload);
        std::array<std::uint8_t, 5> answer{};
        accepted = waitForText("OK") || readBytes(answer).count == answer.size();
    }
    if (!accepted) {
        status_ = statusNoAnswer;
        closePort();
    }
    return accepted;
}

void Nivra::beginAcquisition()
{
    samples.clear();
    if (!thread_)
        startThread(false);
}

bool Nivra::connectSummatorOnly()
{
    status_ = statusOk;
    if (!configuration_.demo) {
        if (!ensurePortOpen())
            return false;
        sendFrame9(framecodec::summatorOnlyPayload);
    }
    if (!thread_)
        startThread(true);
    return true;
}

void Nivra::startThread(bool summatorOnly)
{
    const Configuration& c = configuration_;
    TNivraThread::Parameters parameters;
    auto& acquisition = parameters.acquisition;
    acquisition.model = c.deviceType;
    acquisition.samplesPerSecond = c.samplesPerSecond;
    acquisition.screenSeconds = c.screenSeconds;
    acquisition.adc = {c.adcBits, c.adcRanges, c.rangeRatio, c.inputVoltage};
    acquisition.summatorOnly = summatorOnly;
    acquisition.summatorInUse = c.summatorUse;
    acquisition.presence = c.summatorPresent;
    acquisition.summator = {c.summatorNull, c.summatorNull10, c.summatorSwitchThreshold, c.summatorMax1, c.summatorMax10};
    parameters.demo = c.demo;
    parameters.demoSeed = demoSeed_++;
    parameters.demoSleep = demoSleep_;
    parameters.timing = timing_;

    thread_ = std::make_unique<TNivraThread>(std::move(parameters), std::move(port_), live_,
                                             configuration_.summatorHighChannel, configuration_.summatorZeroCalibration);
    thread_->signals.point.connect([this](const CurvePoint& p) { samples.append(p); });
    thread_->signals.summatorValue.connect([this](double percent) {
        summatorReading(percent);
        addSummatorValue(percent);
    });
    thread_->signals.lowChannelRaw.connect([this](double count, double offset) { showLowChannel(count, offset); });
    thread_->signals.highChannelRaw.connect([this](double count, double offset) { showHighChannel(count, offset); });
    stopped_ = false;
    summatorOnly_ = summatorOnly;
    thread_->start();
}

void Nivra::stopSummatorStreaming()
{
    if (!thread_ || !summatorOnly_)
        return;
    // Only asked: joining here would hold the caller's loop (the window's timer) until the read
    // in progress times out. A later tick collects the ended thread.
    thread_->requestStop();
}

bool Nivra::threadFinished() const
{
    return thread_ && thread_->finished();
}

bool Nivra::collectEndedThread()
{
    if (!thread_ || !thread_->finished())
        return false;
    thread_->join();
    const std::int32_t presence = thread_->presence();
    status_ = thread_->status();
    thread_.reset();  // closes the port it held
    summatorOnly_ = false;
    stopped_ = true;
    reportSummatorAbsent(presence);
    configuration_.summatorPresent = presence;
    return true;
}

void Nivra::abandonThread(std::int32_t status)
{
    if (!thread_)
        return;
    thread_.reset();  // asks the loop to stop; a read in progress ends within its time-out
    status_ = status;
    summatorOnly_ = false;
    stopped_ = true;
}

void Nivra::reportSummatorAbsent(std::int32_t presence)
{
    Configuration& c = configuration_;
    if (c.deviceType != modelTavir || c.summatorPresent == Acquisition::presenceAbsent
        || presence != Acquisition::presenceAbsent || !c.summatorUse)
        return;
    c.summatorUse = false;
    c.saveProgramSettings();
    summatorLost();
    notifier_.notify({"  ОШИБКА", "Газосумматор не найден! Использование внутреннего газосумматора не возможно!",
                      platform::OperatorMessage::Icon::error});
}

double Nivra::summatorValue()
{
    const lib::Locker lock(*this);
    return summatorValue_;
}

void Nivra::setSummatorValue(double percent)
{
    const lib::Locker lock(*this);
    summatorValue_ = percent;
}

void Nivra::addSummatorValue(double percent)
{
    const lib::LocalSeconds now = clock_();
    const double reading = percent < 0 ? 0 : percent;
    const float depth = summatorDepth_.load(std::memory_order_relaxed);
    double average = 0;
    {
        const lib::Locker lock(*this);
        // A clock set back also closes the second, so averaging never stalls.
        if (now == lastSecond_) {
            secondSum_ += reading;
            ++secondCount_;
            return;
        }
        average = secondCount_ == 0 ? reading : secondSum_ / secondCount_;
        summatorValue_ = average;
        secondSum_ = 0;
        secondCount_ = 0;
        lastSecond_ = now;
    }
    summatorAveraged(lib::toDateTime(now), depth, average);
}

std::string Nivra::lowChannelLabel()
{
    const lib::Locker lock(*this);
    return lowChannelLabel_;
}

std::string Nivra::highChannelLabel()
{
    const lib::Locker lock(*this);
    return highChannelLabel_;
}

Nivra::SummatorOffsets Nivra::summatorOffsets()
{
    const lib::Locker lock(*this);
    return offsets_;
}

void Nivra::showLowChannel(double count, double offset)
{
    std::string label = channelLabel("sum1: ", count, offset);
    const lib::Locker lock(*this);
    lowChannelLabel_ = std::move(label);
    offsets_.low = offset;
    ++offsets_.lowReadings;
}

void Nivra::showHighChannel(double count, double offset)
{
    std::string label = channelLabel("sum10:", count, offset);
    const lib::Locker lock(*this);
    highChannelLabel_ = std::move(label);
    offsets_.high = offset;
    ++offsets_.highReadings;
}

void Nivra::setDemoPacing(DemoGenerator::Sleep sleep, std::uint32_t seed)
{
    demoSleep_ = std::move(sleep);
    demoSeed_ = seed;
}
