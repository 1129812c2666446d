#include "platform/Beep.h"

#include <mutex>

namespace platform {
namespace {

// The process has one loudspeaker; the sink is set once by the window layer (or a test).
struct BeepSetting {
    std::mutex mutex;
    BeepSink sink;
};

BeepSetting& setting()
{
    static BeepSetting instance;
    return instance;
}

} // namespace

void beep(int frequencyHz, int durationMs)
{
    BeepSink sink;
    {
        std::lock_guard lock(setting().mutex);
        sink = setting().sink;
    }
    if (sink)
        sink(frequencyHz, durationMs);
}

BeepSink setBeepSink(BeepSink sink)
{
    std::lock_guard lock(setting().mutex);
    std::swap(setting().sink, sink);
    return sink;
}

} // namespace platform
