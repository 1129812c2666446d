#include "chromatogram/Summcurve.h"

#include "library/Numstr.h"
#include "platform/Atomicfile.h"
#include "platform/Filedescriptor.h"
#include "platform/Hugepages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// The file is the points' memory image; a big-endian port would need to swap every field.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr double oneMinute = 1.0 / 1440;
// Times are day counts, so whole seconds carry rounding of about 1e-11 day; a millisecond of
// slack makes a point exactly a minute later count as a minute later.
constexpr double timeSlack = 0.001 / 86400;

std::span<const SummCurvePoint> view(const SummCurvePoints& points)
{
    return {points.data(), points.size()};
}

bool inTimeOrder(std::span<const SummCurvePoint> points)
{
    // Written as "not later or equal" so that a NaN time also breaks the order.
    return std::adjacent_find(points.begin(), points.end(), [](const auto& earlier, const auto& later) {
               return !(later.time >= earlier.time);
           }) == points.end();
}

// Files of other programs and damaged files may carry anything in these bytes.
void normalise(SummCurvePoints& points)
{
    for (auto& point : points) {
        point.markShown = point.markShown != 0 ? 1 : 0;
        point.reserved = {};
    }
}

bool readExactly(int fd, void* buffer, std::size_t size)
{
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

std::int32_t readCount(const char* bytes)
{
    std::int32_t count = 0;
    std::memcpy(&count, bytes, sizeof count);
    return count;
}

struct FileHeader {
    enum Verdict { unusable, foreign, usable };
    Verdict verdict = unusable;
    std::size_t count = 0;
};

FileHeader readHeader(int fd, std::uint64_t fileSize)
{
    // A file cut short of its magic may be ours, interrupted; it is left for the operator.
    std::array<char, TSummCurve::headerSize> header{};
    const auto headerRead = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, header.size()));
    if (headerRead < TSummCurve::magic.size() || !readExactly(fd, header.data(), headerRead))
        return {};
    if (std::string_view(header.data(), TSummCurve::magic.size()) != TSummCurve::magic)
        return {FileHeader::foreign};
    if (headerRead < header.size() || static_cast<std::uint8_t>(header[TSummCurve::magic.size()]) != TSummCurve::version)
        return {};

    // The count is checked against the bound and the file's length before anything is allocated.
    const std::int32_t count = readCount(header.data() + TSummCurve::magic.size() + 1);
    if (count < 0 || static_cast<std::size_t>(count) > TSummCurve::maxFilePoints
        || fileSize - header.size() < static_cast<std::uint64_t>(count) * sizeof(SummCurvePoint))
        return {};
    return {FileHeader::usable, static_cast<std::size_t>(count)};
}

// One read for all the points, straight into their place.
bool readPoints(int fd, std::size_t count, SummCurvePoints& points)
{
    points.reserve(count);
    platform::preferHugePages(points.data(), count * sizeof(SummCurvePoint));
    points.resize(count);
    return readExactly(fd, points.data(), count * sizeof(SummCurvePoint));
}

} // namespace

std::size_t TSummCurve::append(double time, float depth, float value)
{
    if (points_.empty())
        firstTime_ = time;
    else if (!(time >= points_[points_.size() - 1].time))
        inTimeOrder_ = false;
    SummCurvePoint point;
    point.time = time;
    point.depth = depth;
    point.value = value;
    points_.push_back(point);
    lastTime_ = time;
    return points_.size() - 1;
}

void TSummCurve::fillSeries(SummCurveSeries& series)
{
    if (points_.empty())
        return;
    series.clear();
    series.reserve(points_.size());
    // Depth changes seldom from one second to the next; format it only when it does.
    float labelledDepth = 0;
    std::string label;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const SummCurvePoint& point = points_[i];
        if (!series.showsLabel(i)) {
            series.add(point.value, point.time, {});
            continue;
        }
        if (std::memcmp(&point.depth, &labelledDepth, sizeof labelledDepth) != 0) {
            labelledDepth = point.depth;
            label = depthLabel(point.depth);
        }
        series.add(point.value, point.time, label);
    }
    firstTime_ = points_[0].time;
    lastTime_ = points_[points_.size() - 1].time;
}

std::size_t TSummCurve::firstLaterThan(double time) const
{
    const auto points = view(points_);
    if (!inTimeOrder_)
        return 0;
    const auto later = std::upper_bound(points.begin(), points.end(), time,
                                        [](double t, const SummCurvePoint& point) { return t < point.time; });
    return static_cast<std::size_t>(later - points.begin());
}

float TSummCurve::depthAt(double time) const
{
    const auto points = view(points_).subspan(firstLaterThan(time));
    for (const auto& point : points) {
        if (!(point.time > time))
            continue;  // only when the clock was set back
        if (point.depth > 0)
            return point.depth;
        if (point.depth == 0 && point.time - time >= oneMinute - timeSlack)
            return 0;
    }
    return 0;
}

void TSummCurve::setMarkShown(std::size_t index, bool shown)
{
    if (index < points_.size())
        points_[index].markShown = shown ? 1 : 0;
}

bool TSummCurve::markShown(std::size_t index) const
{
    return index < points_.size() && points_[index].markShown != 0;
}

bool TSummCurve::save(const std::filesystem::path& path) const
{
    if (points_.empty())
        return false;
    const std::size_t count = std::min(points_.size(), maxFilePoints);
    const auto newest = view(points_).last(count);
    const auto fileCount = static_cast<std::int32_t>(count);

    std::string image;
    image.reserve(headerSize + newest.size_bytes());
    platform::preferHugePages(image.data(), image.capacity());
    image.append(magic);
    image.push_back(static_cast<char>(version));
    image.append(reinterpret_cast<const char*>(&fileCount), sizeof fileCount);
    image.append(reinterpret_cast<const char*>(newest.data()), newest.size_bytes());
    return platform::writeFileAtomically(path, image);
}

void TSummCurve::load(const std::filesystem::path& path)
{
    platform::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    const FileHeader header = readHeader(fd.get(), static_cast<std::uint64_t>(info.st_size));
    if (header.verdict == FileHeader::foreign) {
        fd.close();
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return;
    }
    if (header.verdict != FileHeader::usable)
        return;
    SummCurvePoints loaded;
    if (readPoints(fd.get(), header.count, loaded))
        adopt(std::move(loaded));
}

void TSummCurve::adopt(SummCurvePoints loaded)
{
    normalise(loaded);
    points_ = std::move(loaded);
    inTimeOrder_ = inTimeOrder(view(points_));
    if (!points_.empty()) {
        firstTime_ = points_[0].time;
        lastTime_ = points_[points_.size() - 1].time;
    }
}

// The float's own shortest digits, so a depth of 1234.3 reads 1234,3 and not 1234,30004882812.
std::string TSummCurve::depthLabel(float depth)
{
    if (depth == 0)
        return {};
    std::array<char, 32> buffer;
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), depth);
    double shortest = depth;
    std::from_chars(buffer.data(), written.ptr, shortest);
    return lib::formatGeneral(shortest);
}
