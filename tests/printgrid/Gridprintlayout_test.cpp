#include "results/Gridprintlayout.h"
#include "testsupport/Recordingsurface.h"

#include <gmock/gmock.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kind = RecordingSurface::Kind;
using Table = GridPrintLayout::Table;
using testing::ElementsAre;

constexpr std::uint32_t grey = GridPrintLayout::fixedColour;
constexpr std::uint32_t white = GridPrintLayout::cellColour;

Table tableOf(const std::vector<std::vector<std::string>>& rows)
{
    Table table(static_cast<int>(rows.front().size()));
    for (const auto& row : rows)
        table.addRow(row);
    return table;
}

// "00" in the corner, "H<c>" in the header, "R<r>" as row titles, "<c>/<r>" elsewhere.
Table numbered(int columns, int rows)
{
    Table table(columns);
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            cells[static_cast<std::size_t>(c)] = r == 0 && c == 0 ? "00"
                                                 : r == 0         ? "H" + std::to_string(c)
                                                 : c == 0         ? "R" + std::to_string(r)
                                                                  : std::to_string(c) + "/" + std::to_string(r);
        table.addRow(cells);
    }
    return table;
}

std::vector<std::vector<std::string>> rowsOf(const Table& table)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < table.columnCount(); ++c)
            rows.back().emplace_back(table.cell(c, r));
    }
    return rows;
}

Surface::Rect rectOf(const RecordingSurface::Call& call)
{
    return {call.points[0].x, call.points[0].y, call.points[1].x, call.points[1].y};
}

std::string describe(const RecordingSurface::Call& call)
{
    std::ostringstream out;
    out << static_cast<int>(call.kind) << " '" << call.text << "' size " << call.fontSize << " brush " << call.brush.colour
        << " pen " << call.pen.width;
    for (const auto& p : call.points)
        out << " (" << p.x << "," << p.y << ")";
    return out.str();
}

// 40 pixels a centimetre: pen 1, insets 2, a quarter centimetre 10, the table from x = 20.
GridPrintLayout::Options options(std::string title = "Заголовок", std::vector<std::string> lines = {})
{
    GridPrintLayout::Options chosen;
    chosen.title = std::move(title);
    chosen.headerLines = std::move(lines);
    return chosen;
}

const GridPrintLayout::Page page40{40.0, 1000, 300};

TEST(GridPrintLayout, FirstPageGeometryFollowsTheCentimetreRules)
{
    const Table table = tableOf({{"№", "Глубина, м", "C1,%"}, {"1", " 1234.5 ", " 0.12345 "}, {"2", " 1240.0 ", ""}});
    GridPrintLayout layout(table, options("Заголовок", {"Скважина 12", "Куст 7"}), page40);
    RecordingSurface surface;
    layout.measure(surface);
    EXPECT_EQ(layout.penWidth(), 1);
    EXPECT_EQ(layout.rowHeight(), 17) << "text height 12 + 0.1 cm + 1";
    EXPECT_EQ(layout.tableTop(), 10 + 12 + 10 + 2 * 12 + 10);
    EXPECT_EQ(layout.documentHeight(), 66 + 3 * 17 + 10);
    EXPECT_EQ(layout.maxColumnWidth(), 80);

    layout.drawPage(surface, 0);
    EXPECT_THAT(layout.columnWidths(), ElementsAre(42, 72, 66))
        << "\" ##### \", \" Глубина, м \", \"  0.12345  \"";

    const auto texts = surface.callsOf(Kind::text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Заголовок");
    EXPECT_EQ(texts[0].fontSize, 20);
    EXPECT_EQ(texts[0].points[0], (Surface::Point{(1000 - 54) / 2, 10})) << "centred at 0.25 cm";
    EXPECT_EQ(texts[1].text, "Скважина 12");
    EXPECT_EQ(texts[1].fontSize, 12);
    EXPECT_EQ(texts[1].points[0], (Surface::Point{20, 32}));
    EXPECT_EQ(texts[2].points[0], (Surface::Point{20, 44}));

    const auto cells = surface.callsOf(Kind::fillRect);
    ASSERT_EQ(cells.size(), 9u);
    const struct {
        std::size_t index;
        Surface::Rect rect;
        std::uint32_t colour;
    } expectedCells[] = {
        {0, {20, 66, 63, 84}, grey},   {1, {62, 66, 135, 84}, grey},   {2, {134, 66, 201, 84}, grey},
        {3, {20, 83, 63, 101}, grey},  {4, {62, 83, 135, 101}, white}, {5, {134, 83, 201, 101}, white},
        {8, {134, 100, 201, 118}, white},
    };
    for (const auto& c : expectedCells) {
        EXPECT_EQ(rectOf(cells[c.index]), c.rect) << c.index;
        EXPECT_EQ(cells[c.index].brush.colour, c.colour) << c.index;
        EXPECT_EQ(cells[c.index].pen.width, 1);
        EXPECT_EQ(cells[c.index].pen.colour, 0u);
    }

    const auto textAt = [&](const std::string& text) {
        for (const auto& call : texts)
            if (call.text == text)
                return call.points[0];
        ADD_FAILURE() << "no text '" << text << "'";
        return Surface::Point{};
    };
    EXPECT_EQ(textAt("Глубина, м"), (Surface::Point{62 + 2 + (69 - 60) / 2, 69})) << "a fixed cell centres its text";
    EXPECT_EQ(textAt("1"), (Surface::Point{20 + 2 + (39 - 6) / 2, 86}));
    EXPECT_EQ(textAt(" 1234.5  "), (Surface::Point{135 - 2 - 54, 86})) << "right aligned, with a blank after it";
    EXPECT_EQ(texts.size(), 3u + 8u) << "an empty cell shows no text";
}

TEST(GridPrintLayout, AlignmentPlacesTheOtherCells)
{
    const Table table = tableOf({{"", "H"}, {"1", " 1234.5 "}});
    const struct {
        GridPrintLayout::Alignment alignment;
        int x;
    } cases[] = {
        // The cell runs from 62 to 123, 57 pixels between the insets; the text is 54 wide.
        {GridPrintLayout::Alignment::left, 64},
        {GridPrintLayout::Alignment::right, 123 - 2 - 54},
        {GridPrintLayout::Alignment::centre, 64 + (57 - 54) / 2},
    };
    for (const auto& c : cases) {
        GridPrintLayout::Options chosen = options();
        chosen.alignment = c.alignment;
        GridPrintLayout layout(table, chosen, page40);
        RecordingSurface surface;
        layout.measure(surface);
        layout.drawPage(surface, 0);
        const auto texts = surface.callsOf(Kind::text);
        ASSERT_EQ(texts.back().text, " 1234.5  ");
        EXPECT_EQ(texts.back().points[0].x, c.x) << static_cast<int>(c.alignment);
    }
}

// Every page shows what the whole document drawn at its offset shows there, but only whole rows:
// a page breaks between two rows, never through one. Each page draws only its own rows; the
// frames and shading are where the texts are, and the title and header lines are on the first
// page only.
TEST(GridPrintLayout, ATallTableContinuesOnTheNextPagesRowByRow)
{
    const Table table = numbered(4, 200);
    GridPrintLayout layout(table, options("Итоги", {"Скважина 12"}), page40);
    RecordingSurface measuring;
    layout.measure(measuring);
    ASSERT_EQ(layout.tableTop(), 54);
    // Under the top 14 rows, then 17 a page: (300 − 1 − 2 × pen) / 17.
    ASSERT_EQ(layout.pageCount(), 1 + (200 - 14 + 16) / 17);
    EXPECT_EQ(layout.pageRows(0), (std::pair{0, 14}));
    EXPECT_EQ(layout.pageRows(1), (std::pair{14, 31}));
    EXPECT_EQ(layout.pageRows(layout.pageCount() - 1).second, 200);

    std::set<std::string> rowTitlesSeen;
    int nextRow = 0;
    for (int page = 0; page < layout.pageCount(); ++page) {
        const auto [first, end] = layout.pageRows(page);
        ASSERT_EQ(first, nextRow) << "pages follow on without a gap or an overlap";
        ASSERT_LT(first, end);
        nextRow = end;
        const int offset = layout.pageOffset(page);
        const int firstTop = layout.tableTop() + first * 17 - offset;
        const int endTop = layout.tableTop() + end * 17 - offset;
        const auto ofPageRows = [&](const RecordingSurface::Call& call) {
            const int top = call.kind == Kind::text ? call.points[0].y - 3 : call.points[0].y;
            return (top >= firstTop && top < endTop) || (page == 0 && top < layout.tableTop() - 3);
        };

        RecordingSurface drawn;
        layout.drawPage(drawn, page);
        RecordingSurface whole;
        layout.drawDocument(whole, offset);
        std::vector<std::string> expected, got;
        for (const auto& call : whole.calls())
            if (ofPageRows(call))
                expected.push_back(describe(call));
        for (const auto& call : drawn.calls())
            got.push_back(describe(call));
        ASSERT_EQ(got, expected) << "page " << page;

        const auto cells = drawn.callsOf(Kind::fillRect);
        for (const auto& cell : cells) {
            EXPECT_GE(cell.points[0].y - layout.penWidth(), 0) << "page " << page;
            EXPECT_LE(cell.points[1].y + layout.penWidth(), 300) << "page " << page;
        }
        for (const auto& text : drawn.callsOf(Kind::text)) {
            if (text.fontSize != 10) {
                EXPECT_EQ(page, 0) << "title and header lines on the first page only: " << text.text;
                continue;
            }
            const bool fixed = text.text == "00" || text.text[0] == 'H' || text.text[0] == 'R';
            const Surface::Point at = text.points[0];
            const auto under = std::find_if(cells.begin(), cells.end(), [&](const auto& cell) {
                const Surface::Rect r = rectOf(cell);
                return at.x >= r.left && at.x < r.right && at.y >= r.top && at.y + 12 <= r.bottom;
            });
            ASSERT_NE(under, cells.end()) << "page " << page << ": no cell under " << text.text;
            EXPECT_EQ(under->brush.colour, fixed ? grey : white) << text.text;
            EXPECT_EQ(text.brush.colour, under->brush.colour) << "the text's background is its cell's";
            if (text.text[0] == 'R') {
                EXPECT_TRUE(rowTitlesSeen.insert(text.text).second) << text.text << " twice";
            }
        }
    }
    EXPECT_EQ(nextRow, 200);
    EXPECT_EQ(rowTitlesSeen.size(), 199u) << "every row on exactly one page";
}

TEST(GridPrintLayout, PageCountFollowsTheRowsThatFit)
{
    const Table table = numbered(3, 3);  // the table from 42, three rows of 17, 103 high
    const struct {
        int pageHeight;
        int pages;
    } cases[] = {
        {103, 1},   // the document exactly: no empty page after it
        {95, 1},    // 42 + 3 × 17 + 1 + 1 pen
        {94, 2},
        {50, 3},    // only the top on the first page, then two rows a page
        {10, 4},    // a page lower than a row still takes one
        {1000, 1},
    };
    for (const auto& c : cases) {
        GridPrintLayout layout(table, options(), {40.0, 1000, c.pageHeight});
        RecordingSurface surface;
        layout.measure(surface);
        ASSERT_EQ(layout.documentHeight(), 103);
        EXPECT_EQ(layout.pageCount(), c.pages) << c.pageHeight;
        EXPECT_EQ(layout.pageRows(c.pages - 1).second, 3) << c.pageHeight;
    }
}

TEST(GridPrintLayout, TextsWiderThanTheirCellEndWithAnEllipsis)
{
    const Table table = tableOf({{"", "Очень длинный заголовок"}, {"1", " 123456789.12345 "}, {"2", " 1.5 "}});
    GridPrintLayout::Options chosen = options();
    chosen.cellWidth = 1.0;
    GridPrintLayout layout(table, chosen, page40);
    RecordingSurface surface;
    layout.measure(surface);
    layout.drawPage(surface, 0);
    ASSERT_THAT(layout.columnWidths(), ElementsAre(40, 40)) << "columns stop at 1 cm, even for \" ##### \"";

    std::vector<std::string> shown;
    for (const auto& text : surface.callsOf(Kind::text))
        shown.push_back(text.text);
    // Room: 41 − 2 × 2 = 37 pixels, five characters and the ellipsis.
    EXPECT_THAT(shown, ElementsAre("Заголовок", "Очень…", "1", " 1234…", "2", " 1.5  "));
    // Column 1 runs from 60 to 101: texts between 62 and 99.
    for (const auto& text : surface.callsOf(Kind::text))
        if (text.fontSize == 10 && text.points[0].x >= 60) {
            EXPECT_GE(text.points[0].x, 62) << text.text;
            EXPECT_LE(text.points[0].x + surface.textWidth(text.text), 99) << text.text;
        }
}

// Where the insets leave no room for the blank after the widest text of a column, the blank
// goes rather than the text's last digits.
TEST(GridPrintLayout, TheBlankAfterAFittingTextGivesWayToTheInsets)
{
    const Table table = tableOf({{"", "H"}, {"1", " 0.12345 "}});
    GridPrintLayout layout(table, options(), {100.0, 2000, 1000});  // insets 5, a blank 6
    RecordingSurface surface;
    layout.measure(surface);
    layout.drawPage(surface, 0);
    ASSERT_THAT(layout.columnWidths(), ElementsAre(42, 66));
    const auto texts = surface.callsOf(Kind::text);
    EXPECT_EQ(texts.back().text, " 0.12345 ");
    EXPECT_EQ(texts.back().points[0].x, 50 + 42 + 67 - 5 - 54);
}

TEST(GridPrintLayout, ColumnsAreCappedAt256AndAtTheCellWidth)
{
    std::vector<std::string> wide(300, "x");
    wide[5] = std::string(40, 'w');
    Table table(300);
    table.addRow(wide);
    table.addRow(wide);
    GridPrintLayout layout(table, options(), {40.0, 100000, 300});
    RecordingSurface surface;
    layout.measure(surface);
    layout.drawPage(surface, 0);
    ASSERT_EQ(layout.columnWidths().size(), 256u);
    EXPECT_EQ(layout.columnWidths()[5], 80);
    EXPECT_EQ(layout.columnWidths()[6], 42);
    const auto cells = surface.callsOf(Kind::fillRect);
    ASSERT_EQ(cells.size(), 2u * 256u);
    EXPECT_EQ(cells[255].points[1].x, 20 + 255 * 42 + 80 + 1) << "the last column drawn is the 256th";
}

TEST(GridPrintLayout, TheSelectionCopyKeepsTheTitlesOfTheSelectedBlock)
{
    Table table = numbered(5, 6);
    const struct {
        GridPrintLayout::Selection selection;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {{2, 2, 3, 4}, {{"00", "H2", "H3"}, {"R2", "2/2", "3/2"}, {"R3", "2/3", "3/3"}, {"R4", "2/4", "3/4"}}},
        // A whole selected row takes in column 0: the row titles do not come twice.
        {{0, 3, 4, 3}, {{"00", "H1", "H2", "H3", "H4"}, {"R3", "1/3", "2/3", "3/3", "4/3"}}},
        {{4, 5, 9, 9}, {{"00", "H4"}, {"R5", "4/5"}}},
        {{3, 4, 1, 3}, {{"00", "H1", "H2", "H3"}, {"R3", "1/3", "2/3", "3/3"}, {"R4", "1/4", "2/4", "3/4"}}},
    };
    for (const auto& c : cases) {
        table.selection = c.selection;
        const Table copy = table.selectionCopy();
        EXPECT_EQ(rowsOf(copy), c.rows) << c.selection.left << "," << c.selection.top;
        EXPECT_EQ(copy.fixedColumns(), 1);
        EXPECT_EQ(copy.fixedRows(), 1);
    }
    EXPECT_TRUE((GridPrintLayout::Selection{3, 7, 3, 7}).singleCell());
    EXPECT_FALSE((GridPrintLayout::Selection{1, 7, 4, 7}).singleCell());
}

TEST(GridPrintLayout, TableKeepsItsCellsCompactly)
{
    Table table(3, 1, 1);
    table.addRow(std::vector<std::string>{"a", "bb"});
    table.addRow(std::vector<std::string>{"c", "", "ddd", "dropped"});
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(rowsOf(table), (std::vector<std::vector<std::string>>{{"a", "bb", ""}, {"c", "", "ddd"}}));
    EXPECT_EQ(table.cell(3, 0), "");
    EXPECT_EQ(table.cell(0, 2), "");
    EXPECT_EQ(table.cell(-1, 0), "");
}

TEST(GridPrintLayout, TypedNumbersFallBackToTheDefaults)
{
    const struct {
        const char* typed;
        int size;
    } sizes[] = {{"10", 10}, {"7", 7}, {" 36 ", 36}, {"abc", 10}, {"", 10}, {"0", 10}, {"-5", 10}, {"1,5", 10}};
    for (const auto& c : sizes)
        EXPECT_EQ(GridPrintLayout::fontSizeOf(c.typed), c.size) << c.typed;
    const struct {
        const char* typed;
        double width;
    } widths[] = {{"2", 2.0}, {"1,5", 1.5}, {"1.5", 1.5}, {" 6,5 ", 6.5}, {"x", 2.0}, {"", 2.0}, {"0", 2.0}, {"-1", 2.0}};
    for (const auto& c : widths)
        EXPECT_DOUBLE_EQ(GridPrintLayout::cellWidthOf(c.typed), c.width) << c.typed;
}

TEST(GridPrintLayout, AnEmptyTableDrawsOnlyTheTop)
{
    const Table table(0);
    GridPrintLayout layout(table, options("Т", {"строка"}), page40);
    RecordingSurface surface;
    layout.measure(surface);
    layout.drawPage(surface, 0);
    EXPECT_EQ(surface.callsOf(Kind::fillRect).size(), 0u);
    EXPECT_EQ(surface.callsOf(Kind::text).size(), 2u);
    EXPECT_EQ(layout.documentHeight(), layout.tableTop() + 10);
    EXPECT_EQ(layout.pageCount(), 1);
}

} // namespace
