#pragma once

#include "device/Acquisition.h"
#include "device/Acquisitionsignals.h"
#include "device/Demogenerator.h"
#include "device/Framereader.h"
#include "device/Internalsummator.h"
#include "platform/Bytechannel.h"

#include <atomic>
#include <memory>
#include <thread>

// The acquisition thread of one cycle (or of summator-only streaming): reads frames from the
// port or the demonstration generator until the end marker, silence or the generator's end.
// It only marks itself finished; its owner collects it on the main thread.
class TNivraThread {
public:
    struct Parameters {
        Acquisition::Settings acquisition;
        bool demo = false;
        std::uint32_t demoSeed = 0;
        DemoGenerator::Sleep demoSleep;
        FrameReader::Timing timing;
    };

    TNivraThread(Parameters parameters, std::unique_ptr<platform::ByteChannel> port, LiveValues& live,
                 std::atomic<bool>& highChannelActive, std::atomic<bool>& zeroCalibration);
    ~TNivraThread();  // asks the loop to stop and waits for it
    TNivraThread(const TNivraThread&) = delete;
    TNivraThread& operator=(const TNivraThread&) = delete;

    AcquisitionSignals signals;  // connect before start()

    void start();
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    void join();
    void requestStop() { thread_.request_stop(); }
    // Valid once finished.
    std::int32_t status() const { return status_; }
    std::int32_t presence() const { return presence_; }

private:
    void run(std::stop_token stop);
    std::unique_ptr<FrameSource> makeSource(std::stop_token stop);

    Parameters parameters_;
    std::unique_ptr<platform::ByteChannel> port_;
    LiveValues& live_;
    InternalSummator summator_;
    std::int32_t status_ = statusOk;
    std::int32_t presence_;
    std::atomic<bool> finished_{false};
    std::jthread thread_;
};
