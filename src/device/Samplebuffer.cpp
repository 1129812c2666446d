#include "device/Samplebuffer.h"

#include "library/Locker.h"

void SampleBuffer::append(const CurvePoint& point)
{
    const lib::Locker lock(*this);
    points_.push_back(point);
}

std::size_t SampleBuffer::count()
{
    const lib::Locker lock(*this);
    return points_.size();
}

CurvePoint SampleBuffer::point(std::size_t index)
{
    const lib::Locker lock(*this);
    return points_[index];
}

CurvePoints SampleBuffer::copyFrom(std::size_t first)
{
    const lib::Locker lock(*this);
    CurvePoints copy;
    for (std::size_t i = first; i < points_.size(); ++i) {
        CurvePoint p = points_[i];
        p.value -= zeroShift_;
        copy.push_back(p);
    }
    return copy;
}

void SampleBuffer::clear()
{
    const lib::Locker lock(*this);
    points_.clear();
}

void SampleBuffer::setZeroShift(double shift)
{
    const lib::Locker lock(*this);
    zeroShift_ = shift;
}

double SampleBuffer::zeroShift()
{
    const lib::Locker lock(*this);
    return zeroShift_;
}
