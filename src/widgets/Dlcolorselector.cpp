#include "widgets/Dlcolorselector.h"

#include "widgets/Dlcolorselectorfrm.h"
#include "widgets/Qtcolour.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int arrowWidth = 13;

} // namespace

TDLColorSelector::TDLColorSelector(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TDLColorSelector::setColorValue(std::uint32_t colour)
{
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

QSize TDLColorSelector::sizeHint() const
{
    return {64, fontMetrics().height() + 8};
}

void TDLColorSelector::dropDown()
{
    if (!dropDown_) {
        dropDown_ = new TDLColorSelectorFrm(this);
        connect(dropDown_, &TDLColorSelectorFrm::chosen, this, &TDLColorSelector::choose);
    }
    dropDown_->dropDown(colour_, QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void TDLColorSelector::choose(std::uint32_t colour)
{
    setColorValue(colour);
    emit OnChange();
}

void TDLColorSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QPalette& colours = palette();
    const QColor frame = colours.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Shadow);
    painter.fillRect(rect(), colours.color(QPalette::Base));
    const QRect swatch = rect().adjusted(3, 3, -arrowWidth - 3, -3);
    if (enabled) {
        painter.fillRect(swatch, qtColour(colour_));
    } else {
        painter.fillRect(swatch, QBrush(qtColour(colour_), Qt::Dense4Pattern));
    }
    painter.setPen(frame);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus())
        painter.drawRect(rect().adjusted(1, 1, -2, -2));

    // The drop-down arrow.
    const int middle = width() - arrowWidth / 2 - 2;
    const int y = height() / 2 - 1;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QPointF arrow[] = {{middle - 4.0, y - 2.0}, {middle + 4.0, y - 2.0}, {middle + 0.0, y + 3.0}};
    painter.drawPolygon(arrow, 3);
}

void TDLColorSelector::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    dropDown();
}

// The keys of a drop-down list open the palette too.
void TDLColorSelector::keyPressEvent(QKeyEvent* event)
{
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_F4 || altDown) {
        dropDown();
        return;
    }
    QWidget::keyPressEvent(event);
}
