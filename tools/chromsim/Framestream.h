#pragma once

#include "chromsim/Autorange.h"
#include "chromsim/Faultinjector.h"
#include "chromsim/Signalmodel.h"
#include "chromsim/Simoptions.h"
#include "device/Framecodec.h"

#include <cstdint>
#include <vector>

namespace chromsim {

// The bytes the instrument sends after a command, frame by frame: a cycle's chromatogram ending
// with the end marker, or, after the summator-only command, an endless baseline. Frame n goes
// out at n / framesPerSecond seconds of instrument time and carries the counter (n + 1) mod 128.
class FrameStream {
public:
    enum class Mode { cycle, summatorOnly };

    FrameStream(const SimOptions& options, Mode mode, std::uint64_t seed);

    // Appends the frames before number `until`, and the end of the cycle once it is reached.
    void produce(std::uint64_t until, std::vector<std::uint8_t>& out);

    bool finished() const { return finished_; }
    std::uint64_t produced() const { return next_; }
    std::uint64_t length() const { return last_; }  // frames before the stream ends or falls silent
    bool endsWithMarker() const { return endMarker_; }

private:
    framecodec::Frame frame(std::uint64_t index);
    framecodec::Frame summatorReading(std::uint8_t counter, bool highChannel, double seconds);

    std::int32_t model_;
    bool summator_;
    double framesPerSecond_;
    std::uint64_t summatorSpacing_;
    std::uint64_t last_;
    bool endMarker_;
    AdcParameters adc_;
    Autorange autorange_;
    SignalModel signal_;
    FaultInjector faults_;
    std::uint64_t next_ = 0;
    bool finished_ = false;
};

} // namespace chromsim
