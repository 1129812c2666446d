#include "dialogs/Colorselectstrip.h"

#include "library/Colorpalette.h"
#include "library/Colorselection.h"
#include "widgets/Qtcolour.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

using lib::ColorSelection;

struct StripKind {
    int cells;
    int firstValue;
    int (*valueAt)(int x, int stripWidth);
    const char* hint;
};
constexpr std::array<StripKind, 3> kinds{{
    {ColorSelection::maxLineWidth - ColorSelection::minLineWidth + 1, ColorSelection::minLineWidth,
     &ColorSelection::lineWidthAt, " Выбор толщины линии "},
    {ColorSelection::lineStyleCount, 0, &ColorSelection::lineStyleAt, " Выбор типа линии "},
    {ColorSelection::fillStyleCount, 0, &ColorSelection::fillStyleAt, " Выбор заливки "},
}};

constexpr std::array<Qt::PenStyle, ColorSelection::lineStyleCount> penStyles{
    Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine,
};
constexpr std::array<Qt::BrushStyle, ColorSelection::fillStyleCount> brushStyles{
    Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
    Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern,
};

constexpr std::uint32_t fillColour = 0xFF0000;  // blue
constexpr int cellHeight = 26;
constexpr int chosenFrame = 3;

const StripKind& look(TColorSelectStrip::Kind kind)
{
    return kinds[static_cast<std::size_t>(kind)];
}

} // namespace

TColorSelectStrip::TColorSelectStrip(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    value_ = look(kind).firstValue;
    setToolTip(QString::fromUtf8(look(kind).hint));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int TColorSelectStrip::cellCount() const
{
    return look(kind_).cells;
}

void TColorSelectStrip::setValue(int value)
{
    const StripKind& strip = look(kind_);
    value = std::clamp(value, strip.firstValue, strip.firstValue + strip.cells - 1);
    if (value == value_)
        return;
    value_ = value;
    update();
}

QRect TColorSelectStrip::cellRect(int cell) const
{
    const int left = lib::cellEdge(cell, cellCount(), width());
    const int right = lib::cellEdge(cell + 1, cellCount(), width());
    return QRect(left, 0, right - left, height());
}

QSize TColorSelectStrip::sizeHint() const
{
    return {cellCount() * cellHeight, cellHeight};
}

int TColorSelectStrip::valueAt(int x) const
{
    return look(kind_).valueAt(x, width());
}

int TColorSelectStrip::cellOf(int value) const
{
    return value - look(kind_).firstValue;
}

void TColorSelectStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Window);
    painter.fillRect(rect(), window);
    const QColor sample = qtColour(ColorSelection::contrastingColour(bgrColour(window)));
    for (int cell = 0; cell < cellCount(); ++cell) {
        const QRect area = cellRect(cell);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(sample, 1));
        drawSample(painter, cell, area.adjusted(chosenFrame + 2, chosenFrame + 2, -chosenFrame - 2, -chosenFrame - 2));
    }
    const QRect chosen = cellRect(cellOf(value_));
    const QColor frame = palette().color(QPalette::Highlight);
    painter.fillRect(chosen.left(), chosen.top(), chosen.width(), chosenFrame, frame);
    painter.fillRect(chosen.left(), chosen.bottom() - chosenFrame + 1, chosen.width(), chosenFrame, frame);
    painter.fillRect(chosen.left(), chosen.top(), chosenFrame, chosen.height(), frame);
    painter.fillRect(chosen.right() - chosenFrame + 1, chosen.top(), chosenFrame, chosen.height(), frame);
}

void TColorSelectStrip::drawSample(QPainter& painter, int cell, const QRect& area) const
{
    QPen pen = painter.pen();
    switch (kind_) {
    case lineWidths: {
        pen.setWidth(cell + ColorSelection::minLineWidth);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const int x = area.center().x();
        painter.drawLine(x, area.top(), x, area.bottom() + 1);
        break;
    }
    case lineStyles: {
        pen.setStyle(penStyles[static_cast<std::size_t>(cell)]);
        painter.setPen(pen);
        const int y = area.center().y();
        painter.drawLine(area.left(), y, area.right(), y);
        break;
    }
    case fillStyles:
        painter.fillRect(area, QBrush(qtColour(fillColour), brushStyles[static_cast<std::size_t>(cell)]));
        break;
    }
}

void TColorSelectStrip::pick(int x)
{
    const int value = valueAt(x);
    if (value == value_)
        return;
    value_ = value;
    update();
    emit changed();
}

void TColorSelectStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pick(event->position().toPoint().x());
}

void TColorSelectStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pick(event->position().toPoint().x());
    emit doubleClicked();
}
