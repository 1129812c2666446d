#include "results/History.h"

#include "library/Bytereader.h"
#include "library/Bytewriter.h"
#include "library/Numstr.h"
#include "platform/Atomicfile.h"
#include "settings/Configuration.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t white = 0xFFFFFF;

// The most a stored curve can take: a full title, the colours, 2000 samples and 2000 marks
// with full texts. Nothing past the last entry the history keeps is ever read.
constexpr std::size_t largestStoredCurve = (MyGraphics::maxTextLength + 1) + 4 + 4 + 4
    + MyGraphics::maxStoredCount * 24 + 4
    + MyGraphics::maxStoredCount * (4 + 4 + 4 + 8 + 1 + 2 * (MyGraphics::maxTextLength + 1));
constexpr std::size_t largestUsefulFile =
    History::fileMagic.size() + 1 + 4 + History::maxEntries * largestStoredCurve;

// Black captions on a light background, white ones on a dark one: 0.3 red + 0.5 green +
// 0.2 blue against 120, in integers so that the boundary is exact.
std::uint32_t frameColourFor(std::uint32_t background)
{
    const std::uint32_t red = background & 0xFF;
    const std::uint32_t green = (background >> 8) & 0xFF;
    const std::uint32_t blue = (background >> 16) & 0xFF;
    return 3 * red + 5 * green + 2 * blue >= 1200 ? black : white;
}

std::optional<std::string> readFilePrefix(const std::filesystem::path& path, std::size_t limit)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes;
    std::vector<char> block(65536);
    while (bytes.size() < limit) {
        file.read(block.data(), static_cast<std::streamsize>(std::min(block.size(), limit - bytes.size())));
        const std::streamsize got = file.gcount();
        if (got <= 0)
            break;
        bytes.append(block.data(), static_cast<std::size_t>(got));
        if (!file)
            break;
    }
    return bytes;
}

} // namespace

History::History(const Configuration& configuration, const GazOptions& gases, const CalculatedGazes& results)
    : configuration_(configuration), gases_(gases), results_(results)
{
}

std::string History::titleFor(lib::LocalSeconds now) const
{
    const lib::LocalTimeFields time = lib::fromLocalSeconds(now);
    char clock[32];
    std::snprintf(clock, sizeof clock, "%d:%.2d, ", time.hour, time.minute);
    return clock + lib::formatReal(configuration_.currentDepth, 2);
}

void History::add(const MyGraphics& curve)
{
    const std::int32_t rate = configuration_.samplesPerSecond;
    auto copy = curve.makeArchiveCopy(rate, gases_, &results_);
    copy->setTitle(titleFor(clock_ ? clock_() : lib::localSecondsNow()));
    copy->setBackgroundColour(configuration_.backgroundColor);
    copy->setFrameColour(frameColourFor(configuration_.backgroundColor));

    entries_.insert(entries_.begin(), std::move(copy));
    if (entries_.size() > maxEntries)
        entries_.pop_back();
    // Selected before the announcement, so that the repaint it causes shows the frame.
    if (selected_ == -1)
        selected_ = 0;
    historyChanged();
    selectionChanged(selected_);
}

std::string History::fileContents() const
{
    ByteWriter out;
    out.writeBytes(fileMagic);
    out.writeByte(fileVersion);
    out.writeInt32(static_cast<std::int32_t>(entries_.size()));
    for (const auto& entry : entries_)
        entry->writeTo(out);
    return out.take();
}

bool History::save(const std::filesystem::path& path) const
{
    return platform::writeFileAtomically(path, fileContents());
}

void History::load(const std::filesystem::path& path)
{
    const auto bytes = readFilePrefix(path, largestUsefulFile);
    loadFrom(bytes.value_or(std::string()));
}

// Every entry is new, so any selection before or after is a change.
void History::loadFrom(std::string_view bytes)
{
    const bool selectedBefore = selected_ != -1;
    readEntries(bytes);
    loaded();
    if (selectedBefore || selected_ != -1)
        selectionChanged(selected_);
}

void History::readEntries(std::string_view bytes)
{
    entries_.clear();
    selected_ = -1;

    ByteReader in(bytes);
    const auto magic = in.readBytes(fileMagic.size());
    const auto version = in.readByte();
    const auto count = in.readInt32();
    if (!magic || *magic != fileMagic || !version || *version != fileVersion || !count || *count <= 0)
        return;

    // More than the page shows were never written; the newest are first.
    const std::size_t wanted = std::min(static_cast<std::size_t>(*count), maxEntries);
    for (std::size_t i = 0; i < wanted; ++i) {
        auto curve = std::make_unique<MyGraphics>();
        if (!curve->readFrom(in))
            break;  // a damaged entry is left out, and nothing after it can be trusted
        curve->setArchived(true);
        entries_.push_back(std::move(curve));
    }
    if (!entries_.empty())
        selected_ = 0;
}

const MyGraphics* History::selectedEntry() const
{
    if (!isEntry(selected_))
        return nullptr;
    return entries_[static_cast<std::size_t>(selected_)].get();
}

bool History::isEntry(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

bool History::select(int index)
{
    if (!isEntry(index))
        return false;
    if (index != selected_) {
        selected_ = index;
        selectionChanged(selected_);
    }
    return true;
}

GridRect History::entryRect(std::size_t index, int width, int height, int margin)
{
    return HistoryGrid(width, height, margin).cell(index);
}

bool History::hitTest(int x, int y, int width, int height, int margin)
{
    const auto hit = HistoryGrid(width, height, margin).cellAt(x, y, entries_.size());
    return hit && select(static_cast<int>(*hit));
}
