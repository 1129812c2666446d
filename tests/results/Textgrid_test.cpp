#include "results/Textgrid.h"

#include "settings/Inifile.h"
#include "support/Limitedchild.h"
#include "support/Testsupport.h"

#include "Resultsfixtures.h"

#include <gmock/gmock.h>

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;
using fixtures::numberedRecord;
using fixtures::recordBytes;
using fixtures::recordsBytes;
using testing::ElementsAre;
using testing::ElementsAreArray;

CalculatedGaz result(const std::string& name, const std::string& key, double concentration)
{
    CalculatedGaz gaz;
    gaz.name = name;
    gaz.key = key;
    gaz.concentration = concentration;
    return gaz;
}

// Six gases, the total and six shares, as a finished analysis announces them.
CalculatedGazes thirteenResults()
{
    const std::vector<std::string> gases{"метан", "этан", "пропан", "ибутан", "нбутан", "пентан"};
    CalculatedGazes results;
    for (std::size_t i = 0; i < gases.size(); ++i)
        results.push_back(result(gases[i], gases[i] + "_абс", 0.001 * static_cast<double>(i + 1)));
    results.push_back(result(CalculatedGaz::totalName, CalculatedGaz::totalName, 0.021));
    for (std::size_t i = 0; i < gases.size(); ++i)
        results.push_back(result(gases[i] + "_отн", gases[i] + "_отн", 100.0 * static_cast<double>(i + 1) / 21));
    return results;
}

class TextGridTest : public testing::Test {
protected:
    TextGridTest() { listen(); }

    // What a table model hears, in order; an append also notes the row count it then reads.
    void listen()
    {
        grid.rowsAppended.connect([this](int first, int count) {
            heard.push_back("appended " + std::to_string(first) + "+" + std::to_string(count) + " of "
                            + std::to_string(grid.rowCount()));
        });
        grid.rowsReplaced.connect([this] { heard.push_back("replaced"); });
        grid.rowsChanged.connect([this](int first, int count) {
            heard.push_back("changed " + std::to_string(first) + "+" + std::to_string(count));
        });
        grid.cellChanged.connect([this](int column, int row) {
            heard.push_back("cell " + std::to_string(column) + "," + std::to_string(row));
        });
        grid.redrawn.connect([this] { heard.push_back("redrawn"); });
    }

    std::filesystem::path path() const { return folder / "data.tim"; }
    std::string contents() const { return test::readFile(path()); }

    // Five records whose slots 0 and 1 are described as methane and the total.
    void openFiveRecords()
    {
        test::writeFile(path(), recordsBytes({1, 2, 3, 4, 5}));
        test::writeFile(folder / "inpgti.nbl", fixtures::methaneDescriptor + fixtures::totalDescriptor);
        ASSERT_TRUE(grid.open(path()));
        ASSERT_EQ(grid.recordCount(), 5U);
    }

    std::vector<std::string> headers() const
    {
        std::vector<std::string> texts;
        for (const auto& column : grid.columns())
            texts.push_back(column.header);
        return texts;
    }

    std::vector<int> slots() const
    {
        std::vector<int> values;
        for (const auto& column : grid.columns())
            values.push_back(column.slot);
        return values;
    }

    std::vector<int> decimals() const
    {
        std::vector<int> values;
        for (const auto& column : grid.columns())
            values.push_back(column.decimals);
        return values;
    }

    std::vector<std::uint32_t> backgrounds() const
    {
        std::vector<std::uint32_t> values;
        for (const auto& column : grid.columns())
            values.push_back(column.background.value_or(0));
        return values;
    }

    std::vector<std::string> headerRow() const
    {
        std::vector<std::string> texts;
        for (int column = 0; column < grid.columnCount(); ++column)
            texts.push_back(grid.headerText(column));
        return texts;
    }

    std::vector<std::string> row(int index) const
    {
        std::vector<std::string> texts;
        for (int column = 0; column < grid.columnCount(); ++column)
            texts.push_back(grid.cellText(column, index));
        return texts;
    }

    test::TemporaryDirectory folder;
    test::DecimalSeparatorScope point{'.'};
    lib::LocalSeconds now = 0x12345678;
    std::vector<std::string> heard;
    TextGrid grid{[this] { return now; }};
};

TEST_F(TextGridTest, AnEmptyFileShowsTheHeadersAndNoRecordRow)
{
    ASSERT_TRUE(grid.open(path()));
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.columnCount(), 2);
    EXPECT_THAT(headerRow(), ElementsAre("Глубина, м", "      Дата Время      "));
    EXPECT_THAT(row(0), ElementsAre("", ""));
    EXPECT_EQ(grid.headerText(2), "");
    EXPECT_EQ(grid.headerText(-1), "");
    EXPECT_EQ(grid.selectedRow(), -1);
}

TEST_F(TextGridTest, AppendWritesTheRecordAndTheChannelListByteForByte)
{
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1.5), result("сумм_газ", "сумм_газ", 100)}, 1234.5));
    EXPECT_EQ(contents(), fixtures::recordFixture);
    EXPECT_EQ(test::readFile(folder / "inpgti.nbl"), fixtures::methaneDescriptor + fixtures::totalDescriptor);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_THAT(headerRow(), ElementsAre("Глубина, м", "      Дата Время      ", "метан,%", "сумм_газ,%"));
    EXPECT_THAT(row(0), ElementsAre(" 1234.5 ", testing::_, " 1.50000 ", " 100.00000 "));

    now = 0x12345679;
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1.5), result("сумм_газ", "сумм_газ", 100)}, 1234.5));
    std::string second = fixtures::recordFixture;
    second[1] = '\x79';
    EXPECT_EQ(contents(), fixtures::recordFixture + second);
    EXPECT_EQ(grid.rowCount(), 2);
}

TEST_F(TextGridTest, TheChannelListFollowsTheLastAnalysisAndIsReadOnOpen)
{
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(thirteenResults(), 100));
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 2)}, 101));
    EXPECT_EQ(test::readFile(folder / "inpgti.nbl"), fixtures::methaneDescriptor);
    EXPECT_EQ(grid.columnCount(), 3);

    TextGrid reopened;
    ASSERT_TRUE(reopened.open(path()));
    EXPECT_EQ(reopened.recordCount(), 2U);
    EXPECT_EQ(reopened.descriptors(), grid.descriptors());
    EXPECT_EQ(reopened.cellText(2, 1), " 2.00000 ");
    EXPECT_EQ(reopened.cellText(2, 0), " 0.00100 ");  // slot 0 of the first record
}

TEST_F(TextGridTest, TheChannelListIsWrittenAgainWhenItDiffersFromTheAnalysis)
{
    const auto listBytes = [this] { return test::readFile(folder / "inpgti.nbl"); };
    const auto identity = [this] {
        struct stat info {};
        ::stat((folder / "inpgti.nbl").c_str(), &info);
        return info.st_ino;
    };
    const CalculatedGazes analysis{result("метан", "метан_абс", 1.5), result("сумм_газ", "сумм_газ", 100)};
    const std::string expected = fixtures::methaneDescriptor + fixtures::totalDescriptor;
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(analysis, 1));
    const auto written = identity();
    ASSERT_TRUE(grid.appendResults(analysis, 2));
    EXPECT_EQ(identity(), written);  // the same list stays as it is

    std::filesystem::remove(folder / "inpgti.nbl");
    ASSERT_TRUE(grid.appendResults(analysis, 3));
    EXPECT_EQ(listBytes(), expected);

    test::writeFile(folder / "inpgti.nbl", expected.substr(0, 20));
    ASSERT_TRUE(grid.appendResults(analysis, 4));
    EXPECT_EQ(listBytes(), expected);

    test::writeFile(folder / "inpgti.nbl", expected + "x");
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(analysis, 5));
    EXPECT_EQ(listBytes(), expected);
}

TEST_F(TextGridTest, AMissingChannelListGivesNoGasColumns)
{
    test::writeFile(path(), recordsBytes({1, 2}));
    ASSERT_TRUE(grid.open(path()));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 2);
}

TEST_F(TextGridTest, CellTexts)
{
    const test::DecimalSeparatorScope comma(',');
    ASSERT_TRUE(grid.open(path()));
    now = lib::toLocalSeconds(2007, 10, 3, 16, 5, 42);
    ASSERT_TRUE(grid.appendResults(thirteenResults(), 0));
    now = lib::toLocalSeconds(2008, 1, 21, 9, 30, 0);
    ASSERT_TRUE(grid.appendResults(thirteenResults(), 2500.5));

    EXPECT_EQ(grid.headerText(0), "Глубина, м");
    EXPECT_EQ(grid.headerText(14), "пентан_отн,%");
    EXPECT_EQ(grid.headerText(15), "");

    struct Case {
        int column;
        int row;
        std::string text;
    };
    const Case cases[] = {
        {0, 0, "-------     "},
        {0, 1, " 2500,5 "},
        {1, 0, "3.10.2007 16:05 "},
        {1, 1, "21.01.2008 9:30 "},
        {2, 0, " 0,00100 "},
        {8, 0, " 0,02100 "},  // the total, still 5 decimals
        {9, 0, " 4,8 "},      // the first share, 1 decimal
        {14, 1, " 28,6 "},
        {15, 0, ""},
        {2, 2, ""},
        {2, -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.cellText(c.column, c.row), c.text) << c.column << "," << c.row;
}

TEST_F(TextGridTest, ThirteenResultsGiveFifteenColumnsInEitherOrder)
{
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(thirteenResults(), 10));
    constexpr std::uint32_t g = TextGrid::gasColour;
    constexpr std::uint32_t t = TextGrid::totalColour;

    ASSERT_EQ(grid.columnCount(), 15);
    EXPECT_THAT(slots(), ElementsAre(-1, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12));
    EXPECT_THAT(decimals(), ElementsAre(1, 0, 5, 5, 5, 5, 5, 5, 5, 1, 1, 1, 1, 1, 1));
    EXPECT_THAT(backgrounds(), ElementsAre(0, 0, g, g, g, g, g, g, t, g, g, g, g, g, g));
    EXPECT_FALSE(grid.columns()[0].background.has_value());
    EXPECT_EQ(headers()[2], "метан,%");

    grid.setReverseMode(true);
    ASSERT_EQ(grid.columnCount(), 15);
    EXPECT_THAT(slots(), ElementsAre(-1, -1, 6, 7, 8, 9, 10, 11, 12, 0, 1, 2, 3, 4, 5));
    EXPECT_THAT(decimals(), ElementsAre(1, 0, 5, 1, 1, 1, 1, 1, 1, 5, 5, 5, 5, 5, 5));
    EXPECT_THAT(backgrounds(), ElementsAre(0, 0, t, g, g, g, g, g, g, t, t, t, t, t, t));
    EXPECT_EQ(headers()[2], "сумм_газ,%");
    EXPECT_EQ(grid.cellText(2, 0), " 0.02100 ");
    EXPECT_EQ(grid.cellText(3, 0), " 4.8 ");
}

TEST_F(TextGridTest, ColumnOrderForShortLists)
{
    struct Case {
        const char* what;
        CalculatedGazes results;
        std::vector<int> normalSlots;
        std::vector<int> normalDecimals;
        std::vector<int> reverseSlots;
    };
    const Case cases[] = {
        {"one gas", {result("метан", "м", 1)}, {-1, -1, 0}, {1, 0, 5}, {-1, -1, 0}},
        {"two gases, no total", {result("метан", "м", 1), result("этан", "э", 1)}, {-1, -1, 0, 1}, {1, 0, 5, 5}, {-1, -1, 0, 1}},
        {"gas, total, share",
         {result("метан", "м", 1), result("сумм_газ", "с", 1), result("метан_отн", "о", 1)},
         {-1, -1, 0, 1, 2},
         {1, 0, 5, 5, 1},
         {-1, -1, 1, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TemporaryDirectory own;
        TextGrid table;
        ASSERT_TRUE(table.open(own / "data.tim"));
        ASSERT_TRUE(table.appendResults(c.results, 1));
        std::vector<int> slotsShown, decimalsShown;
        for (const auto& column : table.columns()) {
            slotsShown.push_back(column.slot);
            decimalsShown.push_back(column.decimals);
        }
        EXPECT_EQ(slotsShown, c.normalSlots);
        EXPECT_EQ(decimalsShown, c.normalDecimals);
        table.setReverseMode(true);
        slotsShown.clear();
        for (const auto& column : table.columns())
            slotsShown.push_back(column.slot);
        EXPECT_EQ(slotsShown, c.reverseSlots);
    }
}

TEST_F(TextGridTest, WidthsAndRowHeightComeFromTheViewsFontMetrics)
{
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults({result("C1", "C1", 1), result("очень_длинное_имя", "x", 1)}, 1));
    // Ten pixels a byte, so the sample "  0.00000  " is 110 wide.
    grid.setTextMetrics({[](std::string_view text) { return static_cast<int>(text.size()) * 10; }, 16});
    EXPECT_EQ(grid.rowHeight(), 20);
    std::vector<int> widths;
    for (const auto& column : grid.columns())
        widths.push_back(column.width);
    const int depthWidth = static_cast<int>((" "s + TextGrid::depthHeader + " ").size()) * 10;
    const int timeWidth = static_cast<int>((" "s + TextGrid::timeHeader + " ").size()) * 10;
    const int longWidth = static_cast<int>((" очень_длинное_имя,% "s).size()) * 10;
    EXPECT_THAT(widths, ElementsAre(depthWidth, timeWidth, 110, longWidth));
}

TEST_F(TextGridTest, OfALongerListTheFirst32ResultsAreStored)
{
    CalculatedGazes results;
    for (int i = 0; i < 40; ++i)
        results.push_back(result("g" + std::to_string(i), "k" + std::to_string(i), i + 1));
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(results, 1));
    EXPECT_EQ(grid.descriptors().size(), 32U);
    EXPECT_EQ(grid.descriptors().back().name, "g31");
    EXPECT_EQ(grid.columnCount(), 34);
    ASSERT_EQ(contents().size(), reg_file::File::recordSize);
    const auto record = reg_file::File::fromBytes(contents().data());
    EXPECT_EQ(record.values[31], 32.0F);
}

TEST_F(TextGridTest, EditingWritesChangesOfAtLeastTheToleranceIntoTheFile)
{
    using Edit = TextGrid::EditResult;
    struct Case {
        const char* what;
        bool editMode;
        int column;
        int row;
        std::string typed;
        Edit result;
    };
    // Row 1 is record 2: depth 20, slot 0 = 2, slot 1 = 2.01.
    const Case cases[] = {
        {"value under the tolerance", true, 2, 1, "2.000009", Edit::unchanged},
        {"depth under the tolerance", true, 0, 1, "20,000001", Edit::unchanged},
        {"value at the tolerance", true, 2, 1, "2.00002", Edit::written},
        {"depth with a comma", true, 0, 1, "1234,5", Edit::written},
        {"zero typed", true, 3, 1, " 0 ", Edit::written},
        {"no number is refused", true, 3, 1, "abc", Edit::notANumber},
        {"a slip after the digits is refused", true, 2, 1, "2.5ю", Edit::notANumber},
        {"an emptied cell is refused", true, 0, 1, "", Edit::notANumber},
        {"time column", true, 1, 1, "5", Edit::unchanged},
        {"no number in the time column", true, 1, 1, "abc", Edit::unchanged},
        {"before the first row", true, 2, -1, "5", Edit::unchanged},
        {"beyond the records", true, 2, 5, "5", Edit::unchanged},
        {"beyond the columns", true, 4, 1, "5", Edit::unchanged},
        {"outside edit mode", false, 2, 1, "5", Edit::unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        openFiveRecords();
        const std::string before = contents();
        grid.setEditMode(c.editMode);
        EXPECT_EQ(grid.editCell(c.column, c.row, c.typed), c.result);
        if (c.result != Edit::written)
            EXPECT_EQ(contents(), before);
        else
            EXPECT_NE(contents(), before);
        grid.setEditMode(false);
    }
}

TEST_F(TextGridTest, AnEditChangesOnlyItsFieldAndIsSeenByReaders)
{
    openFiveRecords();
    grid.setEditMode(true);
    grid.setReverseMode(true);  // the total first: column 3 now shows slot 1
    ASSERT_EQ(grid.columns()[3].slot, 1);
    ASSERT_EQ(grid.editCell(3, 1, "7,5"), TextGrid::EditResult::written);
    ASSERT_EQ(grid.editCell(0, 2, "1234.5"), TextGrid::EditResult::written);

    reg_file::File second = numberedRecord(2);
    second.values[1] = 7.5F;
    reg_file::File third = numberedRecord(3);
    third.depth = 1234.5F;
    EXPECT_EQ(contents(), recordsBytes({1}) + recordBytes(second) + recordBytes(third) + recordsBytes({4, 5}));
    EXPECT_EQ(grid.cellText(3, 1), " 7.5 ");
    EXPECT_EQ(grid.cellText(0, 2), " 1234.5 ");
}

TEST_F(TextGridTest, ZeroingRowsKeepsDepthAndTime)
{
    openFiveRecords();
    grid.zeroRows(1, 2);
    reg_file::File second = numberedRecord(2);
    second.values = {};
    reg_file::File third = numberedRecord(3);
    third.values = {};
    EXPECT_EQ(contents(), recordsBytes({1}) + recordBytes(second) + recordBytes(third) + recordsBytes({4, 5}));
    EXPECT_EQ(grid.selectedRow(), 4);
}

TEST_F(TextGridTest, DeletingRowsKeepsTheOthersInOrder)
{
    struct Case {
        int first;
        int last;
        bool deleted;
        std::string remaining;
    };
    const Case cases[] = {
        {1, 2, true, recordsBytes({1, 4, 5})},
        {-1, 0, true, recordsBytes({2, 3, 4, 5})},  // a row before the first is no record
        {4, 9, true, recordsBytes({1, 2, 3, 4})},
        {5, 9, false, recordsBytes({1, 2, 3, 4, 5})},
        {-1, -1, false, recordsBytes({1, 2, 3, 4, 5})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << "…" << c.last);
        openFiveRecords();
        EXPECT_EQ(grid.deleteRows(c.first, c.last), c.deleted);
        EXPECT_EQ(contents(), c.remaining);
        const int records = static_cast<int>(c.remaining.size() / reg_file::File::recordSize);
        EXPECT_EQ(grid.rowCount(), records);
        EXPECT_EQ(grid.selectedRow(), records - 1);
        EXPECT_EQ(test::readFile(folder / "inpgti.nbl"), fixtures::methaneDescriptor + fixtures::totalDescriptor);
    }
}

TEST_F(TextGridTest, ClearingMovesTheRecordsAsideAndShowsAnEmptyTable)
{
    openFiveRecords();
    grid.setEditMode(true);
    ASSERT_TRUE(grid.clearAll());
    EXPECT_FALSE(grid.editMode());
    EXPECT_EQ(contents(), "");
    EXPECT_EQ(test::readFile(folder / "data.tim.bak"), recordsBytes({1, 2, 3, 4, 5}));
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.columnCount(), 4);  // the channel list stays
    EXPECT_THAT(row(0), ElementsAre("", "", "", ""));
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1)}, 5));
    EXPECT_EQ(grid.recordCount(), 1U);
}

TEST_F(TextGridTest, SelectionAfterRedrawsAppendsAndEditModeChanges)
{
    openFiveRecords();
    EXPECT_EQ(grid.selectedRow(), 4);
    grid.selectRow(1);
    grid.setEditMode(true);
    EXPECT_EQ(grid.selectedRow(), 1);
    EXPECT_EQ(grid.fixedColumnCount(), 0);
    EXPECT_FALSE(grid.selectsWholeRows());
    grid.setEditMode(false);
    EXPECT_EQ(grid.fixedColumnCount(), 1);
    EXPECT_TRUE(grid.selectsWholeRows());
    EXPECT_EQ(grid.selectedRow(), 1);
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1)}, 5));
    EXPECT_EQ(grid.selectedRow(), 1) << "an older row stays selected";
    grid.redraw();
    EXPECT_EQ(grid.selectedRow(), 5);
    grid.selectRow(99);
    EXPECT_EQ(grid.selectedRow(), 5);
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1)}, 5));
    EXPECT_EQ(grid.selectedRow(), 6) << "the last row follows the newest analysis";
    grid.selectRow(-3);
    EXPECT_EQ(grid.selectedRow(), 0);
}

TEST_F(TextGridTest, EveryChangeTellsAModelWhatChanged)
{
    const CalculatedGazes sameList{result("метан", "метан_абс", 3), result("сумм_газ", "сумм_газ", 9)};
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> heard;
    };
    const std::vector<std::string> replaced{"replaced", "redrawn"};
    const Case cases[] = {
        {"append under the same columns", [&] { grid.appendResults(sameList, 1); }, {"appended 5+1 of 6", "redrawn"}},
        {"append with another channel list", [&] { grid.appendResults(thirteenResults(), 1); }, replaced},
        {"clear all", [&] { grid.clearAll(); }, replaced},
        {"delete rows", [&] { grid.deleteRows(1, 2); }, replaced},
        {"reverse mode", [&] { grid.setReverseMode(true); }, replaced},
        {"close", [&] { grid.close(); }, replaced},
        {"zero rows", [&] { grid.zeroRows(3, 1); }, {"changed 1+3", "redrawn"}},
        {"zero rows beyond the records", [&] { grid.zeroRows(5, 9); }, {"redrawn"}},
        {"edit that writes", [&] { grid.editCell(3, 1, "7.5"); }, {"cell 3,1", "redrawn"}},
        {"edit under the tolerance", [&] { grid.editCell(2, 1, "2.000009"); }, {}},
        {"edit refused", [&] { grid.editCell(2, 1, "abc"); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid.setReverseMode(false);
        openFiveRecords();
        grid.setEditMode(true);
        heard.clear();
        c.change();
        EXPECT_EQ(heard, c.heard);
    }
}

TEST_F(TextGridTest, TheFirstRecordOfAnEmptyTableIsAppendedAsRowZero)
{
    openFiveRecords();
    ASSERT_TRUE(grid.clearAll());  // the channel list stays, and with it the columns
    heard.clear();
    ASSERT_TRUE(grid.appendResults({result("метан", "метан_абс", 1), result("сумм_газ", "сумм_газ", 1)}, 5));
    EXPECT_THAT(heard, ElementsAre("appended 0+1 of 1", "redrawn"));
    EXPECT_EQ(grid.selectedRow(), 0);
}

TEST_F(TextGridTest, ReverseModeIsStoredInItsSection)
{
    openFiveRecords();
    lib::IniFile ini = lib::IniFile::inMemory();
    grid.saveTo(ini);
    EXPECT_EQ(ini.read("TextGrid", "reverse_mode"), "0");
    grid.setReverseMode(true);
    grid.saveTo(ini);
    EXPECT_EQ(ini.read("TextGrid", "reverse_mode"), "1");

    TextGrid loaded;
    ASSERT_TRUE(loaded.open(path()));
    EXPECT_EQ(loaded.columns()[2].slot, 0);
    lib::IniFile stored = lib::IniFile::inMemory("[TextGrid]\r\nreverse_mode=1\r\n");
    loaded.loadFrom(stored);
    EXPECT_TRUE(loaded.reverseMode());
    EXPECT_EQ(loaded.columns()[2].slot, 0);  // two descriptors: the middle is slot 0
    EXPECT_EQ(loaded.columns()[3].slot, 1);
    EXPECT_EQ(loaded.columns()[3].decimals, 1);
}

TEST_F(TextGridTest, AFileThatCannotBeOpenedLeavesTheTableEmpty)
{
    EXPECT_FALSE(grid.open(folder / "missing" / "data.tim"));
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.columnCount(), 2);
    EXPECT_FALSE(grid.appendResults({result("метан", "метан_абс", 1)}, 5));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    EXPECT_FALSE(grid.deleteRows(0, 0));
    EXPECT_EQ(grid.cellText(0, 0), "");
}

TEST_F(TextGridTest, AnAppendThatCannotBeWrittenChangesNeitherTableNorChannelList)
{
    openFiveRecords();
    const int status = test::inLimitedChild(5 * reg_file::File::recordSize + 20, false, [&] {
        const bool appended = grid.appendResults(thirteenResults(), 5);
        const bool unchanged = grid.recordCount() == 5 && grid.columnCount() == 4;
        return !appended && unchanged ? 0 : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(contents(), recordsBytes({1, 2, 3, 4, 5}));
    EXPECT_EQ(test::readFile(folder / "inpgti.nbl"), fixtures::methaneDescriptor + fixtures::totalDescriptor);
}

} // namespace
