#pragma once

#include "chromatogram/Surface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A table of texts laid out on printed pages in centimetre units: the title, the header lines
// and the cells with their frames, fixed cells shaded. One routine serves the printer, the
// preview pages and a picture of the whole document; y values are document positions from the
// top of page 1, drawn at y − page offset.
//
// The layout is measured once (measure: heights only, cheap; the column widths on the first
// drawing of a page), then each page draws only its own rows, so a table of 100 000 rows prints
// page after page without going through every row again.
class GridPrintLayout {
public:
    static constexpr const char* fontName = "ARIAL";
    static constexpr int titleFontSize = 20;
    static constexpr int headerFontSize = 12;
    static constexpr int defaultFontSize = 10;
    static constexpr double defaultCellWidth = 2.0;  // cm
    static constexpr int maxColumns = 256;
    static constexpr std::uint32_t fixedColour = 0xE0E0E0;
    static constexpr std::uint32_t cellColour = 0xFFFFFF;
    static constexpr std::uint32_t inkColour = 0x000000;
    static constexpr const char* widthSample = " ##### ";
    static constexpr const char* ellipsis = "…";

    enum class Alignment { left = 0, right = 1, centre = 2 };

    // Cells from left to right and top to bottom, both included.
    struct Selection {
        int left = 1;
        int top = 1;
        int right = 1;
        int bottom = 1;
        bool singleCell() const { return left == right && top == bottom; }
        bool operator==(const Selection&) const = default;
    };

    // A grid of texts with its fixed rows and columns and a selection, kept compactly: one
    // buffer for all texts, so that a copy of a large results table stays small.
    class Table {
    public:
        explicit Table(int columns = 0, int fixedColumns = 1, int fixedRows = 1);

        // Missing cells are empty; cells beyond the column count are dropped.
        void addRow(std::span<const std::string> cells);
        void reserve(std::size_t rows, std::size_t textBytes);

        int columnCount() const { return columns_; }
        int rowCount() const { return rows_; }
        int fixedColumns() const { return fixedColumns_; }
        int fixedRows() const { return fixedRows_; }
        // Empty outside the table.
        std::string_view cell(int column, int row) const;

        // A single selected cell means the whole table is printed.
        Selection selection;

        // The selected block from (1, 1) on, with column 0 and row 0 of the selected rows and
        // columns as its row titles and header, (0, 0) too. The selection is taken within the
        // cells beyond those titles, so that they never come twice.
        Table selectionCopy() const;

    private:
        int columns_ = 0;
        int fixedColumns_ = 1;
        int fixedRows_ = 1;
        int rows_ = 0;
        std::string text_;
        std::vector<std::size_t> ends_;  // end of every cell's text in text_, row after row
    };

    struct Options {
        std::string title;
        std::vector<std::string> headerLines;
        int fontSize = defaultFontSize;
        double cellWidth = defaultCellWidth;  // cm
        Alignment alignment = Alignment::right;
    };

    // The surface's page: pixels per centimetre and the printable size in pixels.
    struct Page {
        double units = 0;
        int width = 0;
        int height = 0;
    };

    // "Размер шрифта для печати" as typed: defaultFontSize when it is no positive whole number.
    static int fontSizeOf(std::string_view typed);
    // "Ширина ячейки не более (см)" as typed, with a comma or a point: defaultCellWidth when it
    // is no positive number.
    static double cellWidthOf(std::string_view typed);

    // The table must outlive the layout.
    GridPrintLayout(const Table& table, Options options, Page page);

    // The heights of the title, the header lines and the rows, on the surface that will be
    // drawn on (its text metrics); cheap whatever the number of rows.
    void measure(Surface& surface);
    int documentHeight() const { return documentHeight_; }

    // Pages break between rows, so that no row is cut in two: the first page holds the title,
    // the header lines and the rows that fit under them, every further page as many rows as
    // fit from its top. At least one page, and at least one row on every further page.
    int pageCount() const;
    // The document position drawn at the top of the page.
    int pageOffset(int page) const;
    // The rows first … end − 1 of the page.
    std::pair<int, int> pageRows(int page) const;

    // Page `page` (from 0) at its offset. The first drawing measures the column widths on the
    // surface. measure() comes first.
    void drawPage(Surface& surface, int page);
    // Everything at the offset: the whole document as one picture.
    void drawDocument(Surface& surface, int offset = 0);
    // Rows first … end − 1 and, when withTop, the title and header lines, at the offset.
    void drawPart(Surface& surface, int offset, int firstRow, int endRow, bool withTop);

    // The geometry, for tests.
    int penWidth() const { return penWidth_; }
    int rowHeight() const { return rowHeight_; }
    int tableTop() const { return tableTop_; }
    int tableLeft() const { return tableLeft_; }
    int maxColumnWidth() const { return maxColumnWidth_; }
    // Of the columns drawn, measured on the first drawing (or measureColumns).
    const std::vector<int>& columnWidths() const { return columnWidths_; }
    void measureColumns(Surface& surface);

private:
    // Widths of table texts as the sum of their characters' advances, each character measured
    // once on the surface: measuring every cell through the font's shaping costs microseconds a
    // cell, seconds for a large table. Kerning is left out, as a printer's text extent does.
    class CharacterWidths {
    public:
        // The surface's font is the table's whenever a width is asked for.
        void clear();
        double width(Surface& surface, std::string_view text);
        // The longest beginning of text that fits into `room` pixels with the ellipsis after it.
        std::string cut(Surface& surface, std::string_view text, int room);
        static int pixels(double width);

    private:
        double advance(Surface& surface, char32_t character, std::string_view bytes);

        std::array<double, 128> ascii_{};
        std::unordered_map<char32_t, double> others_;
    };

    void setTableFont(Surface& surface) const;
    void drawTop(Surface& surface, int offset) const;
    void drawRows(Surface& surface, int offset, int firstRow, int endRow);
    void drawCell(Surface& surface, int column, int row, const Surface::Rect& cell);
    // Rows that fit into `height` pixels from the top of the first, frames included.
    int rowsFitting(int height) const;

    const Table& table_;
    Options options_;
    Page page_;
    CharacterWidths widths_;
    bool columnsMeasured_ = false;
    int penWidth_ = 1;
    int inset_ = 0;
    int quarter_ = 0;
    int tableLeft_ = 0;
    int titleTop_ = 0;
    int headerTop_ = 0;
    int headerLineHeight_ = 0;
    int tableTop_ = 0;
    int rowHeight_ = 0;
    int textHeight_ = 0;
    int maxColumnWidth_ = 0;
    int drawnColumns_ = 0;
    int documentHeight_ = 0;
    int firstPageRows_ = 0;
    int rowsPerPage_ = 1;
    std::vector<int> columnWidths_;
};
