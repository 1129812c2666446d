#pragma once

#include <cstdint>

// What the link to the chromatograph last ran into.
enum LinkStatus : std::int32_t {
    statusOk = -100,          // no error
    statusNoAnswer = -99,     // no acknowledgement, or a second of silence during a cycle
    statusShortFrame = -98,   // a frame's three bytes after the sync byte did not all arrive
    statusPortFailed = -97,   // the port cannot be opened
    statusEndOfCycle = -96,   // the end-of-cycle marker arrived
};

// A cycle that ended by its end marker, or with no error at all, has its results and curve.
constexpr bool endedNormally(std::int32_t status)
{
    return status == statusOk || status == statusEndOfCycle;
}
