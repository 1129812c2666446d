#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

// The operator's tones through ALSA, played on a thread of its own so that a beep never waits
// for the sound device. Without a device the tones are silence, never an error. A frequency of
// 0 is a pause, so a melody of beeps keeps its rhythm.
class AlsaBeeper {
public:
    static constexpr int sampleRate = 44100;
    // A flood of beeps is cut here instead of growing the queue.
    static constexpr std::size_t maxQueuedTones = 32;

    // "default" is the desktop's sound; tests use ALSA's "null" device or a missing one.
    explicit AlsaBeeper(std::string device = "default");
    ~AlsaBeeper();
    AlsaBeeper(const AlsaBeeper&) = delete;
    AlsaBeeper& operator=(const AlsaBeeper&) = delete;

    // Never blocks; false when the tone was dropped because the queue is full.
    bool play(int frequencyHz, int durationMs);
    // Tones written to the device so far (not those dropped or played into no device).
    std::size_t played() const;
    // True once opening the device failed: the tones since are silence.
    bool silent() const;

    // Mono 16-bit samples of one tone at sampleRate, faded in and out over 2 ms so that it
    // does not click; all zeros for a pause.
    static std::vector<std::int16_t> toneSamples(int frequencyHz, int durationMs);

private:
    struct Tone {
        int frequencyHz;
        int durationMs;
    };

    void run();
    bool nextTone(Tone& tone);
    void write(const Tone& tone);

    const std::string device_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Tone> queue_;
    bool stopping_ = false;
    std::size_t played_ = 0;
    bool silent_ = false;
    void* pcm_ = nullptr;  // snd_pcm_t, used by the thread only
    std::thread thread_;   // last: starts when everything it uses is there
};

} // namespace platform
