#include "views/Resultstablepage.h"

#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "views/Resultstablemodel.h"
#include "views/Resultstableview.h"
#include "views/Windowstyle.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int defaultTableFontSize = 8;

// "имя_шрифта" when it is installed (whatever its case), else the station's own font.
QString tableFamily(const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    for (const QString& family : QFontDatabase::families())
        if (family.compare(wanted, Qt::CaseInsensitive) == 0)
            return family;
    return WindowStyle::fontFamily();
}

QToolButton* addButton(QLayout& row, QWidget& parent, const char* name, const QString& text)
{
    auto* button = new QToolButton(&parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    row.addWidget(button);
    return button;
}

} // namespace

ResultsTablePage::ResultsTablePage(TextGrid& grid, const Configuration& configuration, QWidget* parent)
    : QWidget(parent), grid_(grid), configuration_(configuration)
{
    table_ = new ResultsTableView(this);
    table_->setObjectName("resultsTable");
    model_ = new ResultsTableModel(grid_, this);
    // Measured before the rows come: Qt's header then makes every row that high at once, where
    // changing the height later resizes each of the rows.
    applyFont();
    table_->setTableModel(model_);
    applySizes();
    table_->setFixedColour(WindowStyle::darker(palette().color(QPalette::Window)));

    connect(model_, &QAbstractItemModel::modelReset, this, &ResultsTablePage::applySizes);
    connect(model_, &ResultsTableModel::editRefused, this,
            [this](const QModelIndex&, const QString& typed) { showRefusal(typed); });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ResultsTablePage::rememberCurrentRow);
    // Enter and Escape close the editor; in edit mode it is always shown.
    connect(table_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache || hint == QAbstractItemDelegate::RevertModelCache)
                    QMetaObject::invokeMethod(this, &ResultsTablePage::openEditor, Qt::QueuedConnection);
            });

    buildMenu();
    // The table ignores the context menu; it reaches the page, which offers the table menu.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { menu_->popup(mapToGlobal(position)); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolRow());
    column->addWidget(table_, 1);
    WindowStyle::prepare(*this);

    redrawn_ = grid_.redrawn.connect([this] { refresh(); });
    cellChanged_ = grid_.cellChanged.connect([this](int, int) { refusal_->hide(); });
    refresh();
}

// The grid outlives the page; it must not keep measuring with this page's font. The views, about
// to go, need not follow.
ResultsTablePage::~ResultsTablePage()
{
    redrawn_.disconnect();
    model_->blockSignals(true);
    grid_.setTextMetrics({});
}

QWidget* ResultsTablePage::buildToolRow()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(4);
    editButton_ = addButton(*row, *bar, "tableMenuButton", QStringLiteral("Редакт. >>"));
    reverse_ = addButton(*row, *bar, "reverseButton", QStringLiteral("Реверс"));
    reverse_->setCheckable(true);

    editHint_ = new QLabel(QStringLiteral("После изменения значения следует нажимать клавишу \"Enter\""), bar);
    editHint_->setObjectName("editHint");
    WindowStyle::setTag(*editHint_, 1);
    refusal_ = new QLabel(bar);
    refusal_->setObjectName("refusal");
    WindowStyle::setTag(*refusal_, 2);
    refusal_->hide();
    row->addSpacing(8);
    row->addWidget(editHint_);
    row->addSpacing(8);
    row->addWidget(refusal_);
    row->addStretch(1);

    connect(editButton_, &QAbstractButton::clicked, this, &ResultsTablePage::showTableMenu);
    connect(reverse_, &QAbstractButton::clicked, this, [this](bool on) { grid_.setReverseMode(on); });
    return bar;
}

void ResultsTablePage::buildMenu()
{
    menu_ = new QMenu(this);
    menu_->setObjectName("tableMenu");
    connect(menu_->addAction(QStringLiteral("Очистить всю таблицу...")), &QAction::triggered, this,
            &ResultsTablePage::clearTable);
    connect(menu_->addAction(QStringLiteral("Удалить выделенные строки...")), &QAction::triggered, this,
            &ResultsTablePage::changeSelectedRows);
    printAction_ = menu_->addAction(QStringLiteral("Распечатать..."));
    printAction_->setEnabled(false);
    connect(printAction_, &QAction::triggered, this, &ResultsTablePage::printRequested);
    menu_->addSeparator();
    editModeAction_ = menu_->addAction(QString());
    connect(editModeAction_, &QAction::triggered, this, &ResultsTablePage::toggleEditMode);
}

void ResultsTablePage::setClearConfirmation(ClearConfirmation confirm)
{
    confirmClear_ = std::move(confirm);
}

void ResultsTablePage::setRowsChoice(RowsChoice choose)
{
    chooseRowsAction_ = std::move(choose);
}

void ResultsTablePage::applyFont()
{
    const int size = configuration_.tableFontSize > 0 ? configuration_.tableFontSize : defaultTableFontSize;
    const QFont font(tableFamily(configuration_.fontName), size);
    table_->setFont(font);
    const QFontMetrics metrics(font);
    grid_.setTextMetrics({[metrics](std::string_view text) {
                              return metrics.horizontalAdvance(
                                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
                          },
                          metrics.height()});
    applySizes();
}

void ResultsTablePage::applySizes()
{
    table_->setRowHeight(grid_.rowHeight());
    const auto& columns = grid_.columns();
    for (std::size_t column = 0; column < columns.size(); ++column)
        table_->setColumnWidth(static_cast<int>(column), columns[column].width);
}

// Everything the grid's state decides: the mode, the column order button, the selected row.
void ResultsTablePage::refresh()
{
    applyEditMode();
    const QSignalBlocker quiet(reverse_);
    reverse_->setChecked(grid_.reverseMode());
    showSelectedRow();
}

void ResultsTablePage::applyEditMode()
{
    const bool editing = grid_.editMode();
    editModeAction_->setText(editing ? QStringLiteral("ОТКЛЮЧИТЬ режим редактирования")
                                     : QStringLiteral("ВКЛЮЧИТЬ режим редактирования"));
    if (shownEditMode_ == editing)
        return;
    shownEditMode_ = editing;
    if (!editing)
        table_->closeEditing();
    table_->setSelectionBehavior(editing ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    // The row chosen before stays current, but only its cell is selected now: no whole row.
    if (editing && table_->currentIndex().isValid())
        table_->selectionModel()->select(table_->currentIndex(), QItemSelectionModel::ClearAndSelect);
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->setEditTriggers(editing ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    table_->setFrozen(!editing);
    editHint_->setVisible(editing);
    refusal_->hide();
}

void ResultsTablePage::showSelectedRow()
{
    const int row = grid_.selectedRow();
    if (row < 0 || row >= model_->recordRows()) {
        table_->clearSelection();
        return;
    }
    const QModelIndex current = table_->currentIndex();
    const QModelIndex target = model_->index(row, current.isValid() ? current.column() : 0);
    QItemSelectionModel& selection = *table_->selectionModel();
    const bool editing = grid_.editMode();
    // A range of rows the operator chose stays while its current row does.
    const bool shown = editing ? selection.isSelected(target) : selection.isRowSelected(row);
    if (target != current || !shown)
        selection.setCurrentIndex(target, QItemSelectionModel::ClearAndSelect
                                              | (editing ? QItemSelectionModel::NoUpdate : QItemSelectionModel::Rows));
    table_->scrollTo(target);
    openEditor();
}

void ResultsTablePage::openEditor()
{
    const QModelIndex current = table_->currentIndex();
    if (grid_.editMode() && current.isValid() && !table_->editing())
        table_->edit(current);
}

void ResultsTablePage::rememberCurrentRow(const QModelIndex& current)
{
    if (current.isValid() && current.row() < model_->recordRows())
        grid_.selectRow(current.row());
}

void ResultsTablePage::showRefusal(const QString& typed)
{
    refusal_->setText(QStringLiteral("\"%1\" — не число, значение не изменено").arg(typed));
    refusal_->show();
}

void ResultsTablePage::showTableMenu()
{
    menu_->popup(editButton_->mapToGlobal(QPoint(0, editButton_->height())));
}

void ResultsTablePage::toggleEditMode()
{
    grid_.setEditMode(!grid_.editMode());
}

void ResultsTablePage::clearTable()
{
    if (!confirmClear_ || !confirmClear_())
        return;
    grid_.setEditMode(false);
    if (!grid_.clearAll())
        fail(QStringLiteral("Таблицу очистить не удалось: записи сохранены."));
}

// From the first to the last selected row, as the operator sees them; the current row when
// nothing is selected.
std::optional<std::pair<int, int>> ResultsTablePage::selectedRows() const
{
    const QItemSelection selection = table_->selectionModel()->selection();
    int first = model_->recordRows();
    int last = -1;
    for (const QItemSelectionRange& range : selection) {
        first = std::min(first, range.top());
        last = std::max(last, range.bottom());
    }
    if (last < 0 && table_->currentIndex().isValid())
        first = last = table_->currentIndex().row();
    last = std::min(last, model_->recordRows() - 1);
    if (last < first)
        return std::nullopt;
    return std::pair{first, last};
}

void ResultsTablePage::changeSelectedRows()
{
    const auto rows = selectedRows();
    if (!rows || !chooseRowsAction_)
        return;
    const auto action = chooseRowsAction_();
    if (!action)
        return;
    if (*action == RowsAction::fillWithZeros)
        grid_.zeroRows(rows->first, rows->second);
    else if (!grid_.deleteRows(rows->first, rows->second))
        fail(QStringLiteral("Строки удалить не удалось: записи сохранены."));
}

void ResultsTablePage::fail(const QString& text)
{
    QMessageBox::critical(this, QStringLiteral("  ОШИБКА"), text);
}

QTableView* ResultsTablePage::table() const
{
    return table_;
}

QMenu* ResultsTablePage::tableMenu() const
{
    return menu_;
}

QAction* ResultsTablePage::printAction() const
{
    return printAction_;
}

GridPrintLayout::Table ResultsTablePage::printTable() const
{
    const int columns = grid_.columnCount();
    const int records = grid_.rowCount();
    GridPrintLayout::Table copy(columns, 1, 1);
    // About a dozen characters a cell.
    const auto rows = static_cast<std::size_t>(records) + 2;
    copy.reserve(rows, rows * static_cast<std::size_t>(columns) * 12);
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column)
        cells[static_cast<std::size_t>(column)] = grid_.headerText(column);
    copy.addRow(cells);
    for (int record = 0; record < records; ++record) {
        for (int column = 0; column < columns; ++column)
            cells[static_cast<std::size_t>(column)] = grid_.cellText(column, record);
        copy.addRow(cells);
    }
    if (records == 0)
        copy.addRow({});
    copy.selection = printSelection();
    return copy;
}

// In the printed table's cells: the header is its row 0. The cells the operator selected, the
// current one when none is; the first cell when there is neither.
GridPrintLayout::Selection ResultsTablePage::printSelection() const
{
    const int records = model_->recordRows();
    QItemSelection selection = table_->selectionModel()->selection();
    if (selection.isEmpty() && table_->currentIndex().isValid())
        selection.select(table_->currentIndex(), table_->currentIndex());
    GridPrintLayout::Selection cells{model_->columnCount(), records, -1, -1};
    for (const QItemSelectionRange& range : selection) {
        cells.left = std::min(cells.left, range.left());
        cells.right = std::max(cells.right, range.right());
        cells.top = std::min(cells.top, range.top());
        cells.bottom = std::max(cells.bottom, std::min(range.bottom(), records - 1));
    }
    if (cells.right < cells.left || cells.bottom < cells.top)
        return {1, 1, 1, 1};
    return {cells.left, cells.top + 1, cells.right, cells.bottom + 1};
}

QAbstractButton* ResultsTablePage::reverseButton() const
{
    return reverse_;
}

QAbstractButton* ResultsTablePage::editButton() const
{
    return editButton_;
}

QLabel* ResultsTablePage::editHint() const
{
    return editHint_;
}

QLabel* ResultsTablePage::refusal() const
{
    return refusal_;
}
