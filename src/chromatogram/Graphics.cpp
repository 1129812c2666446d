#include "chromatogram/Graphics.h"

#include "analysis/Gazopts.h"
#include "library/Bytereader.h"
#include "library/Bytewriter.h"
#include "device/Samplebuffer.h"
#include "library/Codepage.h"
#include "platform/Atomicfile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace {

constexpr std::size_t storedPointSize = 24;
// colour, two indices, peak maximum, result flag and two empty texts
constexpr std::size_t smallestStoredMark = 4 + 4 + 4 + 8 + 1 + 1 + 1;
constexpr std::string_view calculationSectionTag{"CALC\0", 5};

// A text as files hold it: CP1251, cut at an embedded zero and at the length a reader accepts,
// so that whatever is written can be read back.
std::string storableText(const std::string& utf8)
{
    std::string bytes = lib::toCp1251(utf8);
    bytes.resize(std::min({bytes.size(), bytes.find('\0'), MyGraphics::maxTextLength}));
    return bytes;
}

std::optional<std::string> readStoredText(ByteReader& in)
{
    const auto bytes = in.readText(MyGraphics::maxTextLength);
    if (!bytes)
        return std::nullopt;
    return lib::fromCp1251(*bytes);
}

void writePoint(ByteWriter& out, const CurvePoint& point)
{
    out.writeZeros(8);
    out.writeDouble(point.value);
    out.writeInt32(point.second);
    out.writeZeros(4);
}

std::optional<CurvePoint> readPoint(ByteReader& in)
{
    const auto reserved = in.readBytes(8);
    const auto value = in.readDouble();
    const auto second = in.readInt32();
    const auto reservedTail = in.readBytes(4);
    if (!reserved || !value || !second || !reservedTail)
        return std::nullopt;
    CurvePoint point;
    point.value = *value;
    point.second = *second;
    return point;
}

void writeMark(ByteWriter& out, const GazArea& mark)
{
    out.writeUint32(mark.colour);
    out.writeInt32(mark.firstIndex);
    out.writeInt32(mark.lastIndex);
    out.writeDouble(mark.peakMaximum);
    out.writeByte(mark.hasResult ? 1 : 0);
    out.writeText(storableText(mark.gasName));
    out.writeText(storableText(mark.resultText));
}

std::optional<GazArea> readMark(ByteReader& in)
{
    GazArea mark;
    const auto colour = in.readUint32();
    const auto first = in.readInt32();
    const auto last = in.readInt32();
    const auto peak = in.readDouble();
    const auto flag = in.readByte();
    auto name = readStoredText(in);
    auto result = readStoredText(in);
    if (!colour || !first || !last || !peak || !flag || !name || !result)
        return std::nullopt;
    mark.colour = *colour;
    mark.firstIndex = *first;
    mark.lastIndex = *last;
    mark.peakMaximum = *peak;
    mark.hasResult = *flag != 0;
    mark.gasName = std::move(*name);
    mark.resultText = std::move(*result);
    return mark;
}

// A count that may follow: within the stored limit and backed by enough bytes.
std::optional<std::size_t> readStoredCount(ByteReader& in, std::size_t smallestRecord)
{
    const auto count = in.readInt32();
    if (!count)
        return std::nullopt;
    if (*count < 0 || *count > MyGraphics::maxStoredCount
        || !in.canHold(static_cast<std::size_t>(*count), smallestRecord)) {
        in.stop();
        return std::nullopt;
    }
    return static_cast<std::size_t>(*count);
}

// Truncation toward zero, kept inside the 32-bit range whatever the gas table holds.
std::int32_t truncatedIndex(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), lowest, highest));
}

// The absolute result of gas i; the total and the shares that follow the absolute results
// never stand for a gas.
const CalculatedGaz* absoluteResult(const CalculatedGazes* results, std::size_t index)
{
    if (!results || index >= results->size() || (*results)[index].derived)
        return nullptr;
    return &(*results)[index];
}

} // namespace

void MyGraphics::clearSamples()
{
    samples_.clear();
}

void MyGraphics::appendSamples(SampleBuffer& buffer)
{
    for (const CurvePoint& point : buffer.copyFrom(samples_.size()))
        samples_.push_back(point);
}

void MyGraphics::setManualRange(double minimum, double maximum)
{
    minimum_ = minimum;
    manualMaximum_ = maximum;
}

MyGraphics::SignalRange MyGraphics::range() const
{
    return {minimum_, manualMaximum_ != 0 ? manualMaximum_ : autoMaximum_};
}

// 0.05, then 1, 2, 4, 5 and 8 times each power of ten from 0.1 to 1 000 000, then 10 000 000.
const std::vector<double>& MyGraphics::niceScaleValues()
{
    static const std::vector<double> values = [] {
        std::vector<double> list{0.05};
        for (int exponent = -1; exponent <= 6; ++exponent)
            for (const double step : {1.0, 2.0, 4.0, 5.0, 8.0})
                list.push_back(step * std::pow(10.0, exponent));
        list.push_back(10'000'000);
        return list;
    }();
    return values;
}

double MyGraphics::niceMaximum(double largest)
{
    const auto& values = niceScaleValues();
    // A tolerance of rounding: 0.1 × 4 computed as 0.4000000000000001 is still 0.4.
    const auto found = std::find_if(values.begin(), values.end(), [largest](double v) { return v >= largest * (1 - 1e-12); });
    return found == values.end() ? largest : *found;
}

void MyGraphics::updateAutoMaximum()
{
    double largest = 1.0;
    if (!samples_.empty()) {
        largest = samples_[0].value;
        for (const CurvePoint& point : samples_)
            largest = std::max(largest, point.value);
    }
    autoMaximum_ = niceMaximum(largest);
}

double MyGraphics::shownMaximum()
{
    if (automatic())
        updateAutoMaximum();
    return range().maximum;
}

bool MyGraphics::requestMaximum(double maximum)
{
    if (maximum != 0 && (maximum < minimumManualMaximum || maximum > maximumManualMaximum))
        return false;
    setManualRange(0, maximum);
    return true;
}

bool MyGraphics::dragRange(RangeHandle handle, int dy, int panelHeight)
{
    if (panelHeight <= 0)
        return false;
    if (dy == 0)
        return true;
    const SignalRange now = range();
    double shift = dy * (now.maximum - now.minimum) / panelHeight;
    SignalRange moved = now;
    if (handle != RangeHandle::lower) {
        if (handle == RangeHandle::middle)
            shift = std::max(shift, minimumManualMaximum - now.maximum);
        moved.maximum = std::max(now.maximum + shift, minimumManualMaximum);
    }
    if (handle != RangeHandle::upper)
        moved.minimum = now.minimum + shift;
    if (!std::isfinite(moved.minimum) || !std::isfinite(moved.maximum) || moved.maximum <= moved.minimum)
        return false;
    setManualRange(moved.minimum, handle == RangeHandle::lower ? manualMaximum_ : moved.maximum);
    return true;
}

void MyGraphics::buildMarks(const GazOptions& gases, const CalculatedGazes* results, std::int32_t pointsPerSecond)
{
    const double rate = pointsPerSecond;
    std::vector<GazArea> marks;
    marks.reserve(static_cast<std::size_t>(gases.count()));
    for (std::size_t i = 0; i < static_cast<std::size_t>(gases.count()); ++i) {
        const Gaz& gas = gases.gas(i);
        GazArea mark;
        mark.colour = gas.colour;
        mark.gasName = gas.name;
        mark.firstIndex = truncatedIndex(static_cast<double>(gas.integrationStart) * rate - 1);
        mark.lastIndex = truncatedIndex(rate * static_cast<double>(gas.integrationEnd) + 1);
        if (const CalculatedGaz* result = absoluteResult(results, i)) {
            mark.resultText = result->shortText;
            mark.peakMaximum = result->peakMaximum;
            mark.hasResult = true;
        }
        marks.push_back(std::move(mark));
    }
    marks_ = std::move(marks);
    results_ = results;
}

void MyGraphics::writeTo(ByteWriter& out) const
{
    out.writeText(storableText(title_));
    out.writeUint32(backgroundColour_);
    out.writeUint32(frameColour_);
    out.writeInt32(static_cast<std::int32_t>(samples_.size()));
    for (const CurvePoint& point : samples_)
        writePoint(out, point);
    out.writeInt32(static_cast<std::int32_t>(marks_.size()));
    for (const GazArea& mark : marks_)
        writeMark(out, mark);
}

bool MyGraphics::readFrom(ByteReader& in)
{
    auto title = readStoredText(in);
    if (!title)
        return false;
    title_ = std::move(*title);
    const auto background = in.readUint32();
    if (!background)
        return false;
    backgroundColour_ = *background;
    const auto frame = in.readUint32();
    if (!frame)
        return false;
    frameColour_ = *frame;

    const auto sampleTotal = readStoredCount(in, storedPointSize);
    if (!sampleTotal)
        return false;
    CurvePoints samples;
    samples.reserve(*sampleTotal);
    for (std::size_t i = 0; i < *sampleTotal; ++i) {
        const auto point = readPoint(in);
        if (!point)
            return false;
        samples.push_back(*point);
    }
    samples_ = std::move(samples);
    pointCount_ = static_cast<std::int32_t>(*sampleTotal);

    const auto markTotal = readStoredCount(in, smallestStoredMark);
    if (!markTotal)
        return false;
    std::vector<GazArea> marks;
    marks.reserve(*markTotal);
    for (std::size_t i = 0; i < *markTotal; ++i) {
        auto mark = readMark(in);
        if (!mark)
            return false;
        marks.push_back(std::move(*mark));
    }
    marks_ = std::move(marks);
    return true;
}

std::filesystem::path MyGraphics::analysisFilePath(const std::filesystem::path& programDirectory, lib::LocalSeconds now)
{
    const lib::LocalTimeFields time = lib::fromLocalSeconds(now);
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", time.year, time.month, time.day);
    char minute[16];
    std::snprintf(minute, sizeof minute, "%02d-%02d.rzg", time.hour, time.minute);
    return programDirectory / analysisFolderName / day / minute;
}

std::string MyGraphics::analysisFileContents() const
{
    ByteWriter out;
    out.writeBytes(analysisFileMagic);
    out.writeByte(analysisFileVersion);
    writeTo(out);
    out.writeBytes(calculationSectionTag);
    const auto gasCount = static_cast<std::size_t>(fileSource_.gases->count());
    out.writeInt32(static_cast<std::int32_t>(gasCount));
    for (std::size_t i = 0; i < gasCount; ++i) {
        const CalculatedGaz* result = absoluteResult(fileSource_.results, i);
        out.writeDouble(result ? result->concentration : 0.0);
        out.writeDouble(result ? result->area : 0.0);
        out.writeDouble(result ? result->peakMaximum : 0.0);
    }
    return out.take();
}

bool MyGraphics::saveAnalysisFile(bool endedNormally) const
{
    const AnalysisFileSource& source = fileSource_;
    if (!endedNormally || !source.saveScienceValues || !source.saveScienceValues()
        || !source.gases || !source.results || source.results->empty())
        return false;

    const auto path = analysisFilePath(source.programDirectory,
                                       source.clock ? source.clock() : lib::localSecondsNow());
    // Only the day's folder is made: a missing "Analiz" means the station keeps no such files.
    std::error_code error;
    std::filesystem::create_directory(path.parent_path(), error);
    if (!std::filesystem::is_directory(path.parent_path(), error))
        return false;
    return platform::writeFileAtomically(path, analysisFileContents());
}

std::int32_t MyGraphics::archiveStep(std::int32_t samplesPerSecond)
{
    return std::max(1, samplesPerSecond / 2);
}

std::unique_ptr<MyGraphics> MyGraphics::makeArchiveCopy(std::int32_t samplesPerSecond, const GazOptions& gases,
                                                        const CalculatedGazes* results) const
{
    const std::int32_t step = archiveStep(samplesPerSecond);
    const auto block = static_cast<std::size_t>(step);
    auto copy = std::make_unique<MyGraphics>();
    CurvePoints thinned;
    // A last block that would reach the end of the curve is left out.
    for (std::size_t start = 0; start + block < samples_.size(); start += block) {
        double sum = 0;
        for (std::size_t i = start; i < start + block; ++i)
            sum += samples_[i].value;
        CurvePoint point;
        point.value = sum / step;
        point.second = samples_[start + block - 1].second;
        thinned.push_back(point);
    }
    copy->pointCount_ = static_cast<std::int32_t>(thinned.size());
    copy->samples_ = std::move(thinned);
    copy->archived_ = true;
    copy->buildMarks(gases, results, samplesPerSecond / step);
    // The list belongs to the analysis now running; a copy must not show later results.
    copy->results_ = nullptr;
    return copy;
}
