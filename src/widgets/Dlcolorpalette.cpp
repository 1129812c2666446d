#include "widgets/Dlcolorpalette.h"

#include "widgets/Qtcolour.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int swatchStep = 15;  // a 13-pixel swatch and its gap

} // namespace

TDLColorPalette::TDLColorPalette(QWidget* parent) : QWidget(parent), cell_(lib::paletteCellOf(colour_))
{
    setMouseTracking(true);
}

void TDLColorPalette::setColorValue(std::uint32_t colour)
{
    if (colour == colour_ && cell_)
        return;
    colour_ = colour;
    cell_ = lib::paletteCellOf(colour);
    update();
}

QRect TDLColorPalette::cellRect(lib::PaletteCell cell) const
{
    const lib::PaletteRect r = lib::paletteCellRect(cell, width(), height());
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QSize TDLColorPalette::sizeHint() const
{
    return {lib::paletteColumns * swatchStep, lib::paletteRows * swatchStep};
}

lib::PaletteCell TDLColorPalette::cellAt(const QPoint& position) const
{
    return lib::paletteCellAt(position.x(), position.y(), width(), height());
}

void TDLColorPalette::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QColor edge = palette().color(QPalette::Dark);
    for (int row = 0; row < lib::paletteRows; ++row) {
        for (int column = 0; column < lib::paletteColumns; ++column) {
            const QRect swatch = cellRect({column, row}).adjusted(1, 1, -1, -1);
            painter.fillRect(swatch, edge);
            painter.fillRect(swatch.adjusted(1, 1, -1, -1), qtColour(lib::paletteColour({column, row})));
        }
    }
    painter.setBrush(Qt::NoBrush);
    if (hovered_ && hovered_ != cell_) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(cellRect(*hovered_).adjusted(0, 0, -1, -1));
    }
    if (cell_) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.drawRect(cellRect(*cell_).adjusted(1, 1, -1, -1));
    }
}

void TDLColorPalette::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const lib::PaletteCell cell = cellAt(event->position().toPoint());
    const std::uint32_t colour = lib::paletteColour(cell);
    const bool changed = colour != colour_;
    colour_ = colour;
    cell_ = cell;
    update();
    if (changed)
        emit OnChangeColor();
    emit picked();
}

void TDLColorPalette::mouseMoveEvent(QMouseEvent* event)
{
    const lib::PaletteCell cell = cellAt(event->position().toPoint());
    if (hovered_ == cell)
        return;
    hovered_ = cell;
    update();
}

void TDLColorPalette::leaveEvent(QEvent*)
{
    hovered_.reset();
    update();
}
