#pragma once

#include "device/Acquisitionsignals.h"
#include "device/Demogenerator.h"
#include "device/Framereader.h"
#include "device/Linkstatus.h"
#include "device/Samplebuffer.h"
#include "library/Lockobject.h"
#include "library/Mytime.h"
#include "platform/Serialport.h"

#include <boost/signals2/signal.hpp>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class Configuration;
class TNivraThread;
namespace platform {
class OperatorNotifier;
}

// The link to the chromatograph: its port, the programme of the next cycle, the acquisition
// thread and what it delivers. The points go to the sample buffer under the buffer's lock; this
// link's own lock guards the summator value and the channel labels. Each holder keeps a lock
// only for the copy it makes, and never both at once.
//
// All members except the slots run on the main thread.
class Nivra : public lib::lock_object {
public:
    Nivra(Configuration& configuration, platform::OperatorNotifier& notifier);
    ~Nivra() override;

    // Port. Parity letters n o e m s and stop bits 1, 1.5, 2 by index.
    void setPortParams(std::string name, std::int32_t speed, std::int32_t parityIndex, std::int32_t stopBitsIndex);
    void applyPortSettings();  // the four values from the settings
    bool openPort();
    void closePort();
    bool portOpen() const { return port_ && port_->isOpen(); }
    void sendFrame9(const std::array<std::uint8_t, 8>& payload);
    bool waitForText(std::string_view text);
    platform::ReadResult readBytes(std::span<std::uint8_t> buffer);

    // The eight values sent with the programme command.
    std::array<std::int32_t, 8> programme{};

    // Handshake and start of a cycle; false with the status saying why.
    bool connectForCycle();
    // The same in three steps, so that the wait for the instrument's answer can run off the
    // window thread: the port opened (quick), the programme exchanged (waits on the line; may
    // run on another thread while nothing else uses the link), the acquisition started.
    bool openForCycle();
    bool exchangeProgramme();
    void beginAcquisition();
    // Model 1 between cycles: the summator readings alone.
    bool connectSummatorOnly();
    // Main thread, every tick: when the thread has ended, takes its results, closes the port and
    // returns true.
    bool collectEndedThread();
    // A cycle is to start: asks the summator-only thread to end as if the instrument had ended
    // it; collectEndedThread takes it once it has.
    void stopSummatorStreaming();
    // Stops a thread that should have ended by itself and records status as its outcome.
    void abandonThread(std::int32_t status);

    std::int32_t status() const { return status_; }
    bool stopped() const { return stopped_; }
    // The thread has ended and waits to be collected.
    bool threadFinished() const;
    bool summatorOnly() const { return summatorOnly_; }

    // Points of the running cycle; the acquisition thread appends to it.
    SampleBuffer samples;

    std::int32_t currentAdcCount() const { return live_.adcCount.load(std::memory_order_relaxed); }
    std::int32_t currentRange() const { return live_.range.load(std::memory_order_relaxed); }
    std::int32_t currentSecond() const { return live_.second.load(std::memory_order_relaxed); }

    double summatorValue();
    void setSummatorValue(double percent);

    // The slot of the internal summator's readings (acquisition thread): one average a second.
    // The reading that closes a second is not added to the next second's sum.
    void addSummatorValue(double percent);
    // The depth the averages are recorded with: the work cycle's current depth.
    void setSummatorDepth(float depth) { summatorDepth_.store(depth, std::memory_order_relaxed); }
    void setClock(std::function<lib::LocalSeconds()> clock) { clock_ = std::move(clock); }
    // "sum1: 0333h (0,000)" and "sum10:…": the last raw reading of each summator channel.
    std::string lowChannelLabel();
    std::string highChannelLabel();
    // The zero offset each summator channel applied to its last raw reading, and how many raw
    // readings it has delivered: a zero calibration reads its result here.
    struct SummatorOffsets {
        double low = 0;
        double high = 0;
        std::uint64_t lowReadings = 0;
        std::uint64_t highReadings = 0;
    };
    SummatorOffsets summatorOffsets();

    // Raised on the acquisition thread with every internal summator reading, in percent.
    boost::signals2::signal<void(double)> summatorReading;
    // Every second's average, on the acquisition thread after the lock is released: date-time
    // (days), depth, percent. The registration sender and the summator trend's owner listen.
    boost::signals2::signal<void(double dateTime, float depth, double average)> summatorAveraged;
    // Raised on the main thread when the internal summator turned out to be absent and "use"
    // was switched off.
    boost::signals2::signal<void()> summatorLost;

    // For tests: quicker silence, no demo pauses, a fixed demo seed.
    void setFrameTiming(FrameReader::Timing timing) { timing_ = timing; }
    void setDemoPacing(DemoGenerator::Sleep sleep, std::uint32_t seed);

private:
    bool ensurePortOpen();
    void startThread(bool summatorOnly);
    void showLowChannel(double count, double offset);
    void showHighChannel(double count, double offset);
    void reportSummatorAbsent(std::int32_t presence);

    Configuration& configuration_;
    platform::OperatorNotifier& notifier_;
    std::unique_ptr<platform::SerialPort> port_;
    std::string portName_ = "COM1";
    std::int32_t speed_ = 38400;
    std::int32_t parityIndex_ = 2;
    std::int32_t stopBitsIndex_ = 0;

    std::unique_ptr<TNivraThread> thread_;
    std::int32_t status_ = statusOk;
    bool stopped_ = true;
    bool summatorOnly_ = false;
    LiveValues live_;
    FrameReader::Timing timing_;
    DemoGenerator::Sleep demoSleep_;
    std::uint32_t demoSeed_;
    std::function<lib::LocalSeconds()> clock_ = lib::localSecondsNow;
    std::atomic<float> summatorDepth_{0};

    // Guarded by the lock.
    double summatorValue_ = 0;
    double secondSum_ = 0;
    std::int32_t secondCount_ = 0;
    lib::LocalSeconds lastSecond_ = 0;
    std::string lowChannelLabel_;
    std::string highChannelLabel_;
    SummatorOffsets offsets_;
};
