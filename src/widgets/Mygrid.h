#pragma once

#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <cstdint>
#include <functional>

class MyGridInplaceEdit;
class MyGridPopupList;
class QStandardItemModel;
class QToolButton;
class TMyGridColorForm;

// A string grid whose cells are edited as their owner says, cell by cell: as text, through a
// drop-down list, a colour pop-up or a button of the owner's.
//
// Cells are addressed as (column, row) with the fixed cells counted: row 0 is the fixed top row,
// labelled by the top strings, and with one fixed column, column 0 is that column. The data cells
// therefore start at row 1 (and column fixedCols()). The fixed column, when there is one, stays in
// place while the others scroll.
//
// Cell kinds (asked from OnGetCellProps, 0 when it is not set): 0 text, 1 text with a list,
// 2 colour, 3 list only, 4 read-only, 5 text with a button of the owner's, 6 that button only.
// Any other number is read-only.
class TMyGrid : public QTableView {
    Q_OBJECT
public:
    enum CellKind { ckText = 0, ckTextList = 1, ckColour = 2, ckList = 3, ckReadOnly = 4, ckTextButton = 5, ckButton = 6 };

    // How a data cell is drawn; colours 0xBBGGRR. Filled with the grid's defaults before
    // OnGetDrawParams is asked. The current cell is drawn in the selection colours afterwards
    // while UseSelColor is on.
    struct DrawParams {
        std::uint32_t background = 0xFFFFFF;
        std::uint32_t fontColor = 0;
        bool bold = false;
    };

    using CellPropsEvent = std::function<void(TMyGrid& grid, int column, int row, int& kind)>;
    using PopupStringsEvent = std::function<void(TMyGrid& grid, int column, QStringList& list, int row)>;
    using DrawParamsEvent = std::function<void(TMyGrid& grid, int column, int row, DrawParams& params)>;
    using AlignmentEvent = std::function<void(TMyGrid& grid, int column, int row, Qt::Alignment& alignment)>;

    explicit TMyGrid(QWidget* parent = nullptr);
    ~TMyGrid() override;

    using QTableView::edit;  // edit(index) opens the editor only where the cell's kind allows it

    // Counts with the fixed row and column: setRowCount(n + 1) gives n data rows. At least one
    // row (the top row) and at least fixedCols() columns.
    void setColCount(int count);
    int colCount() const;
    void setRowCount(int count);
    int rowCount() const;
    // 0 or 1. Texts move with the column: a column that becomes fixed keeps them.
    void setFixedCols(int count);
    int fixedCols() const { return fixedCols_; }

    // Empty outside the grid. Row 0 is the top strings. Writing raises no event.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    // Captions of the fixed top row, one per column; missing ones are empty.
    void setTopStrings(const QStringList& captions);
    QStringList topStrings() const { return topStrings_; }

    void setColWidth(int column, int width);
    int colWidth(int column) const;
    // Used while AutoRowHeight is off.
    void setDefaultRowHeight(int height);
    int defaultRowHeight() const;

    // The current cell, -1 when there is none. A fixed cell never becomes current; in the
    // name/value editor neither does column 0.
    int currentColumn() const;
    int currentRow() const;
    void setCurrentCell(int column, int row);
    // The kind asked when the current cell last changed.
    int currentKind() const { return kind_; }

    // Top row and fixed column; centre by default.
    void setFixedAlignment(Qt::Alignment alignment);
    Qt::Alignment fixedAlignment() const { return fixedAlignment_; }
    // Data cells, unless OnGetAlignment says otherwise; left by default.
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return alignment_; }
    // On: data cells are drawn with a blank before and after their text.
    void setAddCharasters(bool on);
    bool addCharasters() const { return addCharasters_; }
    // On (default): the row height is the font's text height and 4 pixels, following the font.
    void setAutoRowHeight(bool on);
    bool autoRowHeight() const { return autoRowHeight_; }
    // On (default): the current cell is drawn in the selection colours; off: in its own colours
    // with a focus frame.
    void setUseSelColor(bool on);
    bool useSelColor() const { return useSelColor_; }
    // The name/value editor: column 0 holds the names and is never current (a click there moves
    // to column 1 of its row); a value whose name is marked read-only is read-only whatever
    // OnGetCellProps says.
    void setPropEditorMode(bool on);
    bool propEditorMode() const { return propEditorMode_; }
    void setNameReadOnly(int row, bool readOnly);
    bool nameReadOnly(int row) const;

    void setOnGetCellProps(CellPropsEvent handler);
    void setOnGetPopupStrings(PopupStringsEvent handler);
    void setOnGetDrawParams(DrawParamsEvent handler);
    void setOnGetAlignment(AlignmentEvent handler);

    // Writes what is being typed into the current cell and closes the editor (raising OnChange
    // when the text changed); nothing when no cell is being edited.
    void commitEdit();
    bool editing() const { return state() == EditingState; }

    // The pieces a window's tests reach for: the button of the current cell, the list and the
    // colour pop-up (null until first opened).
    QToolButton* cellButton() const { return button_; }
    MyGridPopupList* popupList() const { return list_; }
    TMyGridColorForm* colorForm() const { return colourForm_; }

signals:
    // A cell was changed by the operator: typed and entered, chosen from the list or the colour
    // pop-up. Not raised by setCell.
    void OnChange(int column, int row);
    // The button of a kind 5 or 6 cell was pressed.
    void OnBtnClick(int column, int row);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MyGridCellDelegate;

    int gridColumn(const QModelIndex& index) const { return index.column() + fixedCols_; }
    int gridRow(const QModelIndex& index) const { return index.row() + 1; }
    QModelIndex modelIndex(int column, int row) const;

    // The owner's handlers get the grid itself, so asking is not const.
    int askKind(int column, int row);
    int kindAt(const QModelIndex& index);
    DrawParams drawParamsAt(const QModelIndex& index);
    Qt::Alignment alignmentAt(const QModelIndex& index);
    void updateCurrentKind();
    void cellEdited(const QModelIndex& index);
    void editorOpened(MyGridInplaceEdit* editor);
    int buttonWidth() const;

    void placeButton();
    void pressButton();
    void openList(const QModelIndex& index);
    void openColourForm(const QModelIndex& index);
    void listChosen(const QString& item);
    void colourChosen(std::uint32_t colour);
    QRect globalCellRect(const QModelIndex& index) const;

    void refreshHeaders();
    void applyRowHeight();
    void paintCorner(QWidget& corner);

    QStandardItemModel* cells_;
    QToolButton* button_;
    QWidget* corner_ = nullptr;
    MyGridPopupList* list_ = nullptr;
    TMyGridColorForm* colourForm_ = nullptr;
    QPointer<MyGridInplaceEdit> editor_;
    QPersistentModelIndex target_;  // the cell the open list or colour pop-up writes

    QStringList topStrings_;
    int fixedCols_ = 0;
    int kind_ = ckText;
    int defaultRowHeight_ = 24;
    int fixedColumnWidth_ = 64;
    Qt::Alignment fixedAlignment_ = Qt::AlignHCenter;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool addCharasters_ = false;
    bool autoRowHeight_ = true;
    bool useSelColor_ = true;
    bool propEditorMode_ = false;

    CellPropsEvent onGetCellProps_;
    PopupStringsEvent onGetPopupStrings_;
    DrawParamsEvent onGetDrawParams_;
    AlignmentEvent onGetAlignment_;
};
