#include "results/Gridprintlayout.h"

#include "library/Numstr.h"
#include "library/Strworks.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double unset = -1;
// Wider than any sheet: keeps a typing slip in the cell width from overflowing the pixels.
constexpr double widestCell = 1000;  // cm
constexpr int largestFontSize = 1000;

struct Character {
    char32_t code;
    std::string_view bytes;
};

// The next character of UTF-8 text at `at`; a stray byte counts as a character of its own.
Character nextCharacter(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    char32_t code = lead;
    if (lead >= 0xC0) {
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        code = lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            if (at + k >= text.size() || (static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
                length = 1;
                code = lead;
                break;
            }
            code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        }
    }
    const Character found{code, text.substr(at, length)};
    at += length;
    return found;
}

int floorDivision(int value, int divisor)
{
    const int quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

int ceilingDivision(int value, int divisor)
{
    return -floorDivision(-value, divisor);
}

} // namespace

// --- Table -----------------------------------------------------------------------------------

GridPrintLayout::Table::Table(int columns, int fixedColumns, int fixedRows)
    : columns_(std::max(columns, 0)), fixedColumns_(std::max(fixedColumns, 0)), fixedRows_(std::max(fixedRows, 0))
{
}

void GridPrintLayout::Table::addRow(std::span<const std::string> cells)
{
    for (std::size_t column = 0; column < static_cast<std::size_t>(columns_); ++column) {
        if (column < cells.size())
            text_ += cells[column];
        ends_.push_back(text_.size());
    }
    ++rows_;
}

void GridPrintLayout::Table::reserve(std::size_t rows, std::size_t textBytes)
{
    ends_.reserve(rows * static_cast<std::size_t>(columns_));
    text_.reserve(textBytes);
}

std::string_view GridPrintLayout::Table::cell(int column, int row) const
{
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        return {};
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_)
                              + static_cast<std::size_t>(column);
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

GridPrintLayout::Table GridPrintLayout::Table::selectionCopy() const
{
    const int left = std::max(std::min(selection.left, selection.right), 1);
    const int right = std::min(std::max(selection.left, selection.right), columns_ - 1);
    const int top = std::max(std::min(selection.top, selection.bottom), 1);
    const int bottom = std::min(std::max(selection.top, selection.bottom), rows_ - 1);
    const int width = std::max(right - left + 1, 0);
    const int height = std::max(bottom - top + 1, 0);

    Table copy(width + 1, 1, 1);
    std::vector<std::string> cells(static_cast<std::size_t>(width) + 1);
    const auto copyRow = [&](int row) {
        cells[0] = cell(0, row);
        for (int k = 0; k < width; ++k)
            cells[static_cast<std::size_t>(k) + 1] = cell(left + k, row);
        copy.addRow(cells);
    };
    copyRow(0);
    for (int row = top; row <= bottom; ++row)
        copyRow(row);
    copy.selection = {1, 1, width, height};
    return copy;
}

// --- Character widths ------------------------------------------------------------------------

void GridPrintLayout::CharacterWidths::clear()
{
    ascii_.fill(unset);
    others_.clear();
}

// Eight in a row and divided: a single character's width is rounded to whole pixels, and the
// rounding would add up along a text.
double GridPrintLayout::CharacterWidths::advance(Surface& surface, char32_t character, std::string_view bytes)
{
    double* known = nullptr;
    if (character < ascii_.size()) {
        known = &ascii_[character];
    } else if (const auto found = others_.find(character); found != others_.end()) {
        return found->second;
    }
    if (known && *known != unset)
        return *known;
    std::string eight;
    for (int k = 0; k < 8; ++k)
        eight += bytes;
    const double measured = surface.textWidth(eight) / 8.0;
    if (known)
        *known = measured;
    else
        others_.emplace(character, measured);
    return measured;
}

double GridPrintLayout::CharacterWidths::width(Surface& surface, std::string_view text)
{
    double total = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character next = nextCharacter(text, at);
        total += advance(surface, next.code, next.bytes);
    }
    return total;
}

int GridPrintLayout::CharacterWidths::pixels(double width)
{
    return static_cast<int>(std::ceil(width - 1e-6));
}

std::string GridPrintLayout::CharacterWidths::cut(Surface& surface, std::string_view text, int room)
{
    const double tail = width(surface, ellipsis);
    if (pixels(tail) > room)
        return {};
    double used = 0;
    std::size_t fits = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character next = nextCharacter(text, at);
        used += advance(surface, next.code, next.bytes);
        if (pixels(used + tail) > room)
            break;
        fits = at;
    }
    std::string_view kept = text.substr(0, fits);
    while (!kept.empty() && kept.back() == ' ')
        kept.remove_suffix(1);
    return std::string(kept) + ellipsis;
}

// --- Layout ----------------------------------------------------------------------------------

int GridPrintLayout::fontSizeOf(std::string_view typed)
{
    const auto size = lib::parseInteger(lib::trim(typed));
    return size && *size > 0 && *size <= largestFontSize ? *size : defaultFontSize;
}

double GridPrintLayout::cellWidthOf(std::string_view typed)
{
    const auto width = lib::parseTypedReal(lib::trim(typed));
    return width && std::isfinite(*width) && *width > 0 ? std::min(*width, widestCell) : defaultCellWidth;
}

GridPrintLayout::GridPrintLayout(const Table& table, Options options, Page page)
    : table_(table), options_(std::move(options)), page_(page)
{
    options_.fontSize = options_.fontSize > 0 ? std::min(options_.fontSize, largestFontSize) : defaultFontSize;
    options_.cellWidth = std::isfinite(options_.cellWidth) && options_.cellWidth > 0
                             ? std::min(options_.cellWidth, widestCell)
                             : defaultCellWidth;
    widths_.clear();
}

void GridPrintLayout::setTableFont(Surface& surface) const
{
    surface.setFont(fontName, options_.fontSize, inkColour);
}

void GridPrintLayout::measure(Surface& surface)
{
    const double units = page_.units;
    penWidth_ = static_cast<int>(units * 0.01 + 1);
    inset_ = static_cast<int>(0.05 * units);
    quarter_ = static_cast<int>(0.25 * units);
    tableLeft_ = static_cast<int>(0.5 * units);
    maxColumnWidth_ = static_cast<int>(options_.cellWidth * units);

    titleTop_ = quarter_;
    surface.setFont(fontName, titleFontSize, inkColour);
    headerTop_ = titleTop_ + surface.textHeight(options_.title) + quarter_;
    surface.setFont(fontName, headerFontSize, inkColour);
    int y = headerTop_;
    for (const std::string& line : options_.headerLines)
        y += surface.textHeight(line);
    tableTop_ = y + quarter_;

    setTableFont(surface);
    textHeight_ = surface.textHeight("#");
    rowHeight_ = std::max(static_cast<int>(textHeight_ + 0.1 * units + 1), 1);
    drawnColumns_ = std::min(table_.columnCount(), maxColumns);
    const bool hasTable = drawnColumns_ > 0 && table_.rowCount() > 0;
    documentHeight_ = tableTop_ + (hasTable ? table_.rowCount() * rowHeight_ : 0) + quarter_;
    firstPageRows_ = page_.height > 0 ? rowsFitting(page_.height - tableTop_ + penWidth_) : table_.rowCount();
    rowsPerPage_ = page_.height > 0 ? std::max(rowsFitting(page_.height), 1) : std::max(table_.rowCount(), 1);
    columnsMeasured_ = false;
}

int GridPrintLayout::rowsFitting(int height) const
{
    // A row's frame reaches half a pen beyond its last pixel; a whole pen keeps it clear.
    const int room = height - 1 - 2 * penWidth_;
    return room < 0 ? 0 : room / rowHeight_;
}

int GridPrintLayout::pageCount() const
{
    const int left = table_.rowCount() - firstPageRows_;
    return left > 0 && drawnColumns_ > 0 ? 1 + ceilingDivision(left, rowsPerPage_) : 1;
}

int GridPrintLayout::pageOffset(int page) const
{
    if (page <= 0)
        return 0;
    return tableTop_ + pageRows(page).first * rowHeight_ - penWidth_;
}

std::pair<int, int> GridPrintLayout::pageRows(int page) const
{
    const int rows = drawnColumns_ > 0 ? table_.rowCount() : 0;
    if (page <= 0)
        return {0, std::min(firstPageRows_, rows)};
    const int first = std::min(firstPageRows_ + (page - 1) * rowsPerPage_, rows);
    return {first, std::min(first + rowsPerPage_, rows)};
}

void GridPrintLayout::measureColumns(Surface& surface)
{
    setTableFont(surface);
    widths_.clear();
    const double blanks = 2 * widths_.width(surface, " ");
    const double sample = widths_.width(surface, widthSample);
    const double enough = maxColumnWidth_ - 1;
    std::vector<double> widest(static_cast<std::size_t>(drawnColumns_), sample);
    for (int row = 0; row < table_.rowCount(); ++row)
        for (int column = 0; column < drawnColumns_; ++column) {
            double& found = widest[static_cast<std::size_t>(column)];
            // Once at the maximum, no text can widen the column any more.
            if (found <= enough)
                found = std::max(found, blanks + widths_.width(surface, table_.cell(column, row)));
        }
    columnWidths_.clear();
    for (const double width : widest)
        columnWidths_.push_back(std::min(CharacterWidths::pixels(width), maxColumnWidth_));
    widths_.width(surface, ellipsis);
    columnsMeasured_ = true;
}

void GridPrintLayout::drawPage(Surface& surface, int page)
{
    const auto [first, end] = pageRows(page);
    drawPart(surface, pageOffset(page), first, end, page == 0);
}

void GridPrintLayout::drawDocument(Surface& surface, int offset)
{
    drawPart(surface, offset, 0, table_.rowCount(), true);
}

void GridPrintLayout::drawPart(Surface& surface, int offset, int firstRow, int endRow, bool withTop)
{
    if (withTop)
        drawTop(surface, offset);
    if (drawnColumns_ > 0 && firstRow < endRow)
        drawRows(surface, offset, firstRow, endRow);
}

void GridPrintLayout::drawTop(Surface& surface, int offset) const
{
    surface.setBrush(cellColour, Surface::BrushStyle::solid);
    surface.setFont(fontName, titleFontSize, inkColour);
    if (!options_.title.empty())
        surface.text({(page_.width - surface.textWidth(options_.title)) / 2, titleTop_ - offset}, options_.title);
    surface.setFont(fontName, headerFontSize, inkColour);
    int y = headerTop_;
    for (const std::string& line : options_.headerLines) {
        if (!line.empty())
            surface.text({tableLeft_, y - offset}, line);
        y += surface.textHeight(line);
    }
}

void GridPrintLayout::drawRows(Surface& surface, int offset, int firstRow, int endRow)
{
    if (!columnsMeasured_)
        measureColumns(surface);
    setTableFont(surface);
    surface.setPen(inkColour, penWidth_, Surface::PenStyle::solid);
    for (int row = firstRow; row < endRow; ++row) {
        const int top = tableTop_ + row * rowHeight_ - offset;
        int left = tableLeft_;
        for (int column = 0; column < drawnColumns_; ++column) {
            const int width = columnWidths_[static_cast<std::size_t>(column)];
            const Surface::Rect cell{left, top, left + width + 1, top + rowHeight_ + 1};
            const bool fixed = column < table_.fixedColumns() || row < table_.fixedRows();
            surface.setBrush(fixed ? fixedColour : cellColour, Surface::BrushStyle::solid);
            surface.fillRect(cell);
            drawCell(surface, column, row, cell);
            left += width;
        }
    }
}

// Fixed cells centre their text; the others show it with a blank after it, placed by the
// alignment. A text that does not fit between the insets ends with the ellipsis.
void GridPrintLayout::drawCell(Surface& surface, int column, int row, const Surface::Rect& cell)
{
    const std::string_view text = table_.cell(column, row);
    if (text.empty())
        return;
    const bool fixed = column < table_.fixedColumns() || row < table_.fixedRows();
    std::string shown(text);
    if (!fixed)
        shown += ' ';
    const int room = cell.width() - 2 * inset_;
    int width = CharacterWidths::pixels(widths_.width(surface, shown));
    // The column holds its widest text with a blank either side; insets wider than a blank
    // leave no room for the blank after it, which is padding, not data.
    if (width > room && !fixed) {
        shown = text;
        width = CharacterWidths::pixels(widths_.width(surface, shown));
    }
    if (width > room) {
        shown = widths_.cut(surface, shown, room);
        if (shown.empty())
            return;
        width = CharacterWidths::pixels(widths_.width(surface, shown));
    }
    const Alignment alignment = fixed ? Alignment::centre : options_.alignment;
    int x = cell.left + inset_ + (room - width) / 2;
    if (alignment == Alignment::left)
        x = cell.left + inset_;
    else if (alignment == Alignment::right)
        x = cell.right - inset_ - width;
    const int y = cell.top + (cell.height() - textHeight_) / 2;
    surface.text({x, y}, shown);
}
