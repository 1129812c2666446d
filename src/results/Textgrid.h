#pragma once

#include "analysis/Calculatedgaz.h"
#include "library/Mytime.h"
#include "results/Regparam.h"
#include "results/Resultsfile.h"
#include "settings/Inioptions.h"

#include <boost/signals2/signal.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The results table of the well: every announced analysis becomes one record of "data.tim",
// the channel list "inpgti.nbl" beside it names the values, and the table shows one row per
// record. This is the table's logic; the view draws what columns(), headerText(), cellText()
// and the grid properties say, and follows the notifications below.
//
// Rows: the header is no row. Record row r (0 … rowCount() − 1) shows record r, oldest first,
// so that a table model can hand the headers to its header view and the records to its rows.
// Every row argument and every row in a notification is a record row.
//
// Its one option, "reverse_mode" in section "TextGrid", is loaded and saved by the main window.
class TextGrid : public lib::ini_options {
public:
    static constexpr const char* channelListName = "inpgti.nbl";
    static constexpr const char* section = "TextGrid";
    static constexpr const char* depthHeader = "Глубина, м";
    static constexpr const char* timeHeader = "      Дата Время      ";
    static constexpr const char* noDepthText = "-------     ";
    static constexpr const char* widthSample = "  0.00000  ";
    static constexpr std::uint32_t totalColour = 0xFFFFF0;
    static constexpr std::uint32_t gasColour = 0xF0FFF0;
    static constexpr double editTolerance = 0.00001;
    static constexpr std::size_t maxColumns = 128;

    struct Column {
        std::string header;
        std::optional<std::uint32_t> background;  // none: the system's window colour
        int slot = -1;                            // value slot, -1 for depth and time
        int decimals = 0;
        int width = 0;                            // pixels

        bool operator==(const Column&) const = default;
    };

    // How wide a text is in the grid's font, and how high a line of it; the view sets its font's.
    struct TextMetrics {
        std::function<int(std::string_view)> width;
        int lineHeight = 0;
    };

    using Clock = std::function<lib::LocalSeconds()>;

    explicit TextGrid(Clock clock = lib::localSecondsNow);

    // Opens or creates the results file and reads the channel list beside it; false (an empty
    // table, appending does nothing) when the file cannot be opened.
    bool open(const std::filesystem::path& path);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    std::size_t recordCount() const { return file_.recordCount(); }
    const reg_file::Params& descriptors() const { return descriptors_; }

    // One analysis: the k-th result goes to value slot k. A record has 32 slots, so of a longer
    // list only the first 32 results are stored and described. False when nothing was stored;
    // the table and the channel list then stay as they were. A selection on the last row moves
    // to the new one, so that the newest analysis stays in view; any other stays.
    bool appendResults(const CalculatedGazes& results, double depth);

    // Rebuilds the column table and the grid size and selects the last row.
    void redraw();
    const std::vector<Column>& columns() const { return columns_; }
    // One row per record; none while there are no records.
    int rowCount() const;
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowHeight() const { return rowHeight_; }
    void setTextMetrics(TextMetrics metrics);

    // Empty beyond the last column; cells outside the records are empty too.
    std::string headerText(int column) const;
    std::string cellText(int column, int row) const;

    // −1 while there are no records; any other row is clamped to the records.
    int selectedRow() const { return selectedRow_; }
    void selectRow(int row);

    // Edit mode: no fixed column, cells editable, single cells selected.
    void setEditMode(bool on);
    bool editMode() const { return editMode_; }
    int fixedColumnCount() const { return editMode_ ? 0 : 1; }
    bool selectsWholeRows() const { return !editMode_; }

    enum class EditResult {
        written,
        unchanged,   // no editable cell, or the number within editTolerance of the stored one
        notANumber,  // refused: a typing slip must not replace a measured value with 0
    };
    // Enter pressed in a cell (edit mode only): the depth or a value of the record takes the
    // typed number when it differs from the stored one by at least editTolerance.
    EditResult editCell(int column, int row, std::string_view text);

    // Moves "data.tim" aside as "data.tim.bak" (one generation; an empty file is not moved, so a
    // second clear keeps the copy) and starts an empty table. False, with the records kept,
    // when the file cannot be moved aside.
    bool clearAll();
    // Rows first … last, in either order; rows outside the records are left out.
    void zeroRows(int first, int last);
    bool deleteRows(int first, int last);

    bool reverseMode() const { return reverseMode_; }
    void setReverseMode(bool on);

    // Raised on the calling thread once the change is made: rowCount() already counts appended
    // rows, so a model keeps its own count from beginInsertRows to endInsertRows.
    //
    // Records added after the last row by appendResults, the columns unchanged.
    boost::signals2::signal<void(int firstRow, int count)> rowsAppended;
    // Columns or rows changed as a whole (open, close, redraw, reverse mode, clearAll,
    // deleteRows, a new channel list or font): everything is read again.
    boost::signals2::signal<void()> rowsReplaced;
    // zeroRows: the values of these rows changed; rows and columns stay.
    boost::signals2::signal<void(int firstRow, int count)> rowsChanged;
    // editCell wrote the typed number.
    boost::signals2::signal<void(int column, int row)> cellChanged;
    // After each of the above and after a change of edit mode or font: for a view that only
    // repaints.
    boost::signals2::signal<void()> redrawn;

protected:
    void declare(lib::ini_options_elements& list) override;
    void afterLoad(lib::IniFile& ini) override;

private:
    struct RecordRange {
        std::size_t first;
        std::size_t last;
    };

    void buildColumns();
    void addFixedColumns();
    void addNormalColumns();
    void addReverseColumns();
    void addSlotColumn(std::size_t slot, std::uint32_t background, int decimals);
    int columnWidth(const std::string& header) const;
    void redrawKeepingSelection(std::size_t recordsBefore, const std::vector<Column>& columnsBefore,
                                bool followLastRow = false);
    void selectLastRow();
    std::optional<std::size_t> recordOfRow(int row) const;
    std::optional<RecordRange> recordsOfRows(int first, int last) const;
    std::filesystem::path channelListPath() const;
    bool channelListHolds(const reg_file::Params& params) const;
    std::string valueText(const reg_file::File& record, const Column& column) const;

    Clock clock_;
    results::ResultsFile file_;
    reg_file::Params descriptors_;
    std::vector<Column> columns_;
    TextMetrics metrics_;
    int rowHeight_ = 0;
    int selectedRow_ = -1;
    bool editMode_ = false;
    bool reverseMode_ = false;
};
