#pragma once

#include "device/Deviceframe.h"
#include "device/Linkstatus.h"

// Where the acquisition gets its frames: the instrument or the demonstration generator.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // statusOk with a frame, statusShortFrame for a dropped frame, or what ends the cycle.
    virtual LinkStatus next(DeviceFrame& frame) = 0;
    // True when the source has ended the cycle by itself.
    virtual bool exhausted() const { return false; }
};
