#include "widgets/Mygridcolorform.h"

#include "library/Mygridrules.h"
#include "widgets/Colorselector.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

TMyGridColorForm::TMyGridColorForm(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TMyGridColorForm"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    sheet_ = new QWidget(this);

    auto* bar = new QWidget(sheet_);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Highlight);
    caption_ = new QLabel(QStringLiteral("  Выбор цвета"), bar);
    caption_->setForegroundRole(QPalette::HighlightedText);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    close_ = new QToolButton(bar);
    close_->setText(QStringLiteral("X"));
    close_->setFocusPolicy(Qt::NoFocus);
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(0, 1, 1, 1);
    barRow->addWidget(caption_, 1);
    barRow->addWidget(close_);

    selector_ = new TColorSelector(sheet_);
    auto* column = new QVBoxLayout(sheet_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(selector_);
    sheet_->resize(sheet_->sizeHint());

    timer_.setInterval(lib::unrollStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &TMyGridColorForm::step);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    connect(selector_, &TColorSelector::OnChangeColor, this, &TMyGridColorForm::pick);
    connect(selector_, &TColorSelector::doubleClicked, this, &TMyGridColorForm::pick);
}

void TMyGridColorForm::popUp(std::uint32_t colour, const QPoint& topLeft)
{
    selector_->setColorValue(colour);
    const QSize full = sheet_->size() + QSize(2 * lineWidth(), 2 * lineWidth());
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const lib::ScreenBox place = lib::placeInside(topLeft.x(), topLeft.y(), full.width(), full.height(),
                                                  {area.left(), area.top(), area.width(), area.height()});
    target_ = QRect(place.left, place.top, place.width, place.height);
    sheet_->move(lineWidth(), lineWidth());
    steps_ = 0;
    step();
    show();
    selector_->setFocus();
    timer_.start();
}

void TMyGridColorForm::step()
{
    steps_ = std::min(steps_ + 1, lib::unrollSteps);
    setGeometry(target_.left(), target_.top(), target_.width(),
                std::max(1, lib::unrolledHeight(target_.height(), steps_)));
    if (steps_ == lib::unrollSteps)
        timer_.stop();
}

void TMyGridColorForm::pick()
{
    timer_.stop();
    hide();
    emit chosen(selector_->colorValue());
}

void TMyGridColorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QFrame::keyPressEvent(event);
}

// A click on the cell's button only closes the pop-up: handed on, it would open it again.
void TMyGridColorForm::mousePressEvent(QMouseEvent* event)
{
    const QWidget* button = parentWidget() ? parentWidget()->findChild<QToolButton*>(QStringLiteral("MyGridCellButton")) : nullptr;
    const QPoint global = event->globalPosition().toPoint();
    const bool onButton = button && button->isVisible() && button->rect().contains(button->mapFromGlobal(global));
    setAttribute(Qt::WA_NoMouseReplay, onButton);
    QFrame::mousePressEvent(event);
}
