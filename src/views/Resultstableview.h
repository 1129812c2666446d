#pragma once

#include <QTableView>

class QColor;

// The grid of the results table. Its depth column can be held in place while the other columns
// scroll: a second view of the same model, showing only column 0, lies over it and shares its
// selection and vertical scrolling. Column colours and grid lines are drawn once a paint, not
// once a cell.
class ResultsTableView : public QTableView {
public:
    explicit ResultsTableView(QWidget* parent = nullptr);

    void setTableModel(QAbstractItemModel* model);
    // Column 0 held in place; off, it scrolls with the rest.
    void setFrozen(bool on);
    QTableView* frozenColumn() const { return frozen_; }
    void setRowHeight(int height);
    // The fixed cells: the header row and the frozen column.
    void setFixedColour(const QColor& colour);

    bool editing() const { return state() == EditingState; }
    // What was typed and not entered is dropped.
    void closeEditing();

    // A cell scrolled into view must not end up under the frozen column, and showing a row of the
    // frozen column itself only scrolls vertically.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    void fillColumns(const QRect& dirty);
    void hideAllButFirst();
    void placeFrozen();

    QTableView* frozen_;
};
