#include "results/Textgrid.h"

#include "library/Numstr.h"
#include "platform/Filesteps.h"
#include "settings/Inioptionselements.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int depthDecimals = 1;
constexpr int totalDecimals = 5;
constexpr int shareDecimals = 1;

// Until the view hands over its font: an average character of the default 8-point font.
constexpr int defaultCharacterWidth = 7;
constexpr int defaultLineHeight = 13;
constexpr int rowPadding = 4;

int characterCount(std::string_view utf8)
{
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

TextGrid::TextMetrics defaultMetrics()
{
    return {[](std::string_view text) { return characterCount(text) * defaultCharacterWidth; },
            defaultLineHeight};
}

std::string timeText(lib::LocalSeconds time)
{
    const lib::LocalTimeFields fields = lib::fromLocalSeconds(time);
    char text[64];
    std::snprintf(text, sizeof text, "%i.%02i.%i %i:%02i ", fields.day, fields.month, fields.year,
                  fields.hour, fields.minute);
    return text;
}

std::string depthText(float depth)
{
    if (depth == 0)
        return TextGrid::noDepthText;
    return " " + lib::formatReal(depth, depthDecimals) + " ";
}

} // namespace

TextGrid::TextGrid(Clock clock) : clock_(std::move(clock)), metrics_(defaultMetrics())
{
    buildColumns();
}

void TextGrid::declare(lib::ini_options_elements& list)
{
    list.addBool(reverseMode_, section, "reverse_mode");
}

// The stored column order takes effect at once.
void TextGrid::afterLoad(lib::IniFile&)
{
    redraw();
}

bool TextGrid::open(const std::filesystem::path& path)
{
    const bool opened = file_.open(path);
    descriptors_ = opened ? reg_file::readChannelList(channelListPath()) : reg_file::Params{};
    redraw();
    return opened;
}

void TextGrid::close()
{
    file_.close();
    redraw();
}

std::filesystem::path TextGrid::channelListPath() const
{
    return platform::directoryOf(file_.path()) / channelListName;
}

bool TextGrid::channelListHolds(const reg_file::Params& params) const
{
    std::error_code error;
    const auto size = std::filesystem::file_size(channelListPath(), error);
    return params == descriptors_ && !error && size == reg_file::channelListSize(params);
}

bool TextGrid::appendResults(const CalculatedGazes& results, double depth)
{
    if (!isOpen())
        return false;
    const std::size_t recordsBefore = recordCount();
    const std::vector<Column> columnsBefore = columns_;
    const bool onLastRow = selectedRow_ == rowCount() - 1;
    reg_file::File record;
    record.time = clock_();
    record.depth = static_cast<float>(depth);
    reg_file::Params params;
    // A record has 32 value slots: the results after the 32nd are neither stored nor described.
    const std::size_t stored = std::min(results.size(), reg_file::File::slotCount);
    for (std::size_t k = 0; k < stored; ++k) {
        record.values[k] = static_cast<float>(results[k].concentration);
        params.push_back(reg_file::Param::percent(results[k].name, results[k].key));
    }
    if (!file_.append(record)) {
        if (!isOpen())
            redrawKeepingSelection(recordsBefore, columnsBefore);
        return false;
    }
    // The list of a well rarely changes; writing the same bytes again would only cost a flush.
    if (!channelListHolds(params))
        reg_file::writeChannelList(channelListPath(), params);
    descriptors_ = std::move(params);
    redrawKeepingSelection(recordsBefore, columnsBefore, onLastRow);
    return true;
}

int TextGrid::rowCount() const
{
    return static_cast<int>(recordCount());
}

void TextGrid::setTextMetrics(TextMetrics metrics)
{
    if (!metrics.width)
        metrics.width = defaultMetrics().width;
    const std::vector<Column> columnsBefore = columns_;
    metrics_ = std::move(metrics);
    redrawKeepingSelection(recordCount(), columnsBefore);
}

void TextGrid::redraw()
{
    buildColumns();
    selectLastRow();
    rowsReplaced();
    redrawn();
}

// One record more, under the same columns, is one appended row; any other change of records or
// columns replaces all rows.
void TextGrid::redrawKeepingSelection(std::size_t recordsBefore, const std::vector<Column>& columnsBefore,
                                      bool followLastRow)
{
    buildColumns();
    if (followLastRow)
        selectLastRow();
    else
        selectRow(selectedRow_);
    const std::size_t records = recordCount();
    if (columns_ == columnsBefore && records == recordsBefore + 1)
        rowsAppended(static_cast<int>(recordsBefore), 1);
    else if (columns_ != columnsBefore || records != recordsBefore)
        rowsReplaced();
    redrawn();
}

void TextGrid::selectLastRow()
{
    selectedRow_ = rowCount() - 1;
}

void TextGrid::buildColumns()
{
    columns_.clear();
    addFixedColumns();
    if (reverseMode_)
        addReverseColumns();
    else
        addNormalColumns();
    rowHeight_ = metrics_.lineHeight + rowPadding;
}

void TextGrid::addFixedColumns()
{
    columns_.push_back({depthHeader, std::nullopt, -1, depthDecimals, columnWidth(depthHeader)});
    columns_.push_back({timeHeader, std::nullopt, -1, 0, columnWidth(timeHeader)});
}

// In slot order; the columns up to the total show small concentrations, those after it shares.
void TextGrid::addNormalColumns()
{
    bool afterTotal = false;
    for (std::size_t slot = 0; slot < descriptors_.size(); ++slot) {
        const bool total = descriptors_[slot].name == CalculatedGaz::totalName;
        addSlotColumn(slot, total ? totalColour : gasColour, afterTotal ? shareDecimals : totalDecimals);
        afterTotal = afterTotal || total;
    }
}

// For a list of absolute values, total and shares: the total and the shares first.
void TextGrid::addReverseColumns()
{
    const std::size_t count = descriptors_.size();
    if (count == 0)
        return;
    const std::size_t middle = (count - 1) / 2;
    addSlotColumn(middle, totalColour, totalDecimals);
    for (std::size_t slot = middle + 1; slot < count; ++slot)
        addSlotColumn(slot, gasColour, shareDecimals);
    for (std::size_t slot = 0; slot < middle; ++slot)
        addSlotColumn(slot, totalColour, totalDecimals);
}

void TextGrid::addSlotColumn(std::size_t slot, std::uint32_t background, int decimals)
{
    if (columns_.size() >= maxColumns)
        return;
    std::string header = descriptors_[slot].name + ",%";
    const int width = columnWidth(header);
    columns_.push_back({std::move(header), background, static_cast<int>(slot), decimals, width});
}

int TextGrid::columnWidth(const std::string& header) const
{
    return std::max(metrics_.width(" " + header + " "), metrics_.width(widthSample));
}

std::optional<std::size_t> TextGrid::recordOfRow(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= recordCount())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

std::optional<TextGrid::RecordRange> TextGrid::recordsOfRows(int first, int last) const
{
    if (first > last)
        std::swap(first, last);
    first = std::max(first, 0);
    if (last < first || static_cast<std::size_t>(first) >= recordCount())
        return std::nullopt;
    const std::size_t lastRecord = std::min(static_cast<std::size_t>(last), recordCount() - 1);
    return RecordRange{static_cast<std::size_t>(first), lastRecord};
}

std::string TextGrid::valueText(const reg_file::File& record, const Column& column) const
{
    if (column.slot < 0)
        return {};
    return " " + lib::formatReal(record.values[static_cast<std::size_t>(column.slot)], column.decimals) + " ";
}

std::string TextGrid::headerText(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    return columns_[static_cast<std::size_t>(column)].header;
}

std::string TextGrid::cellText(int column, int row) const
{
    if (column < 0 || column >= columnCount())
        return {};
    const Column& shown = columns_[static_cast<std::size_t>(column)];
    const auto index = recordOfRow(row);
    if (!index)
        return {};
    const reg_file::File record = file_.record(*index);
    if (column == 0)
        return depthText(record.depth);
    if (column == 1)
        return timeText(record.time);
    return valueText(record, shown);
}

void TextGrid::selectRow(int row)
{
    selectedRow_ = rowCount() == 0 ? -1 : std::clamp(row, 0, rowCount() - 1);
}

void TextGrid::setEditMode(bool on)
{
    editMode_ = on;
    redrawn();
}

TextGrid::EditResult TextGrid::editCell(int column, int row, std::string_view text)
{
    const auto index = recordOfRow(row);
    if (!editMode_ || !index || column < 0 || column >= columnCount())
        return EditResult::unchanged;
    const Column& edited = columns_[static_cast<std::size_t>(column)];
    if (column != 0 && edited.slot < 0)
        return EditResult::unchanged;
    const auto typed = lib::parseTypedReal(text);
    if (!typed)
        return EditResult::notANumber;
    const reg_file::File record = file_.record(*index);
    const auto slot = static_cast<std::size_t>(edited.slot);
    const float stored = column == 0 ? record.depth : record.values[slot];
    if (std::fabs(*typed - static_cast<double>(stored)) < editTolerance)
        return EditResult::unchanged;
    if (column == 0)
        file_.setDepth(*index, static_cast<float>(*typed));
    else
        file_.setValue(*index, slot, static_cast<float>(*typed));
    cellChanged(column, row);
    redrawn();
    return EditResult::written;
}

bool TextGrid::clearAll()
{
    editMode_ = false;
    const bool cleared = file_.clear();
    redraw();
    return cleared;
}

// Announced as changed rows, so that a view keeps its place; the last row is selected as after
// every redraw.
void TextGrid::zeroRows(int first, int last)
{
    const auto range = recordsOfRows(first, last);
    if (range)
        for (std::size_t index = range->first; index <= range->last; ++index)
            file_.zeroValues(index);
    selectLastRow();
    if (range)
        rowsChanged(static_cast<int>(range->first), static_cast<int>(range->last - range->first + 1));
    redrawn();
}

bool TextGrid::deleteRows(int first, int last)
{
    const auto range = recordsOfRows(first, last);
    const bool deleted = range && file_.eraseRecords(range->first, range->last);
    redraw();
    return deleted;
}

void TextGrid::setReverseMode(bool on)
{
    reverseMode_ = on;
    redraw();
}
