#pragma once

#include "device/Commport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class Configuration;

// The reader of the separate gas summator (model 0): opens and closes its port as "use" changes,
// reads "MMV" frames and keeps the last reading in percent. The main thread hands it settings as
// copies, so this thread never touches the configuration the operator is editing.
class TSummThread {
public:
    struct Settings {
        bool use = false;
        std::int32_t deviceType = 0;
        std::string portName;
        float coeff = 0.1f;
        float null = 0;

        static Settings fromConfiguration(const Configuration& configuration);
    };

    // The pauses of the loop and the port's read time-outs; tests shorten them.
    struct Timing {
        std::chrono::milliseconds pause{100};         // idle pass, model 1, before reconnecting
        std::chrono::milliseconds afterReading{40};
        std::int32_t readTimeoutMs = 250;
        std::int32_t reconnectTimeoutMs = 100;
    };

    // Called on the summator thread, with no lock held, for every reading.
    using ValueSink = std::function<void(double percent)>;

    TSummThread(Settings settings, ValueSink onValue);
    TSummThread(Settings settings, ValueSink onValue, Timing timing);
    ~TSummThread();  // terminate()
    TSummThread(const TSummThread&) = delete;
    TSummThread& operator=(const TSummThread&) = delete;

    void start();
    // Stops the loop and waits for it; the port is closed. Safe to call more than once.
    void terminate();

    // Seen from the next pass of the loop on.
    void applySettings(Settings settings);
    // As applySettings, and the port is closed and opened again.
    void reconnect(Settings settings);

    double value() const;
    bool portOpen() const { return portOpen_.load(std::memory_order_acquire); }

private:
    void run();
    void pass(const Settings& settings);
    bool openPort(const std::string& name, std::int32_t timeoutMs);
    void closePort();
    bool readOnce(const Settings& settings);
    std::optional<double> readFrame();
    void store(double reading, const Settings& settings);

    Settings currentSettings() const;
    bool takeReconnect();
    bool stopping() const;
    // False when the thread is asked to stop meanwhile.
    bool sleep(std::chrono::milliseconds duration);

    const ValueSink onValue_;
    const Timing timing_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    Settings settings_;
    float value_ = 0;
    bool reconnect_ = false;
    bool stop_ = false;

    // Used by the summator thread only.
    CommPort port_;
    bool lastOpenSucceeded_ = false;
    std::uint32_t failedFrames_ = 0;  // in a row
    std::atomic<bool> portOpen_{false};

    std::thread thread_;
};
