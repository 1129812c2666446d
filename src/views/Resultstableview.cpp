#include "views/Resultstableview.h"

#include "views/Resultscelldelegate.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// Where the rows end in the viewport; below them the table shows its own background.
int rowsBottom(const QTableView& view)
{
    return std::clamp(view.verticalHeader()->length() - view.verticalScrollBar()->value(), 0,
                      view.viewport()->height());
}

// Qt's own grid draws its lines as lines, which its raster engine hands to worker threads one long
// line at a time; as thin rectangles they are plain fills.
void drawGrid(QTableView& view, const QRect& dirty)
{
    const int bottom = rowsBottom(view);
    const int right =
        std::min(view.horizontalHeader()->length() - view.horizontalScrollBar()->value(), view.viewport()->width());
    if (!view.model() || bottom == 0 || right <= 0)
        return;
    QStyleOptionViewItem option;
    option.initFrom(&view);
    const QColor colour = QColor::fromRgba(
        static_cast<QRgb>(view.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &view)));
    QPainter painter(view.viewport());
    const int firstColumn = std::max(view.columnAt(dirty.left()), 0);
    const int lastColumn = view.columnAt(dirty.right()) < 0 ? view.model()->columnCount() - 1 : view.columnAt(dirty.right());
    for (int column = firstColumn; column <= lastColumn; ++column)
        if (!view.isColumnHidden(column))
            painter.fillRect(view.columnViewportPosition(column) + view.columnWidth(column) - 1, 0, 1, bottom, colour);
    const int firstRow = std::max(view.rowAt(dirty.top()), 0);
    const int lastRow = view.rowAt(std::min(dirty.bottom(), bottom - 1));
    for (int row = firstRow; row <= lastRow; ++row)
        painter.fillRect(0, view.rowViewportPosition(row) + view.rowHeight(row) - 1, right, 1, colour);
}

// The depth column laid over the table, with the table's grid.
class FrozenColumnView : public QTableView {
public:
    explicit FrozenColumnView(QWidget* parent) : QTableView(parent)
    {
        setShowGrid(false);
        auto* cells = new ResultsCellDelegate(this);
        cells->setTableDrawn(true);
        setItemDelegate(cells);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTableView::paintEvent(event);
        drawGrid(*this, event->rect());
    }
};

} // namespace

ResultsTableView::ResultsTableView(QWidget* parent) : QTableView(parent), frozen_(new FrozenColumnView(this))
{
    for (QTableView* view : {static_cast<QTableView*>(this), frozen_}) {
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setMinimumSectionSize(1);
        view->horizontalHeader()->setSectionsClickable(false);
        view->horizontalHeader()->setHighlightSections(false);
        view->horizontalHeader()->setTextElideMode(Qt::ElideNone);
        view->setVerticalScrollMode(ScrollPerPixel);
        view->setWordWrap(false);
    }
    setHorizontalScrollMode(ScrollPerPixel);
    setShowGrid(false);  // drawGrid
    auto* cells = new ResultsCellDelegate(this);
    cells->setTableDrawn(true);
    setItemDelegate(cells);

    frozen_->setObjectName("frozenColumn");
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(NoEditTriggers);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    viewport()->stackUnder(frozen_);

    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(), &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 0) {
            frozen_->setColumnWidth(0, size);
            placeFrozen();
        }
    });
}

void ResultsTableView::setTableModel(QAbstractItemModel* model)
{
    setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    connect(model, &QAbstractItemModel::modelReset, this, &ResultsTableView::hideAllButFirst);
    hideAllButFirst();
}

void ResultsTableView::setFrozen(bool on)
{
    frozen_->setVisible(on);
    frozen_->setSelectionBehavior(selectionBehavior());
    frozen_->setSelectionMode(selectionMode());
    placeFrozen();
}

// Qt resizes and announces every row, also to the same height: a large table sets it only when
// it changes.
void ResultsTableView::setRowHeight(int height)
{
    for (QTableView* view : {static_cast<QTableView*>(this), frozen_})
        if (view->verticalHeader()->defaultSectionSize() != height)
            view->verticalHeader()->setDefaultSectionSize(height);
}

void ResultsTableView::setFixedColour(const QColor& colour)
{
    for (QHeaderView* header : {horizontalHeader(), frozen_->horizontalHeader()}) {
        QPalette palette = header->palette();
        palette.setColor(QPalette::Button, colour);
        palette.setColor(QPalette::Window, colour);
        header->setPalette(palette);
    }
    QPalette palette = frozen_->palette();
    palette.setColor(QPalette::Base, colour);
    frozen_->setPalette(palette);
}

void ResultsTableView::closeEditing()
{
    if (!editing())
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void ResultsTableView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int horizontal = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!frozen_->isVisible() || !index.isValid())
        return;
    if (index.column() == 0) {
        horizontalScrollBar()->setValue(horizontal);
        return;
    }
    const int hidden = columnWidth(0) - visualRect(index).left();
    if (hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

void ResultsTableView::paintEvent(QPaintEvent* event)
{
    fillColumns(event->rect());
    QTableView::paintEvent(event);
    drawGrid(*this, event->rect());
}

void ResultsTableView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeFrozen();
}

void ResultsTableView::updateGeometries()
{
    QTableView::updateGeometries();
    placeFrozen();
}

// A column has one colour in every row: one fill a column, where a fill a cell cost a tenth of a
// screenful's paint.
void ResultsTableView::fillColumns(const QRect& dirty)
{
    const int bottom = rowsBottom(*this);
    if (!model() || bottom == 0)
        return;
    QPainter painter(viewport());
    const int first = std::max(columnAt(dirty.left()), 0);
    const int last = columnAt(dirty.right()) < 0 ? model()->columnCount() - 1 : columnAt(dirty.right());
    for (int column = first; column <= last; ++column) {
        const QVariant background = model()->data(model()->index(0, column), Qt::BackgroundRole);
        if (background.isValid())
            painter.fillRect(QRect(columnViewportPosition(column), 0, columnWidth(column), bottom) & dirty,
                             background.value<QBrush>());
    }
}

void ResultsTableView::hideAllButFirst()
{
    for (int column = 1; column < model()->columnCount(); ++column)
        frozen_->setColumnHidden(column, true);
    frozen_->setColumnWidth(0, columnWidth(0));
}

// Down to the last row only, like the colours of the other columns.
void ResultsTableView::placeFrozen()
{
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setGeometry(viewport()->x(), horizontalHeader()->y(), columnWidth(0),
                         horizontalHeader()->height() + rowsBottom(*this));
}
