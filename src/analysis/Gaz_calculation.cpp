#include "analysis/Gaz_calculation.h"

#include "analysis/Gaz.h"
#include "analysis/Gazopts.h"
#include "device/Samplebuffer.h"
#include "library/Locker.h"
#include "platform/Beep.h"
#include "settings/Configuration.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t invalidIndex = std::numeric_limits<std::int64_t>::min();

// Bounds-checked reads of the buffer; a read outside it ends what needed it.
class Samples {
public:
    explicit Samples(const CurvePoints& points) : points_(points) {}

    std::int64_t count() const { return static_cast<std::int64_t>(points_.size()); }
    bool has(std::int64_t i) const { return i >= 0 && i < count(); }
    double operator()(std::int64_t i) const { return points_[static_cast<std::size_t>(i)].value; }

private:
    const CurvePoints& points_;
};

struct OutsideBuffer {};

double read(const Samples& v, std::int64_t i)
{
    if (!v.has(i))
        throw OutsideBuffer{};
    return v(i);
}

} // namespace

Calculation::Calculation(SampleBuffer& buffer, GazOptions& gases, const Configuration& configuration)
    : buffer_(buffer), gases_(gases), configuration_(configuration)
{
}

std::int32_t Calculation::rate() const
{
    return std::max(configuration_.samplesPerSecond, 1);
}

std::int64_t Calculation::index(double seconds) const
{
    const double position = std::trunc(seconds * rate());
    // A damaged window must not overflow the conversion.
    if (!std::isfinite(position) || std::fabs(position) > 1e15)
        return invalidIndex;
    return static_cast<std::int64_t>(position);
}

void Calculation::reset()
{
    results_.clear();
    zeroReady_ = false;
    resultsReady_ = false;
}

void Calculation::update(double depth, bool announceAtOnce)
{
    depth_ = depth;
    {
        const lib::Locker lock(buffer_);
        const CurvePoints& samples = buffer_.pointsUnderLock();
        if (!zeroReady_)
            computeZero(samples);
        for (std::size_t g = 0; g < static_cast<std::size_t>(gases_.count()); ++g)
            if (!hasResult(gases_.gas(g)))
                calculateGas(g, samples);
    }
    if (resultsReady_ && announceAtOnce) {
        resultsReady_ = false;
        resultsAnnounced(results_, depth_);
    }
}

void Calculation::announcePending()
{
    if (!resultsReady_)
        return;
    resultsReady_ = false;
    resultsAnnounced(results_, depth_);
    platform::beep(1000, 40);
    platform::beep(600, 40);
}

void Calculation::computeZero(const CurvePoints& samples)
{
    const Samples v(samples);
    const std::int64_t n = std::int64_t{configuration_.zeroTime} * rate();
    if (v.count() < n)
        return;
    double sum = 0;
    std::int64_t used = 0;
    for (std::int64_t i = rate() / 10; i < n; ++i)
        if (std::isfinite(v(i))) {  // a damaged sample must not become the display's zero
            sum += v(i);
            ++used;
        }
    zero_ = used > 0 ? sum / static_cast<double>(used) : 0.0;
    zeroReady_ = true;
}

bool Calculation::hasResult(const Gaz& gas) const
{
    return std::any_of(results_.begin(), results_.end(), [&gas](const CalculatedGaz& r) { return r.name == gas.name; });
}

std::optional<Calculation::Window> Calculation::workingWindow(const Gaz& gas) const
{
    const Window window{index(gas.integrationStart), index(gas.integrationEnd)};
    if (window.start == invalidIndex || window.end == invalidIndex || window.end - window.start <= 5
        || window.start < 0 || window.end < 0)
        return std::nullopt;
    return window;
}

void Calculation::calculateGas(std::size_t g, const CurvePoints& samples)
{
    Gaz& gas = gases_.item(static_cast<int>(g));
    auto window = workingWindow(gas);
    if (!window)
        return;  // never integrated
    const Samples v(samples);
    if (v.count() - window->end < 5 * std::int64_t{rate()})
        return;  // five seconds beyond the window do not exist yet
    if (configuration_.correctWindows) {
        correctWindow(gas, samples);
        window = workingWindow(gas);
        if (!window)
            return;
    }
    if (!v.has(window->end))
        return;  // a corrected window may reach past what has arrived

    double peakMaximum = 0;
    const double measured = response(*window, samples, peakMaximum);
    const double concentration = limitedConcentration(g, measured);
    results_.push_back(CalculatedGaz::absolute(gas, concentration, measured, peakMaximum));
    if (results_.size() == static_cast<std::size_t>(gases_.count()))
        complete();
}

double Calculation::response(const Window& window, const CurvePoints& samples, double& peakMaximum)
{
    const Samples v(samples);
    const std::int64_t s = window.start;
    const std::int64_t e = window.end;
    baseline_ = (v(s) + v(s + 1) + v(e - 2) + v(e - 1) + v(e)) / 5.0;
    // The largest sample before the window's last one; damaged samples do not count.
    bool found = false;
    peakMaximum = 0;
    for (std::int64_t i = s; i < e; ++i)
        if (std::isfinite(v(i)) && (!found || v(i) > peakMaximum)) {
            peakMaximum = v(i);
            found = true;
        }

    double result = 0;
    if (configuration_.calcResultFromPeak) {
        result = peakMaximum - 2 * baseline_;
    } else {
        for (std::int64_t i = s; i <= e; ++i)
            if (const double term = v(i) - baseline_; term >= 0)
                result += term;
        result /= rate();
    }
    // Negative, not a number, or infinite (a damaged sample): no response.
    return result >= 0 && std::isfinite(result) ? result : 0.0;
}

double Calculation::limitedConcentration(std::size_t index, double response) const
{
    double concentration = concentrationFunction ? concentrationFunction(index, response) : 0.0;
    if (!(concentration >= configuration_.minGazValue))
        concentration = 0;
    return std::min(concentration, 100.0);
}

void Calculation::complete()
{
    double total = 0;
    for (const auto& r : results_)
        total += r.concentration;
    total = std::min(total, 100.0);
    const std::size_t gasCount = results_.size();
    results_.push_back(CalculatedGaz::total(total));
    for (std::size_t i = 0; i < gasCount; ++i) {
        // Record i is the i-th result to complete; in a table ordered by retention time that is gas i.
        const double share = std::fabs(total) > 1e-20 ? results_[i].concentration * 100.0 / total : 0.0;
        results_.push_back(CalculatedGaz::relative(gases_.gas(i), share));
    }
    resultsReady_ = true;
}

void Calculation::correctWindow(Gaz& gas, const CurvePoints& samples) const
{
    const Samples v(samples);
    const std::int64_t a = index(gas.nominalStart);
    const std::int64_t b = index(gas.nominalEnd);
    const std::int64_t r = rate();
    try {
        if (a == invalidIndex || b == invalidIndex || a > b)
            return;
        double hi = read(v, a), lo = hi;
        for (std::int64_t i = a; i <= b; ++i) {
            hi = std::max(hi, read(v, i));
            lo = std::min(lo, read(v, i));
        }
        if (!(hi - lo >= 0.01))
            return;  // nothing to follow: the window stays
        const double t = (hi - lo) * 0.002;
        const std::int64_t stepLimit = 4 * r;
        const std::int64_t half = r / 2;

        std::int64_t left = a;
        if (read(v, left) >= read(v, left + half)) {
            for (std::int64_t step = 0; step < stepLimit; ++step) {
                if (read(v, left + 1) - read(v, left) >= t)
                    break;
                if (++left >= v.count())
                    return;
            }
        } else {
            std::int64_t step = 0;
            for (; step < stepLimit; ++step) {
                if (read(v, left) - read(v, left - 1) <= t)
                    break;
                if (--left < r)
                    return;  // never into the first second
            }
            if (step >= stepLimit)
                return;
        }

        std::int64_t right = b;
        if (read(v, right - half) > read(v, right)) {
            for (std::int64_t step = 0; step < stepLimit; ++step) {
                if (read(v, right) - read(v, right + 1) <= t)
                    break;
                if (++right > v.count())
                    return;
            }
        } else {
            std::int64_t step = 0;
            for (; step < stepLimit; ++step) {
                if (read(v, right - 1) - read(v, right) >= t)
                    break;
                if (--right < 0)
                    return;
            }
            if (step >= stepLimit)
                return;
        }
        gas.integrationStart = static_cast<float>(static_cast<double>(left) / r);
        gas.integrationEnd = static_cast<float>(static_cast<double>(right) / r);
    } catch (const OutsideBuffer&) {
        // The window keeps what it had.
    }
}
