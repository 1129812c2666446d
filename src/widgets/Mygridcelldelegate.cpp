#include "widgets/Mygridcelldelegate.h"

#include "library/Colortext.h"
#include "library/Mygridrules.h"
#include "widgets/Mygrid.h"
#include "widgets/Mygridinplaceedit.h"
#include "widgets/Qtcolour.h"

#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int textMargin = 2;
constexpr int colourInset = 2;

} // namespace

MyGridCellDelegate::MyGridCellDelegate(TMyGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void MyGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool current = index == grid_.currentIndex();
    const bool selectionColours = current && grid_.useSelColor();
    const TMyGrid::DrawParams params = grid_.drawParamsAt(index);
    const QColor background = selectionColours ? option.palette.color(QPalette::Highlight) : qtColour(params.background);
    const QColor text = selectionColours ? option.palette.color(QPalette::HighlightedText) : qtColour(params.fontColor);
    painter->fillRect(option.rect, background);
    if (grid_.kindAt(index) == TMyGrid::ckColour)
        paintColour(*painter, option.rect, index);
    else
        paintText(*painter, textRect(option.rect, index), index, text, params.bold);
    if (current && !grid_.useSelColor()) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = background;
        grid_.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, &grid_);
    }
}

// The current cell's button covers the right end of the cell: its text keeps clear of it.
QRect MyGridCellDelegate::textRect(const QRect& cell, const QModelIndex& index) const
{
    QRect rect = cell;
    if (index == grid_.currentIndex() && lib::gridCellKind(grid_.currentKind()).button != lib::GridButtonAction::none)
        rect.setRight(rect.right() - std::min(grid_.buttonWidth(), rect.width()));
    return rect;
}

void MyGridCellDelegate::paintColour(QPainter& painter, const QRect& rect, const QModelIndex& index) const
{
    const QRect swatch = rect.adjusted(colourInset, colourInset, -colourInset, -colourInset);
    if (swatch.isEmpty())
        return;
    painter.fillRect(swatch, qtColour(lib::colourFromText(index.data().toString().toStdString())));
    painter.save();
    painter.setPen(QColor(Qt::darkGray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.restore();
}

void MyGridCellDelegate::paintText(QPainter& painter, const QRect& rect, const QModelIndex& index, const QColor& colour,
                                   bool bold) const
{
    QString text = index.data().toString();
    if (text.isEmpty())
        return;
    if (grid_.addCharasters())
        text = QLatin1Char(' ') + text + QLatin1Char(' ');
    painter.save();
    QFont font = grid_.font();
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(colour);
    painter.setClipRect(rect);
    painter.drawText(rect.adjusted(textMargin, 0, -textMargin, 0), static_cast<int>(grid_.alignmentAt(index) | Qt::AlignVCenter),
                     text);
    painter.restore();
}

QWidget* MyGridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!lib::gridCellKind(grid_.kindAt(index)).textEditor)
        return nullptr;
    auto* editor = new MyGridInplaceEdit(parent);
    editor->setFont(option.font);
    editor->setAlignment(grid_.alignmentAt(index) | Qt::AlignVCenter);
    grid_.editorOpened(editor);
    return editor;
}

void MyGridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<MyGridInplaceEdit*>(editor);
    line->setText(index.data().toString());
    line->selectAll();
}

void MyGridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString text = static_cast<MyGridInplaceEdit*>(editor)->text();
    if (text == index.data().toString())
        return;
    model->setData(index, text);
    grid_.cellEdited(index);
}

// The cell's button stays visible beside the editor.
void MyGridCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    QRect rect = option.rect;
    if (lib::gridCellKind(grid_.kindAt(index)).button != lib::GridButtonAction::none)
        rect.setRight(rect.right() - grid_.buttonWidth());
    editor->setGeometry(rect);
    grid_.cellButton()->raise();
}
