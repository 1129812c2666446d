#pragma once

// A work-cycle controller over a settings file in a scratch folder, as the settings windows'
// models take it, and a probe of its locks.
#include "library/Locker.h"
#include "library/Lockobject.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace station_test {

// True when another thread takes lock within a generous deadline; the thread is joined later.
inline bool freeForOthers(lib::lock_object& lock, std::vector<std::thread>& threads)
{
    auto taken = std::make_shared<std::promise<void>>();
    std::future<void> done = taken->get_future();
    threads.emplace_back([&lock, taken] {
        const lib::Locker hold(lock);
        taken->set_value();
    });
    return done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}

class ControllerFolder : public ::testing::Test {
protected:
    ControllerFolder()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        configuration.loadProgramSettings(dir.path());
        system = std::make_unique<NivraSystem>(configuration, notifier, dir.path());
    }
    ~ControllerFolder() override
    {
        system.reset();
        ::unsetenv("NIVRA_MAILSLOT_DIR");
    }

    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::unique_ptr<NivraSystem> system;
};

} // namespace station_test
