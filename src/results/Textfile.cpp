#include "results/Textfile.h"

#include "library/Codepage.h"
#include "platform/Filedescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <span>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::size_t timeWidth = 8;
constexpr std::size_t depthWidth = 6;
constexpr std::size_t columnWidth = 8;
constexpr int depthDecimals = 1;
constexpr int valueDecimals = 4;
constexpr std::string_view totalLabel = "GS";
constexpr std::string_view areaSuffix = "_S";

// Widths count the file's characters, so labels arrive here in Windows-1251. Wider texts are
// kept whole and shift the rest of the line.
std::string column(std::string_view text, std::size_t width)
{
    std::string padded(width > text.size() ? width - text.size() : 0, ' ');
    padded.append(text);
    padded.push_back(' ');
    return padded;
}

// Always with a point, whatever the regional separator: other programs read these files.
std::string fixedPoint(double value, int decimals)
{
    std::array<char, 400> buffer;  // the largest double in full, with its decimals
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        return "0";
    return std::string(buffer.data(), written.ptr);
}

// The Russian short date and long time, the forms the export has always had, built here so
// that they do not depend on the locales a machine has installed.
std::string russianDate(const lib::LocalTimeFields& now)
{
    std::array<char, 40> buffer;
    std::snprintf(buffer.data(), buffer.size(), "%02d.%02d.%04d", now.day, now.month, now.year);
    return buffer.data();
}

std::string russianTime(const lib::LocalTimeFields& now)
{
    std::array<char, 40> buffer;
    std::snprintf(buffer.data(), buffer.size(), "%d:%02d:%02d", now.hour, now.minute, now.second);
    return buffer.data();
}

// The gases themselves: the records before the total.
std::span<const CalculatedGaz> measuredGases(const CalculatedGazes& results)
{
    const auto total = std::find_if(results.begin(), results.end(),
                                    [](const CalculatedGaz& result) { return result.label == totalLabel; });
    return {results.data(), static_cast<std::size_t>(total - results.begin())};
}

bool cutBack(int fd, off_t size)
{
    return size >= 0 && ::ftruncate(fd, size) == 0;
}

bool appendToFile(const std::filesystem::path& path, std::string_view text)
{
    platform::FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd.valid())
        return false;
    // What part of the text got out before a full disk stopped it is cut off again, so the next
    // line does not run into it.
    const off_t start = ::lseek(fd.get(), 0, SEEK_END);
    while (!text.empty()) {
        const ssize_t written = ::write(fd.get(), text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            cutBack(fd.get(), start);
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return fd.close();
}

} // namespace

TextFile::TextFile(Clock clock) : clock_(std::move(clock)) {}

std::string TextFile::fileName(const lib::LocalTimeFields& now)
{
    return russianDate(now) + ".txt";
}

std::string TextFile::header(const CalculatedGazes& results) const
{
    std::string line = column("Time", timeWidth) + column("Depth", depthWidth);
    for (const auto& result : results)
        line += column(lib::toCp1251(result.label), columnWidth);
    if (scienceValues_)
        for (const auto& gas : measuredGases(results))
            line += column(lib::toCp1251(gas.label + std::string(areaSuffix)), columnWidth);
    line.push_back('\n');
    return line;
}

std::string TextFile::dataLine(const CalculatedGazes& results, float depth, const lib::LocalTimeFields& now) const
{
    std::string line = column(russianTime(now), timeWidth) + column(fixedPoint(depth, depthDecimals), depthWidth);
    for (const auto& result : results)
        line += column(fixedPoint(result.concentration, valueDecimals), columnWidth);
    if (scienceValues_)
        for (const auto& gas : measuredGases(results))
            line += column(fixedPoint(gas.area, valueDecimals), columnWidth);
    line.push_back('\n');
    return line;
}

void TextFile::writeResults(const CalculatedGazes& results, float depth)
{
    // One reading of the clock, so that a line written at midnight lands in the file of its date.
    const lib::LocalTimeFields now = lib::fromLocalSeconds(clock_());
    std::error_code ignored;
    if (!folder_.empty())
        std::filesystem::create_directory(folder_, ignored);

    std::string text = headerNeeded_ ? header(results) : std::string();
    text += dataLine(results, depth, now);
    if (appendToFile(folder_ / fileName(now), text))
        headerNeeded_ = false;
}
