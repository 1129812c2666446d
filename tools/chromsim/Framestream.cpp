#include "chromsim/Framestream.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chromsim {
namespace {

// A low- and a high-channel reading this often: the station decides the summator is missing
// when none arrives within half a second.
constexpr double summatorPairsPerSecond = 4;
// Full scale of the summator's 13-bit count, 10 V: the low channel reaches it at 1 % total
// gas, the high channel at 10 %, the station's default channel spans.
constexpr double countsPerPercentLow = 8191;
constexpr double countsPerPercentHigh = 819.1;
constexpr double maxSummatorCount = 8191;

std::uint64_t framesFor(double seconds, double framesPerSecond)
{
    return static_cast<std::uint64_t>(std::llround(seconds * framesPerSecond));
}

std::uint64_t streamLength(const SimOptions& options, FrameStream::Mode mode)
{
    if (mode == FrameStream::Mode::summatorOnly)
        return std::numeric_limits<std::uint64_t>::max();
    const double silentAfter = options.faults.silentAfter().value_or(options.lengthSeconds);
    return framesFor(std::min(options.lengthSeconds, silentAfter), options.framesPerSecond());
}

bool sendsEndMarker(const SimOptions& options, FrameStream::Mode mode)
{
    const bool fallsSilent = options.faults.silentAfter().value_or(options.lengthSeconds) < options.lengthSeconds;
    return mode == FrameStream::Mode::cycle && !fallsSilent && !options.faults.has(Fault::noEndMarker);
}

} // namespace

FrameStream::FrameStream(const SimOptions& options, Mode mode, std::uint64_t seed)
    : model_(options.model),
      summator_(options.model == modelTavir && options.summator),
      framesPerSecond_(options.framesPerSecond()),
      summatorSpacing_(std::max<std::uint64_t>(4, framesFor(1 / summatorPairsPerSecond, framesPerSecond_))),
      last_(streamLength(options, mode)),
      endMarker_(sendsEndMarker(options, mode)),
      autorange_(adc_),
      signal_(seed, mode == Mode::cycle),
      faults_(options.faults, framesPerSecond_, seed ^ 0x9E3779B97F4A7C15ull)
{
}

void FrameStream::produce(std::uint64_t until, std::vector<std::uint8_t>& out)
{
    for (; next_ < std::min(until, last_); ++next_)
        faults_.emit(frame(next_), out);
    if (next_ < last_ || finished_)
        return;
    if (endMarker_)
        out.insert(out.end(), framecodec::endMarker.begin(), framecodec::endMarker.end());
    finished_ = true;
}

framecodec::Frame FrameStream::frame(std::uint64_t index)
{
    const auto counter = static_cast<std::uint8_t>((index + 1) % 128);
    const double seconds = static_cast<double>(index) / framesPerSecond_;
    // The pair takes two frame times of its own, as on the instrument.
    const std::uint64_t slot = index % summatorSpacing_;
    if (summator_ && (slot == 1 || slot == 2))
        return summatorReading(counter, slot == 2, seconds);
    const auto reading = autorange_.pick(signal_.detectorMillivolts(seconds));
    return framecodec::encodeSample(model_, counter, reading.range, reading.count, adc_.bits);
}

framecodec::Frame FrameStream::summatorReading(std::uint8_t counter, bool highChannel, double seconds)
{
    const double percent = signal_.totalGasPercent(seconds);
    const double count = std::round(percent * (highChannel ? countsPerPercentHigh : countsPerPercentLow));
    return framecodec::encodeSummatorReading(counter, highChannel,
                                             static_cast<std::uint16_t>(std::clamp(count, 0.0, maxSummatorCount)));
}

} // namespace chromsim
