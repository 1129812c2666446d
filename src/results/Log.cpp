#include "results/Log.h"

#include "library/Codepage.h"
#include "platform/Atomicfile.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::string_view lineEnd = "\r\n";

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// A line break inside an entry would split it into two lines when the file is read back.
std::string singleLine(std::string_view text)
{
    std::string line(text);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

} // namespace

Log::Log(Clock clock) : clock_(std::move(clock)) {}

std::string Log::stamp(const lib::LocalTimeFields& now)
{
    std::array<char, 80> buffer;
    std::snprintf(buffer.data(), buffer.size(), "[%i:%02i:%02i %i.%02i.%i]     ", now.hour, now.minute,
                  now.second, now.day, now.month, now.year);
    return buffer.data();
}

void Log::open(std::filesystem::path path)
{
    path_ = std::move(path);
    const auto contents = platform::readWholeFile(path_);
    lines_ = contents ? splitLines(lib::fromCp1251(*contents)) : std::vector<std::string>();
    changed();
}

void Log::add(std::string_view text)
{
    if (lines_.size() > keptLines)
        lines_.erase(lines_.begin(), lines_.end() - static_cast<std::ptrdiff_t>(keptLines));
    if (text.empty())
        lines_.emplace_back();
    else
        lines_.push_back(stamp(lib::fromLocalSeconds(clock_())) + singleLine(text));
    changed();
}

void Log::clear()
{
    lines_.clear();
    changed();
}

void Log::save() const
{
    if (path_.empty())
        return;
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += lineEnd;
    }
    platform::writeFileAtomically(path_, lib::toCp1251(text));
}
