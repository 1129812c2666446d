#include "widgets/Mygrid.h"

#include "library/Colortext.h"
#include "library/Mygridrules.h"
#include "widgets/Mygridcelldelegate.h"
#include "widgets/Mygridcolorform.h"
#include "widgets/Mygridinplaceedit.h"
#include "widgets/Mygridpopuplist.h"
#include "widgets/Qtcolour.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int readOnlyNameRole = Qt::UserRole + 1;
constexpr int defaultColumnWidth = 64;
constexpr int defaultCount = 5;
constexpr int rowPadding = 4;

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TMyGrid::TMyGrid(QWidget* parent)
    : QTableView(parent), cells_(new QStandardItemModel(this)), button_(new QToolButton(viewport()))
{
    setModel(cells_);
    setItemDelegate(new MyGridCellDelegate(*this));
    setSelectionMode(NoSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setDefaultAlignment(fixedAlignment_ | Qt::AlignVCenter);
        header->setTextElideMode(Qt::ElideNone);
    }
    horizontalHeader()->setDefaultSectionSize(defaultColumnWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setFixedWidth(fixedColumnWidth_);
    verticalHeader()->hide();

    button_->setObjectName(QStringLiteral("MyGridCellButton"));
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->hide();
    connect(button_, &QToolButton::clicked, this, &TMyGrid::pressButton);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TMyGrid::placeButton);

    // Qt's corner button above the fixed column carries the first top string.
    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_)
        corner_->installEventFilter(this);
    setCornerButtonEnabled(false);

    applyRowHeight();
    setColCount(defaultCount);
    setRowCount(defaultCount);
}

TMyGrid::~TMyGrid() = default;

void TMyGrid::setColCount(int count)
{
    cells_->setColumnCount(std::max(count, fixedCols_) - fixedCols_);
    refreshHeaders();
}

int TMyGrid::colCount() const
{
    return cells_->columnCount() + fixedCols_;
}

void TMyGrid::setRowCount(int count)
{
    const int old = cells_->rowCount();
    cells_->setRowCount(std::max(count, 1) - 1);
    // Rows without a header item would be numbered by the model.
    for (int row = old; row < cells_->rowCount(); ++row)
        cells_->setVerticalHeaderItem(row, new QStandardItem());
}

int TMyGrid::rowCount() const
{
    return cells_->rowCount() + 1;
}

void TMyGrid::setFixedCols(int count)
{
    count = std::clamp(count, 0, 1);
    if (count == fixedCols_)
        return;
    commitEdit();
    const int rows = cells_->rowCount();
    if (count == 1) {
        if (cells_->columnCount() > 0) {
            for (int row = 0; row < rows; ++row) {
                const QModelIndex index = cells_->index(row, 0);
                auto* header = new QStandardItem(index.data().toString());
                header->setData(index.data(readOnlyNameRole), readOnlyNameRole);
                cells_->setVerticalHeaderItem(row, header);
            }
            cells_->removeColumn(0);
        }
    } else {
        cells_->insertColumn(0);
        for (int row = 0; row < rows; ++row) {
            QStandardItem* header = cells_->verticalHeaderItem(row);
            auto* item = new QStandardItem(header ? header->text() : QString());
            if (header)
                item->setData(header->data(readOnlyNameRole), readOnlyNameRole);
            cells_->setItem(row, 0, item);
            cells_->setVerticalHeaderItem(row, new QStandardItem());
        }
    }
    fixedCols_ = count;
    verticalHeader()->setVisible(fixedCols_ == 1);
    refreshHeaders();
}

QModelIndex TMyGrid::modelIndex(int column, int row) const
{
    return cells_->index(row - 1, column - fixedCols_);
}

QString TMyGrid::cell(int column, int row) const
{
    if (column < 0 || column >= colCount() || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return topStrings_.value(column);
    if (column < fixedCols_)
        return cells_->headerData(row - 1, Qt::Vertical).toString();
    return modelIndex(column, row).data().toString();
}

void TMyGrid::setCell(int column, int row, const QString& text)
{
    if (column < 0 || column >= colCount() || row < 0 || row >= rowCount())
        return;
    if (row == 0) {
        while (topStrings_.size() <= column)
            topStrings_.append(QString());
        topStrings_[column] = text;
        refreshHeaders();
    } else if (column < fixedCols_) {
        cells_->setHeaderData(row - 1, Qt::Vertical, text);
    } else {
        cells_->setData(modelIndex(column, row), text);
    }
}

void TMyGrid::setTopStrings(const QStringList& captions)
{
    topStrings_ = captions;
    refreshHeaders();
}

void TMyGrid::refreshHeaders()
{
    for (int column = 0; column < cells_->columnCount(); ++column)
        cells_->setHeaderData(column, Qt::Horizontal, topStrings_.value(column + fixedCols_));
    if (corner_)
        corner_->update();
}

void TMyGrid::setColWidth(int column, int width)
{
    if (column < 0 || column >= colCount())
        return;
    if (column < fixedCols_) {
        fixedColumnWidth_ = width;
        verticalHeader()->setFixedWidth(width);
    } else {
        setColumnWidth(column - fixedCols_, width);
    }
}

int TMyGrid::colWidth(int column) const
{
    if (column < fixedCols_)
        return fixedColumnWidth_;
    return columnWidth(column - fixedCols_);
}

void TMyGrid::setDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(height, 1);
    applyRowHeight();
}

int TMyGrid::defaultRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void TMyGrid::applyRowHeight()
{
    verticalHeader()->setDefaultSectionSize(autoRowHeight_ ? fontMetrics().height() + rowPadding : defaultRowHeight_);
}

int TMyGrid::currentColumn() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? gridColumn(index) : -1;
}

int TMyGrid::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? gridRow(index) : -1;
}

void TMyGrid::setCurrentCell(int column, int row)
{
    if (propEditorMode_ && column == 0)
        column = 1;
    const QModelIndex index = modelIndex(column, row);
    if (column >= fixedCols_ && index.isValid())
        setCurrentIndex(index);
}

void TMyGrid::setFixedAlignment(Qt::Alignment alignment)
{
    fixedAlignment_ = alignment & Qt::AlignHorizontal_Mask;
    horizontalHeader()->setDefaultAlignment(fixedAlignment_ | Qt::AlignVCenter);
    verticalHeader()->setDefaultAlignment(fixedAlignment_ | Qt::AlignVCenter);
    if (corner_)
        corner_->update();
}

void TMyGrid::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    viewport()->update();
}

void TMyGrid::setAddCharasters(bool on)
{
    addCharasters_ = on;
    viewport()->update();
}

void TMyGrid::setAutoRowHeight(bool on)
{
    autoRowHeight_ = on;
    applyRowHeight();
}

void TMyGrid::setUseSelColor(bool on)
{
    useSelColor_ = on;
    viewport()->update();
}

void TMyGrid::setPropEditorMode(bool on)
{
    propEditorMode_ = on;
    if (on && currentColumn() == 0)
        setCurrentCell(1, currentRow());
    updateCurrentKind();
    viewport()->update();
}

void TMyGrid::setNameReadOnly(int row, bool readOnly)
{
    if (row < 1 || row >= rowCount() || colCount() == 0)
        return;
    if (fixedCols_ == 1)
        cells_->setHeaderData(row - 1, Qt::Vertical, readOnly, readOnlyNameRole);
    else
        cells_->setData(cells_->index(row - 1, 0), readOnly, readOnlyNameRole);
    updateCurrentKind();
}

bool TMyGrid::nameReadOnly(int row) const
{
    if (row < 1 || row >= rowCount() || colCount() == 0)
        return false;
    if (fixedCols_ == 1)
        return cells_->headerData(row - 1, Qt::Vertical, readOnlyNameRole).toBool();
    return cells_->index(row - 1, 0).data(readOnlyNameRole).toBool();
}

void TMyGrid::setOnGetCellProps(CellPropsEvent handler)
{
    onGetCellProps_ = std::move(handler);
    updateCurrentKind();
    viewport()->update();
}

void TMyGrid::setOnGetPopupStrings(PopupStringsEvent handler)
{
    onGetPopupStrings_ = std::move(handler);
}

void TMyGrid::setOnGetDrawParams(DrawParamsEvent handler)
{
    onGetDrawParams_ = std::move(handler);
    viewport()->update();
}

void TMyGrid::setOnGetAlignment(AlignmentEvent handler)
{
    onGetAlignment_ = std::move(handler);
    viewport()->update();
}

int TMyGrid::askKind(int column, int row)
{
    int kind = ckText;
    if (onGetCellProps_)
        onGetCellProps_(*this, column, row, kind);
    if (propEditorMode_ && column > 0)
        kind = lib::gridKindOfValue(kind, nameReadOnly(row));
    return kind;
}

int TMyGrid::kindAt(const QModelIndex& index)
{
    return index == currentIndex() ? kind_ : askKind(gridColumn(index), gridRow(index));
}

void TMyGrid::updateCurrentKind()
{
    const QModelIndex index = currentIndex();
    kind_ = index.isValid() ? askKind(gridColumn(index), gridRow(index)) : ckText;
    placeButton();
}

TMyGrid::DrawParams TMyGrid::drawParamsAt(const QModelIndex& index)
{
    DrawParams params{bgrColour(palette().color(QPalette::Base)), bgrColour(palette().color(QPalette::Text)), false};
    if (onGetDrawParams_)
        onGetDrawParams_(*this, gridColumn(index), gridRow(index), params);
    return params;
}

Qt::Alignment TMyGrid::alignmentAt(const QModelIndex& index)
{
    Qt::Alignment alignment = alignment_;
    if (onGetAlignment_)
        onGetAlignment_(*this, gridColumn(index), gridRow(index), alignment);
    return alignment & Qt::AlignHorizontal_Mask;
}

void TMyGrid::commitEdit()
{
    if (!editor_)
        return;
    MyGridInplaceEdit* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TMyGrid::cellEdited(const QModelIndex& index)
{
    emit OnChange(gridColumn(index), gridRow(index));
}

void TMyGrid::editorOpened(MyGridInplaceEdit* editor)
{
    editor_ = editor;
}

int TMyGrid::buttonWidth() const
{
    return std::max(fontMetrics().horizontalAdvance(QStringLiteral("...")) + 8, 16);
}

// Kinds that are not typed into are never edited, whatever asked for the editor.
bool TMyGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (index.isValid() && (!lib::gridCellKind(kindAt(index)).textEditor || (propEditorMode_ && gridColumn(index) == 0)))
        return false;
    return QTableView::edit(index, trigger, event);
}

// Typing into a cell that is not typed into must not jump to a cell starting with that letter.
void TMyGrid::keyboardSearch(const QString&) {}

QModelIndex TMyGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
    if (propEditorMode_ && next.isValid() && gridColumn(next) == 0 && cells_->columnCount() > 1)
        return next.siblingAtColumn(1);
    return next;
}

// Alt+Down presses the cell's button, as on a drop-down list.
void TMyGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier) && !button_->isHidden()) {
        pressButton();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TMyGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (propEditorMode_ && index.isValid() && gridColumn(index) == 0 && cells_->columnCount() > 1) {
        setFocus(Qt::MouseFocusReason);
        setCurrentCell(1, gridRow(index));
        return;
    }
    QTableView::mousePressEvent(event);
}

void TMyGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (propEditorMode_ && current.isValid() && gridColumn(current) == 0 && cells_->columnCount() > 1) {
        // Names are never current: this change is followed at once by the one to the value.
        selectionModel()->setCurrentIndex(current.siblingAtColumn(1), QItemSelectionModel::NoUpdate);
        return;
    }
    updateCurrentKind();
    viewport()->update();
}

void TMyGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == editor_)
        editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
}

void TMyGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeButton();
}

void TMyGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placeButton();
}

void TMyGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyRowHeight();
        placeButton();
    }
}

bool TMyGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner(*corner_);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TMyGrid::paintCorner(QWidget& corner)
{
    // Drawn as the grid's own header: the corner button itself is disabled (no select-all).
    QStyleOptionHeader option;
    option.initFrom(horizontalHeader());
    option.state |= QStyle::State_Raised;
    option.rect = corner.rect();
    option.text = topStrings_.value(0);
    option.textAlignment = fixedAlignment_ | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    QPainter painter(&corner);
    style()->drawControl(QStyle::CE_Header, &option, &painter, &corner);
}

void TMyGrid::placeButton()
{
    const QModelIndex index = currentIndex();
    const lib::GridCellKind& rules = lib::gridCellKind(kind_);
    if (!index.isValid() || rules.button == lib::GridButtonAction::none) {
        button_->hide();
        return;
    }
    const QRect cell = visualRect(index);
    const int width = std::min(buttonWidth(), cell.width());
    button_->setText(utf8(rules.caption));
    button_->setToolTip(utf8(rules.hint));
    button_->setGeometry(cell.right() + 1 - width, cell.top(), width, cell.height());
    button_->show();
    button_->raise();
}

void TMyGrid::pressButton()
{
    commitEdit();
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    switch (lib::gridCellKind(kind_).button) {
    case lib::GridButtonAction::list:
        openList(index);
        break;
    case lib::GridButtonAction::colour:
        openColourForm(index);
        break;
    case lib::GridButtonAction::value:
        emit OnBtnClick(gridColumn(index), gridRow(index));
        break;
    case lib::GridButtonAction::none:
        break;
    }
}

QRect TMyGrid::globalCellRect(const QModelIndex& index) const
{
    const QRect cell = visualRect(index);
    return {viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

void TMyGrid::openList(const QModelIndex& index)
{
    QStringList items;
    if (onGetPopupStrings_)
        onGetPopupStrings_(*this, gridColumn(index), items, gridRow(index));
    if (items.isEmpty())
        return;
    if (!list_) {
        list_ = new MyGridPopupList(this);
        connect(list_, &MyGridPopupList::chosen, this, &TMyGrid::listChosen);
    }
    target_ = index;
    list_->setFont(font());
    list_->popUp(items, index.data().toString(), globalCellRect(index));
}

void TMyGrid::openColourForm(const QModelIndex& index)
{
    if (!colourForm_) {
        colourForm_ = new TMyGridColorForm(this);
        connect(colourForm_, &TMyGridColorForm::chosen, this, &TMyGrid::colourChosen);
    }
    target_ = index;
    colourForm_->popUp(lib::colourFromText(index.data().toString().toStdString()), globalCellRect(index).topLeft());
}

void TMyGrid::listChosen(const QString& item)
{
    if (!target_.isValid())
        return;
    const QModelIndex index = target_;
    cells_->setData(index, item);
    emit OnChange(gridColumn(index), gridRow(index));
}

void TMyGrid::colourChosen(std::uint32_t colour)
{
    if (!target_.isValid())
        return;
    const QModelIndex index = target_;
    cells_->setData(index, QString::fromStdString(lib::colourToText(colour)));
    emit OnChange(gridColumn(index), gridRow(index));
}
