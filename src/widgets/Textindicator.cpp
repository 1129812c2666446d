#include "widgets/Textindicator.h"

#include "library/Numstr.h"
#include "widgets/Dlgradient.h"
#include "widgets/Qtcolour.h"

#include <QPainter>

#include <algorithm>

TTextIndicator::TTextIndicator(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

template <typename T>
void TTextIndicator::setAndRepaint(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TTextIndicator::setText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    if (!useValue_)
        update();
}

void TTextIndicator::setValue(double value)
{
    if (value_ == value)
        return;
    value_ = value;
    if (useValue_)
        update();
}

void TTextIndicator::setUseValueProperty(bool on) { setAndRepaint(useValue_, on); }
void TTextIndicator::setDecDigits(int digits) { setAndRepaint(decDigits_, std::max(0, digits)); }
void TTextIndicator::setGradient(bool on) { setAndRepaint(gradient_, on); }
void TTextIndicator::setGradientColor1(std::uint32_t colour) { setAndRepaint(gradientColour1_, colour); }
void TTextIndicator::setGradientColor2(std::uint32_t colour) { setAndRepaint(gradientColour2_, colour); }
void TTextIndicator::setGradientDir(GradientDir direction) { setAndRepaint(gradientDir_, direction); }
void TTextIndicator::setBorderWidth(int width) { setAndRepaint(borderWidth_, std::max(0, width)); }
void TTextIndicator::setBorderColor(std::uint32_t colour) { setAndRepaint(borderColour_, colour); }
void TTextIndicator::setFontColor(std::uint32_t colour) { setAndRepaint(fontColour_, colour); }
void TTextIndicator::setTextShadow(bool on) { setAndRepaint(textShadow_, on); }
void TTextIndicator::setTextShadowColor(std::uint32_t colour) { setAndRepaint(textShadowColour_, colour); }
void TTextIndicator::setTextShadowSize(int size) { setAndRepaint(textShadowSize_, size); }
void TTextIndicator::setTextDirection(TextDirection direction) { setAndRepaint(textDirection_, direction); }

void TTextIndicator::setGradientColors(std::uint32_t first, std::uint32_t second)
{
    setGradientColor1(first);
    setGradientColor2(second);
}

void TTextIndicator::setAlignment(Qt::Alignment alignment)
{
    setAndRepaint(alignment_, alignment & Qt::AlignHorizontal_Mask);
}

QString TTextIndicator::shownText() const
{
    return useValue_ ? QString::fromStdString(lib::formatReal(value_, decDigits_)) : text_;
}

QSize TTextIndicator::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int frame = 2 * (borderWidth_ + 1) + textShadowSize_;
    const QSize text(metrics.horizontalAdvance(shownText()) + frame + 8, metrics.height() + frame);
    return textDirection_ == tdVertival ? text.transposed() : text;
}

void TTextIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    if (gradient_) {
        const auto type = gradientDir_ == gdHorizontal ? lib::GradientType::horizontal : lib::GradientType::vertical;
        TDLGradient::fill(painter, area, type, gradientColour1_, gradientColour2_);
    } else {
        painter.fillRect(area, qtColour(gradientColour1_));
    }

    const int b = std::min({borderWidth_, area.width() / 2, area.height() / 2});
    if (b > 0) {
        const QColor border = qtColour(borderColour_);
        painter.fillRect(QRect(0, 0, area.width(), b), border);
        painter.fillRect(QRect(0, area.height() - b, area.width(), b), border);
        painter.fillRect(QRect(0, b, b, area.height() - 2 * b), border);
        painter.fillRect(QRect(area.width() - b, b, b, area.height() - 2 * b), border);
    }

    if (textDirection_ == tdVertival) {
        // Turned so that the text runs up the control; the rotated area is height × width.
        painter.translate(0, area.height());
        painter.rotate(-90);
        paintText(painter, area.transposed());
    } else {
        paintText(painter, area);
    }
}

void TTextIndicator::paintText(QPainter& painter, const QRect& area) const
{
    const QString shown = shownText();
    if (shown.isEmpty())
        return;
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.horizontalAdvance(shown);
    int x = (area.width() - textWidth) / 2;
    if (alignment_ & Qt::AlignLeft)
        x = borderWidth_ + 1;
    else if (alignment_ & Qt::AlignRight)
        x = area.width() - textWidth - borderWidth_ - 1;
    const int baseline = (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter.setFont(font());
    if (textShadow_ && textShadowSize_ != 0) {
        painter.setPen(qtColour(textShadowColour_));
        painter.drawText(x + textShadowSize_, baseline + textShadowSize_, shown);
    }
    painter.setPen(qtColour(fontColour_));
    painter.drawText(x, baseline, shown);
}
