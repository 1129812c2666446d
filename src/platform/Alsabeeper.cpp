#include "platform/Alsabeeper.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr double amplitude = 0.3 * 32767;
constexpr int fadeSamples = AlsaBeeper::sampleRate / 500;  // 2 ms

// ALSA writes its complaints to stderr; a station without sound says nothing of it.
void quiet(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_t* openDevice(const std::string& device)
{
    snd_lib_error_set_handler(quiet);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return nullptr;
    // Half a second of latency at most: a beep that comes late is worse than none.
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, AlsaBeeper::sampleRate, 1,
                           500'000)
        < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

} // namespace

AlsaBeeper::AlsaBeeper(std::string device) : device_(std::move(device)), thread_([this] { run(); }) {}

AlsaBeeper::~AlsaBeeper()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    thread_.join();
    if (pcm_) {
        snd_pcm_drain(static_cast<snd_pcm_t*>(pcm_));  // the last beep is heard to its end
        snd_pcm_close(static_cast<snd_pcm_t*>(pcm_));
    }
}

bool AlsaBeeper::play(int frequencyHz, int durationMs)
{
    if (durationMs <= 0)
        return true;
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() >= maxQueuedTones)
            return false;
        queue_.push_back({std::max(frequencyHz, 0), durationMs});
    }
    wake_.notify_one();
    return true;
}

std::size_t AlsaBeeper::played() const
{
    std::lock_guard lock(mutex_);
    return played_;
}

bool AlsaBeeper::silent() const
{
    std::lock_guard lock(mutex_);
    return silent_;
}

std::vector<std::int16_t> AlsaBeeper::toneSamples(int frequencyHz, int durationMs)
{
    const auto count = static_cast<std::size_t>(std::max(durationMs, 0)) * sampleRate / 1000;
    std::vector<std::int16_t> samples(count, 0);
    if (frequencyHz <= 0 || frequencyHz >= sampleRate / 2)
        return samples;
    const double step = 2 * std::numbers::pi * frequencyHz / sampleRate;
    for (std::size_t i = 0; i < count; ++i) {
        const auto edge = static_cast<double>(std::min(i, count - 1 - i));
        const double fade = std::min(1.0, edge / fadeSamples);
        samples[i] = static_cast<std::int16_t>(std::lround(amplitude * fade * std::sin(step * static_cast<double>(i))));
    }
    return samples;
}

bool AlsaBeeper::nextTone(Tone& tone)
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_)
        return false;
    tone = queue_.front();
    queue_.pop_front();
    return true;
}

void AlsaBeeper::run()
{
    Tone tone{};
    while (nextTone(tone))
        write(tone);
}

// One try to open the device: a station without sound stays silent instead of retrying.
void AlsaBeeper::write(const Tone& tone)
{
    if (!pcm_ && !silent()) {
        pcm_ = openDevice(device_);
        if (!pcm_) {
            std::lock_guard lock(mutex_);
            silent_ = true;
        }
    }
    if (!pcm_)
        return;
    auto* pcm = static_cast<snd_pcm_t*>(pcm_);
    const std::vector<std::int16_t> samples = toneSamples(tone.frequencyHz, tone.durationMs);
    std::size_t done = 0;
    int recoveries = 0;
    while (done < samples.size()) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
        if (written < 0) {
            // An underrun (the device ran dry between beeps) or a suspended device; one that
            // keeps failing loses this tone rather than keeping the thread busy.
            if (++recoveries > 3 || snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0)
                return;
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    std::lock_guard lock(mutex_);
    ++played_;
}

} // namespace platform
