#include "summsim/Framemaker.h"

#include <algorithm>

namespace summsim {
namespace {

bool every(std::uint32_t period, std::uint64_t number)
{
    return period != 0 && number % period == 0;
}

} // namespace

FrameMaker::FrameMaker(const SimOptions& options)
    : rate_(options.rate), badChecksumEvery_(options.badChecksumEvery), shortEvery_(options.shortEvery),
      plan_(options)
{
}

double FrameMaker::secondsOf(std::uint64_t number) const
{
    return static_cast<double>(number - 1) / rate_;
}

FrameMaker::Damage FrameMaker::damageOf(std::uint64_t number) const
{
    if (every(shortEvery_, number))
        return Damage::cut;
    return every(badChecksumEvery_, number) ? Damage::badChecksum : Damage::none;
}

std::vector<std::uint8_t> FrameMaker::frame(std::uint64_t number) const
{
    const Reading reading = plan_.at(secondsOf(number));
    auto body = summatorframe::encode(static_cast<std::uint8_t>((number - 1) & 0xFF), reading.exponent,
                                      reading.mantissa);
    const Damage damage = damageOf(number);
    if (damage == Damage::badChecksum)
        ++body.back();
    std::vector<std::uint8_t> bytes(frameSize);
    std::copy(summatorframe::header.begin(), summatorframe::header.end(), bytes.begin());
    std::copy(body.begin(), body.end(), bytes.begin() + summatorframe::header.size());
    if (damage == Damage::cut)
        bytes.resize(summatorframe::header.size() + cutBodySize);
    return bytes;
}

} // namespace summsim
