#pragma once

#include <QStyledItemDelegate>

class TMyGrid;

// Draws the data cells of a TMyGrid as its owner asks (colours, alignment, colour cells filled)
// and gives the text editor only to the kinds that are typed into.
class MyGridCellDelegate : public QStyledItemDelegate {
public:
    explicit MyGridCellDelegate(TMyGrid& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QRect textRect(const QRect& cell, const QModelIndex& index) const;
    void paintColour(QPainter& painter, const QRect& rect, const QModelIndex& index) const;
    void paintText(QPainter& painter, const QRect& rect, const QModelIndex& index, const QColor& colour, bool bold) const;

    TMyGrid& grid_;
};
