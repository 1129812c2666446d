#include "views/Resultstablemodel.h"

#include "results/Textgrid.h"
#include "views/Windowstyle.h"

#include <QBrush>

#include <algorithm>

ResultsTableModel::ResultsTableModel(TextGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), records_(grid.rowCount()), columns_(grid.columnCount()),
      connections_{grid.rowsAppended.connect([this](int first, int count) { append(first, count); }),
                   grid.rowsReplaced.connect([this] { replace(); }),
                   grid.rowsChanged.connect([this](int first, int count) { changeRows(first, count); }),
                   grid.cellChanged.connect([this](int column, int row) { changeRows(row, 1, column); })}
{
}

int ResultsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(records_, 1);
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

bool ResultsTableModel::isRecord(const QModelIndex& index) const
{
    return index.isValid() && index.row() < records_ && index.column() < columns_;
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const
{
    if (!isRecord(index))
        return {};
    switch (role) {
    // The blanks around a cell's text are its margins on paper; the view keeps margins of its own.
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(grid_.cellText(index.column(), index.row())).trimmed();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::BackgroundRole: {
        const auto& background = grid_.columns()[static_cast<std::size_t>(index.column())].background;
        return background ? QVariant(QBrush(WindowStyle::colour(*background))) : QVariant();
    }
    default:
        return {};
    }
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(grid_.headerText(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

// The depth and the values of a record can be edited; its time and the empty row cannot.
Qt::ItemFlags ResultsTableModel::flags(const QModelIndex& index) const
{
    if (!isRecord(index))
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int column = index.column();
    if (grid_.editMode() && (column == 0 || grid_.columns()[static_cast<std::size_t>(column)].slot >= 0))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ResultsTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !isRecord(index))
        return false;
    const QString typed = value.toString();
    const TextGrid::EditResult result = grid_.editCell(index.column(), index.row(), typed.toStdString());
    if (result == TextGrid::EditResult::notANumber)
        emit editRefused(index, typed);
    return result == TextGrid::EditResult::written;
}

// The first record takes the place of the empty row; later ones are inserted after the last.
void ResultsTableModel::append(int firstRow, int count)
{
    if (firstRow != records_ || count <= 0) {
        replace();
        return;
    }
    if (records_ == 0) {
        records_ = 1;
        changeRows(0, 1);
        ++firstRow;
        --count;
        if (count == 0)
            return;
    }
    beginInsertRows({}, firstRow, firstRow + count - 1);
    records_ += count;
    endInsertRows();
}

void ResultsTableModel::replace()
{
    beginResetModel();
    records_ = grid_.rowCount();
    columns_ = grid_.columnCount();
    endResetModel();
}

void ResultsTableModel::changeRows(int firstRow, int count, int column)
{
    const int lastRow = std::min(firstRow + count, records_) - 1;
    if (firstRow < 0 || lastRow < firstRow || column >= columns_)
        return;
    const int firstColumn = column < 0 ? 0 : column;
    const int lastColumn = column < 0 ? columns_ - 1 : column;
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
}
