#pragma once

#include "device/Curvepoint.h"
#include "library/Lockobject.h"

#include <cstddef>

// The points of the running cycle as the acquisition delivers them, and the zero shift the
// display takes off them. Its lock guards both and, through the gas table, the working windows
// a calculation pass reads beside the points; each holder keeps it only for the copy it makes.
class SampleBuffer : public lib::lock_object {
public:
    // Acquisition thread; public so that stored or test signals can be replayed.
    void append(const CurvePoint& point);
    // The points themselves, only while the caller holds this buffer's lock (a calculation pass).
    const CurvePoints& pointsUnderLock() const { return points_; }
    std::size_t count();
    CurvePoint point(std::size_t index);
    // The points from first on, each with the zero shift subtracted: for the display.
    CurvePoints copyFrom(std::size_t first);
    void clear();
    void setZeroShift(double shift);
    double zeroShift();

private:
    CurvePoints points_;
    double zeroShift_ = 0;
};
