#include "widgets/Dlrangeselector.h"

#include "library/Myfunctions.h"
#include "widgets/Qtcolour.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <limits>

// Rows from the top: the labels (one text height), the ticks hanging from them, then the band
// the interval is filled in; the sliders reach from the ticks to the bottom of the band.
struct TDLRangeSelector::Layout {
    int h = 0;
    int labelTop = 0;
    int tickTop = 0;
    int bandTop = 0;
    int bandBottom = 0;   // the last row of the band
};

namespace {

constexpr std::uint32_t greyMarks = 0x808080;
constexpr std::uint32_t sliderShadow = 0x606060;
constexpr int minimumBand = 6;

int sliderHalfWidth(int h) { return std::max(2, h / 3); }

} // namespace

TDLRangeSelector::TDLRangeSelector(QWidget* parent)
    : QWidget(parent), borderColour_(lib::systemColour(lib::scWindowFrame))
{
    gradient_.setType(TDLGradient::dlgtNone);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    scale_.setTextHeight(fontMetrics().height());
    resize(100, 25);
    scale_.setWidth(width());
}

void TDLRangeSelector::setMin(int min)
{
    if (min == scale_.min())
        return;
    scale_.setRange(min, std::max(min, scale_.max()));
    update();
}

void TDLRangeSelector::setMax(int max)
{
    if (max == scale_.max())
        return;
    scale_.setRange(std::min(scale_.min(), max), max);
    update();
}

void TDLRangeSelector::setValue1(int value)
{
    const int before = scale_.value1();
    scale_.setValue1(value);
    if (scale_.value1() != before)
        update();
}

void TDLRangeSelector::setValue2(int value)
{
    const int before = scale_.value2();
    scale_.setValue2(value);
    if (scale_.value2() != before)
        update();
}

void TDLRangeSelector::setScalesCount(int count)
{
    if (count == scale_.scalesCount())
        return;
    scale_.setScalesCount(count);
    update();
}

void TDLRangeSelector::setSliderColor(std::uint32_t colour)
{
    sliderColour_ = colour;
    update();
}

void TDLRangeSelector::setIntervalColor(std::uint32_t colour)
{
    intervalColour_ = colour;
    update();
}

void TDLRangeSelector::setColor(std::uint32_t colour)
{
    colour_ = colour;
    update();
}

void TDLRangeSelector::setGradient(const TDLGradient& gradient)
{
    gradient_ = gradient;
    update();
}

void TDLRangeSelector::setBorderWidth(int width)
{
    borderWidth_ = std::max(0, width);
    update();
}

void TDLRangeSelector::setBorderColor(std::uint32_t colour)
{
    borderColour_ = colour;
    update();
}

QSize TDLRangeSelector::sizeHint() const
{
    const int h = fontMetrics().height();
    return {100, std::max(25, h + h / 2 + minimumBand + 4 + 2 * borderWidth_)};
}

TDLRangeSelector::Layout TDLRangeSelector::layout() const
{
    Layout l;
    l.h = scale_.textHeight();
    l.labelTop = borderWidth_;
    l.tickTop = l.labelTop + l.h;
    l.bandBottom = height() - borderWidth_ - 3;
    l.bandTop = std::min(l.tickTop + l.h / 2 + 1, l.bandBottom - minimumBand + 1);
    return l;
}

void TDLRangeSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    if (gradient_.type() == TDLGradient::dlgtNone)
        painter.fillRect(area, qtColour(colour_));
    else
        gradient_.paint(painter, area, colour_);
    if (borderWidth_ > 0) {
        painter.setPen(QPen(qtColour(borderColour_), borderWidth_));
        painter.setBrush(Qt::NoBrush);
        const double half = borderWidth_ / 2.0;
        painter.drawRect(QRectF(area).adjusted(half, half, -half, -half));
    }

    const Layout l = layout();
    paintScale(painter, l);
    if (isEnabled()) {
        paintSlider(painter, l, scale_.xOf(scale_.value1()));
        paintSlider(painter, l, scale_.xOf(scale_.value2()));
    }
}

void TDLRangeSelector::paintScale(QPainter& painter, const Layout& l) const
{
    const bool enabled = isEnabled();
    const int left = scale_.scaleLeft();
    const int right = scale_.scaleRight();
    const int x1 = scale_.xOf(scale_.value1());
    const int x2 = scale_.xOf(scale_.value2());
    const int bandHeight = l.bandBottom - l.bandTop + 1;
    const std::uint32_t interval = enabled ? intervalColour_ : lib::disabledColour(intervalColour_);
    painter.fillRect(QRect(x1, l.bandTop, x2 - x1, bandHeight), qtColour(interval));
    painter.setPen(qtColour(greyMarks));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, l.bandTop, right - left, bandHeight - 1));

    const QColor marks = qtColour(enabled ? lib::systemColour(lib::scWindowText) : greyMarks);
    painter.setPen(marks);
    const QFontMetrics metrics = fontMetrics();
    int labelEnd = std::numeric_limits<int>::min();
    for (const RangeScale::Tick& tick : scale_.ticks()) {
        painter.drawLine(tick.x, l.tickTop, tick.x, l.tickTop + tick.length - 1);
        if (!tick.labelled)
            continue;
        // Labels that would run into the one before are left out: a narrow control keeps a
        // readable few.
        const QString label = QString::number(tick.value);
        const int labelWidth = metrics.horizontalAdvance(label);
        const int labelLeft = tick.x - labelWidth / 2;
        if (labelLeft < labelEnd + metrics.averageCharWidth() / 2)
            continue;
        painter.drawText(labelLeft, l.labelTop + metrics.ascent(), label);
        labelEnd = labelLeft + labelWidth;
    }
}

void TDLRangeSelector::paintSlider(QPainter& painter, const Layout& l, int x) const
{
    const int half = sliderHalfWidth(l.h);
    const QRect slider(x - half, l.tickTop, 2 * half + 1, l.bandBottom - l.tickTop + 1);
    painter.fillRect(slider.translated(1, 1), qtColour(sliderShadow));
    painter.fillRect(slider, qtColour(sliderColour_));
    painter.setPen(qtColour(lib::darker(sliderColour_, 96)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(slider.adjusted(0, 0, -1, -1));
    painter.drawLine(x, slider.top() + 2, x, slider.bottom() - 2);
}

void TDLRangeSelector::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    scale_.setWidth(width());
}

void TDLRangeSelector::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        scale_.setTextHeight(fontMetrics().height());
        updateGeometry();
        update();
    }
}

void TDLRangeSelector::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        scale_.press(event->position().toPoint().x());
    QWidget::mousePressEvent(event);
}

void TDLRangeSelector::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    if (scale_.grabbed() == RangeScale::Slider::none) {
        if (scale_.sliderAt(x) == RangeScale::Slider::none)
            unsetCursor();
        else
            setCursor(Qt::SplitHCursor);
        return;
    }
    if (scale_.drag(x)) {
        update();
        emit OnChange(this, scale_.value1(), scale_.value2());
    }
}

void TDLRangeSelector::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        scale_.release();
    QWidget::mouseReleaseEvent(event);
}
