#pragma once

#include "device/Curvepoint.h"

#include <boost/signals2/signal.hpp>

#include <atomic>
#include <cstdint>

// What the acquisition hands out; every signal is raised, and its slots run, on the acquisition
// thread: a window must queue what it takes from them.
struct AcquisitionSignals {
    boost::signals2::signal<void(const CurvePoint&)> point;
    boost::signals2::signal<void(double percent)> summatorValue;
    // The raw 14-bit count of a summator channel and the zero offset in force for it.
    boost::signals2::signal<void(double count, double offset)> lowChannelRaw;
    boost::signals2::signal<void(double count, double offset)> highChannelRaw;
};

// The live values the operator sees; single stores by the acquisition, read a frame late at worst.
struct LiveValues {
    std::atomic<std::int32_t> adcCount{0};
    std::atomic<std::int32_t> range{0};
    std::atomic<std::int32_t> second{0};
};
