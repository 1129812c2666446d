#include "widgets/Colorselector.h"

#include "widgets/Qtcolour.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int cellSide = 18;
constexpr int frameWidth = 5;
constexpr std::uint32_t frameColour = 0xFF0000;  // blue

} // namespace

TColorSelector::TColorSelector(QWidget* parent) : QWidget(parent), cell_(lib::paletteCellOf(colour_))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TColorSelector::setColorValue(std::uint32_t colour)
{
    // A value already framed keeps its cell: the palette holds a few colours twice.
    if (colour == colour_ && cell_)
        return;
    colour_ = colour;
    cell_ = lib::paletteCellOf(colour);
    update();
}

QRect TColorSelector::cellRect(lib::PaletteCell cell) const
{
    const lib::PaletteRect r = lib::paletteCellRect(cell, width(), height());
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QSize TColorSelector::sizeHint() const
{
    return {lib::paletteColumns * cellSide, lib::paletteRows * cellSide};
}

QSize TColorSelector::minimumSizeHint() const
{
    return {lib::paletteColumns * (frameWidth + 3), lib::paletteRows * (frameWidth + 3)};
}

void TColorSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int row = 0; row < lib::paletteRows; ++row)
        for (int column = 0; column < lib::paletteColumns; ++column)
            painter.fillRect(cellRect({column, row}), qtColour(lib::paletteColour({column, row})));
    if (!cell_)
        return;
    // Centred on the cell's edge, pushed inwards at the palette's border so that the whole frame
    // shows; a white hairline inside keeps it visible on the blue cells.
    QRect outer = cellRect(*cell_).adjusted(-2, -2, 2, 2);
    outer.moveLeft(std::clamp(outer.left(), 0, std::max(0, width() - outer.width())));
    outer.moveTop(std::clamp(outer.top(), 0, std::max(0, height() - outer.height())));
    const QColor blue = qtColour(frameColour);
    painter.fillRect(outer.left(), outer.top(), outer.width(), frameWidth, blue);
    painter.fillRect(outer.left(), outer.bottom() - frameWidth + 1, outer.width(), frameWidth, blue);
    painter.fillRect(outer.left(), outer.top(), frameWidth, outer.height(), blue);
    painter.fillRect(outer.right() - frameWidth + 1, outer.top(), frameWidth, outer.height(), blue);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outer.adjusted(frameWidth, frameWidth, -frameWidth - 1, -frameWidth - 1));
}

void TColorSelector::pick(const QPoint& position)
{
    const lib::PaletteCell cell = lib::paletteCellAt(position.x(), position.y(), width(), height());
    const std::uint32_t colour = lib::paletteColour(cell);
    const bool changed = colour != colour_;
    if (cell_ == cell && !changed)
        return;
    colour_ = colour;
    cell_ = cell;
    update();
    if (changed)
        emit OnChangeColor();
}

void TColorSelector::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pick(event->position().toPoint());
}

void TColorSelector::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pick(event->position().toPoint());
    emit doubleClicked();
}
