#include "widgets/Dlcolorselectorfrm.h"

#include "library/Dropdownplace.h"
#include "widgets/Dlcolorpalette.h"
#include "widgets/Qtcolour.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int unrollSteps = 10;
constexpr int unrollIntervalMs = 10;

lib::Box box(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

} // namespace

TDLColorSelectorFrm::TDLColorSelectorFrm(QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    sheet_ = new QWidget(this);
    palette_ = new TDLColorPalette(sheet_);
    more_ = new QPushButton(QStringLiteral("Доп..."), sheet_);
    more_->setAutoDefault(false);
    auto* column = new QVBoxLayout(sheet_);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(3);
    column->addWidget(palette_);
    column->addWidget(more_);
    sheet_->resize(sheet_->sizeHint());

    timer_.setInterval(unrollIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &TDLColorSelectorFrm::step);
    connect(palette_, &TDLColorPalette::picked, this, &TDLColorSelectorFrm::pickedFromPalette);
    connect(more_, &QPushButton::clicked, this, &TDLColorSelectorFrm::askPlatformDialog);
}

void TDLColorSelectorFrm::dropDown(std::uint32_t colour, const QRect& control)
{
    palette_->setColorValue(colour);
    const QSize full = sheet_->size() + QSize(2 * lineWidth(), 2 * lineWidth());
    const QScreen* screen = QGuiApplication::screenAt(control.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const lib::DropDownPlace place =
        lib::dropDownPlace(box(control), full.width(), full.height(), box(screen->availableGeometry()));
    target_ = QRect(place.box.left, place.box.top, place.box.width, place.box.height);
    below_ = place.below;
    steps_ = 0;
    step();
    show();
    palette_->setFocus();
    timer_.start();
}

// Downwards the top edge stays and the sheet is uncovered from its top; upwards the bottom edge
// stays and the sheet slides up with the growing window.
void TDLColorSelectorFrm::step()
{
    steps_ = std::min(steps_ + 1, unrollSteps);
    const int height = std::max(1, target_.height() * steps_ / unrollSteps);
    const int top = below_ ? target_.top() : target_.bottom() + 1 - height;
    setGeometry(target_.left(), top, target_.width(), height);
    const int hidden = target_.height() - height;
    sheet_->move(lineWidth(), lineWidth() - (below_ ? 0 : hidden));
    if (steps_ == unrollSteps)
        timer_.stop();
}

// A click on the field that dropped the window only closes it: handed on, it would drop it again.
void TDLColorSelectorFrm::mousePressEvent(QMouseEvent* event)
{
    const QWidget* field = parentWidget();
    const QPoint global = event->globalPosition().toPoint();
    const bool onField = field && field->rect().contains(field->mapFromGlobal(global));
    setAttribute(Qt::WA_NoMouseReplay, onField);
    QFrame::mousePressEvent(event);
}

void TDLColorSelectorFrm::pickedFromPalette()
{
    timer_.stop();
    hide();
    emit chosen(palette_->colorValue());
}

// The pop-up goes first: a modal dialog over it would close it under the dialog's feet.
void TDLColorSelectorFrm::askPlatformDialog()
{
    timer_.stop();
    hide();
    const QPointer<TDLColorSelectorFrm> alive(this);
    QColorDialog dialog(qtColour(palette_->colorValue()), parentWidget());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || !alive)
        return;
    const std::uint32_t colour = bgrColour(dialog.selectedColor());
    palette_->setColorValue(colour);
    emit chosen(colour);
}
