#pragma once

#include <functional>

namespace platform {

// A short tone for the operator; never blocks. Silent until the window layer installs a sound,
// and headless runs stay silent. Tests install a recorder.
using BeepSink = std::function<void(int frequencyHz, int durationMs)>;

void beep(int frequencyHz, int durationMs);
// Returns the sink it replaces.
BeepSink setBeepSink(BeepSink sink);

} // namespace platform
