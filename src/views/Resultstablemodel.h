#pragma once

#include <QAbstractTableModel>

#include <boost/signals2/connection.hpp>

#include <array>

class TextGrid;

// The results table as rows and columns for a table view. Nothing is copied: a cell is read from
// the mapped file when the view asks for it, so a well of 100 000 analyses costs what 10 do.
//
// Rows are the records. With no records there is one empty row that cannot be selected or
// edited, so that the table never looks like a bare header.
class ResultsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultsTableModel(TextGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes the typed number into the file; a text that is no number is refused (editRefused).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The records shown, as the view knows them (the grid may already count more).
    int recordRows() const { return records_; }

signals:
    void editRefused(const QModelIndex& index, const QString& typed);

private:
    void append(int firstRow, int count);
    void replace();
    // All columns, or only the given one.
    void changeRows(int firstRow, int count, int column = -1);
    bool isRecord(const QModelIndex& index) const;

    TextGrid& grid_;
    int records_ = 0;
    int columns_ = 0;
    std::array<boost::signals2::scoped_connection, 4> connections_;
};
