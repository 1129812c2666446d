#include "widgets/Mybutton.h"

#include <QHBoxLayout>

#include "widgets/Dlgradient.h"
#include "widgets/Qtcolour.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <utility>

namespace {

constexpr int hoverLight = 20;
constexpr int pressedDark = 24;
constexpr int autoBorderDark = 96;

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool plainKey(const QKeyEvent& event)
{
    return (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

int cornerRadius(int height) { return height / 6; }

// The rounded outline `inset` inside the pixel edges of rect, its corners shrunk to stay parallel.
QPainterPath roundedOutline(const QRect& rect, double inset, double radius)
{
    QPainterPath path;
    const QRectF r = QRectF(rect).adjusted(inset, inset, -inset, -inset);
    path.addRoundedRect(r, std::max(0.0, radius - inset), std::max(0.0, radius - inset));
    return path;
}

} // namespace

TMyButton::TMyButton(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    // Connected before anyone else can connect, so the dialog has its result when the other
    // receivers of clicked() run.
    connect(this, &QAbstractButton::clicked, this, &TMyButton::applyModalResult);
    resize(sizeHint());
    updateShape();
}

TMyButton* TMyButton::okButton(QWidget* parent)
{
    auto* button = new TMyButton(QStringLiteral("OK"), parent);
    button->setModalResult(mbmrOk);
    button->setDefault(true);
    button->setMinimumWidth(90);
    return button;
}

TMyButton* TMyButton::helpButton(QWidget* parent)
{
    auto* button = new TMyButton(QStringLiteral("Справка"), parent);
    button->setMinimumWidth(90);
    return button;
}

QHBoxLayout* TMyButton::rowAtRight(std::initializer_list<TMyButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (TMyButton* button : buttons)
        row->addWidget(button);
    return row;
}

TMyButton* TMyButton::cancelButton(QWidget* parent)
{
    auto* button = new TMyButton(QStringLiteral("Отмена"), parent);
    button->setModalResult(mbmrCancel);
    button->setCancel(true);
    button->setMinimumWidth(90);
    return button;
}

TMyButton::~TMyButton()
{
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
}

template <typename T>
void TMyButton::setAndRepaint(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TMyButton::setDefault(bool on)
{
    setAndRepaint(default_, on);
    watchWindow();
}

void TMyButton::setCancel(bool on)
{
    cancel_ = on;
    watchWindow();
}

void TMyButton::setColor(std::uint32_t face) { setAndRepaint(face_, face); }
void TMyButton::setColorHue(std::uint32_t hue) { setAndRepaint(hue_, hue); }
void TMyButton::setFontColor(std::uint32_t text) { setAndRepaint(fontColour_, text); }
void TMyButton::setGradientType(GradientType type) { setAndRepaint(gradientType_, type); }
void TMyButton::setGradientColor1(std::uint32_t colour) { setAndRepaint(gradientColour1_, colour); }
void TMyButton::setGradientColor2(std::uint32_t colour) { setAndRepaint(gradientColour2_, colour); }
void TMyButton::setAutoGradientColors(bool on) { setAndRepaint(autoGradient_, on); }
void TMyButton::setBorderFrame(bool on) { setAndRepaint(borderFrame_, on); }
void TMyButton::setBorderWidth(int width) { setAndRepaint(borderWidth_, std::max(0, width)); }
void TMyButton::setBorderColor(std::uint32_t colour) { setAndRepaint(borderColour_, colour); }
void TMyButton::setAutoBorderColor(bool on) { setAndRepaint(autoBorder_, on); }
void TMyButton::setFrameColor(std::uint32_t colour) { setAndRepaint(frameColour_, colour); }
void TMyButton::setDefaultColor(std::uint32_t colour) { setAndRepaint(defaultColour_, colour); }
void TMyButton::setTextShadow(bool on) { setAndRepaint(textShadow_, on); }
void TMyButton::setTextShadowColor(std::uint32_t colour) { setAndRepaint(textShadowColour_, colour); }

void TMyButton::setAlignment(Qt::Alignment alignment)
{
    setAndRepaint(alignment_, alignment & Qt::AlignHorizontal_Mask);
}

void TMyButton::setType(ButtonType type)
{
    if (type_ == type)
        return;
    type_ = type;
    updateShape();
    update();
}

QSize TMyButton::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int frame = 2 * (borderWidth_ + 3);
    return {std::max(100, metrics.horizontalAdvance(text()) + frame + 8),
            std::max(25, metrics.height() + frame)};
}

QSize TMyButton::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int frame = 2 * (borderWidth_ + 3);
    return {metrics.horizontalAdvance(text()) + frame, metrics.height() + frame};
}

lib::GradientColours TMyButton::effectiveGradient() const
{
    if (gradientType_ == mbgtNone)
        return {lib::resolveColour(face_), lib::resolveColour(face_)};
    return autoGradient_ ? lib::automaticGradient(face_, hue_) : lib::GradientColours{gradientColour1_, gradientColour2_};
}

std::uint32_t TMyButton::effectiveBorderColor() const
{
    return autoBorder_ ? lib::darker(face_, autoBorderDark, hue_) : lib::resolveColour(borderColour_);
}

void TMyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    const double radius = type_ == mbtRoundRect ? cornerRadius(height()) : 0.0;

    lib::GradientColours colours = effectiveGradient();
    if (!isEnabled()) {
        // Half way to the face: the same shape with less relief.
        colours = {lib::gradientColour(1, 2, colours.first, face_), lib::gradientColour(1, 2, colours.second, face_)};
    } else if (isDown()) {
        std::swap(colours.first, colours.second);
        if (gradientType_ == mbgtNone)
            colours = {lib::darker(colours.first, pressedDark), lib::darker(colours.second, pressedDark)};
    } else if (hovered_) {
        colours = {lib::lighter(colours.first, hoverLight), lib::lighter(colours.second, hoverLight)};
    }
    TDLGradient::fill(painter, area, static_cast<lib::GradientType>(gradientType_), colours.first, colours.second);

    painter.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter.setBrush(Qt::NoBrush);
    double inset = 0;
    if (default_) {
        painter.setPen(QPen(qtColour(defaultColour_), 1));
        painter.drawPath(roundedOutline(area, 0.5, radius));
        inset = 1;
    }
    if (borderFrame_ && borderWidth_ > 0) {
        const std::uint32_t border = isEnabled() ? effectiveBorderColor() : lib::lighter(effectiveBorderColor(), 48);
        painter.setPen(QPen(qtColour(border), borderWidth_));
        painter.drawPath(roundedOutline(area, inset + borderWidth_ / 2.0, radius));
        inset += borderWidth_;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    const int margin = static_cast<int>(inset) + 2;
    if (hasFocus()) {
        painter.setPen(QPen(qtColour(frameColour_), 1, Qt::DotLine));
        painter.drawRect(area.adjusted(margin, margin, -margin - 1, -margin - 1));
    }

    QRect textArea = area.adjusted(margin + 2, margin, -margin - 2, -margin);
    if (isDown())
        textArea.translate(1, 1);
    const int flags = static_cast<int>(alignment_ | Qt::AlignVCenter) | Qt::TextShowMnemonic;
    const bool engraved = !isEnabled();
    if (textShadow_ || engraved) {
        painter.setPen(engraved ? Qt::white : qtColour(textShadowColour_));
        painter.drawText(textArea.translated(1, 1), flags, text());
    }
    painter.setPen(engraved ? qtColour(lib::systemColour(lib::scGrayText)) : qtColour(fontColour_));
    painter.drawText(textArea, flags, text());
}

void TMyButton::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    updateShape();
}

void TMyButton::updateShape()
{
    if (type_ != mbtRoundRect) {
        clearMask();
        return;
    }
    QPainterPath shape;
    const double radius = cornerRadius(height());
    shape.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), radius, radius);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void TMyButton::keyPressEvent(QKeyEvent* event)
{
    if (isEnterKey(event->key()) && plainKey(*event)) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TMyButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    setAndRepaint(hovered_, true);
}

void TMyButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    setAndRepaint(hovered_, false);
}

void TMyButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

bool TMyButton::event(QEvent* event)
{
    // A button placed into a container that is put into a dialog later learns its window when
    // it is shown.
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
        watchWindow();
    return QAbstractButton::event(event);
}

void TMyButton::watchWindow()
{
    QWidget* const wanted = default_ || cancel_ ? window() : nullptr;
    if (wanted == watchedWindow_)
        return;
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    watchedWindow_ = wanted;
    if (wanted && wanted != this)
        wanted->installEventFilter(this);
}

bool TMyButton::eventFilter(QObject* watched, QEvent* event)
{
    // Keys reach the window only when the focused control left them alone (an edit passes
    // Enter on, a focused TMyButton takes it), and before a dialog would reject on Escape.
    if (watched == watchedWindow_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (plainKey(*key) && handleWindowKey(key->key(), key->isAutoRepeat()))
            return true;
    }
    return QAbstractButton::eventFilter(watched, event);
}

bool TMyButton::handleWindowKey(int key, bool autoRepeat)
{
    // A held key clicks once.
    if (isEnterKey(key) && default_) {
        if (!isEnabled() || tmyButtonHasFocus())
            return false;
        if (!autoRepeat)
            click();
        return true;
    }
    if (key == Qt::Key_Escape && cancel_) {
        // A disabled Cancel button keeps Escape from closing the dialog behind its back.
        if (isEnabled() && !autoRepeat)
            click();
        return true;
    }
    return false;
}

bool TMyButton::tmyButtonHasFocus() const
{
    return watchedWindow_ && qobject_cast<TMyButton*>(watchedWindow_->focusWidget()) != nullptr;
}

void TMyButton::applyModalResult()
{
    if (modalResult_ == mbmrNone)
        return;
    auto* dialog = qobject_cast<QDialog*>(window());
    if (!dialog)
        return;
    switch (modalResult_) {
    case mbmrOk:
        dialog->done(QDialog::Accepted);
        break;
    case mbmrCancel:
        dialog->done(QDialog::Rejected);
        break;
    default:
        dialog->done(100 + modalResult_);
        break;
    }
}
