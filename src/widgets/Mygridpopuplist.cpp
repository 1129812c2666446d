#include "widgets/Mygridpopuplist.h"

#include "library/Mygridrules.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace {

lib::ScreenBox screenBox(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

QRect availableScreen(const QRect& cell)
{
    const QScreen* screen = QGuiApplication::screenAt(cell.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

} // namespace

// A click on the cell's button only closes the list: handed on, it would open it again.
bool MyGridPopupList::onCellButton(const QPoint& global) const
{
    const QWidget* grid = parentWidget();
    const QWidget* button = grid ? grid->findChild<QWidget*>(QStringLiteral("MyGridCellButton")) : nullptr;
    return button && button->isVisible() && button->rect().contains(button->mapFromGlobal(global));
}

MyGridPopupList::MyGridPopupList(QWidget* parent) : QListWidget(parent)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("MyGridPopupList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setMouseTracking(true);
    flash_.setSingleShot(true);
    connect(&flash_, &QTimer::timeout, this, &MyGridPopupList::flashStep);
}

void MyGridPopupList::popUp(const QStringList& items, const QString& current, const QRect& cell)
{
    flash_.stop();
    chosenRow_ = -1;
    clear();
    addItems(items);
    selectCurrentText(current);
    placeUnder(cell);
    show();
    setFocus();
    if (currentItem())
        scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
}

void MyGridPopupList::selectCurrentText(const QString& current)
{
    int row = -1;
    for (int i = 0; i < count() && row < 0; ++i)
        if (item(i)->text() == current)
            row = i;
    // A cell may keep only the first word of an item ("name (label)").
    for (int i = 0; i < count() && row < 0 && !current.isEmpty(); ++i)
        if (item(i)->text().startsWith(current + QLatin1Char(' ')))
            row = i;
    setCurrentRow(row);
}

void MyGridPopupList::placeUnder(const QRect& cell)
{
    const int frame = 2 * frameWidth();
    const int rows = std::max(count(), 1);
    const int height = rows * std::max(sizeHintForRow(0), 1) + frame;
    int width = std::max(cell.width(), sizeHintForColumn(0) + frame + 8);
    const lib::ScreenBox screen = screenBox(availableScreen(cell));
    lib::ScreenBox box = lib::popupUnderCell(screenBox(cell), width, height, screen);
    if (box.height < height) {  // cut: the scroll bar must not cover the texts
        width += verticalScrollBar()->sizeHint().width();
        box = lib::popupUnderCell(screenBox(cell), width, height, screen);
    }
    setGeometry(box.left, box.top, box.width, box.height);
}

// A click outside closes the pop-up; the item view would otherwise keep it open.
bool MyGridPopupList::event(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!rect().contains(mouse->position().toPoint())) {
            setAttribute(Qt::WA_NoMouseReplay, onCellButton(mouse->globalPosition().toPoint()));
            if (!flashing())
                hide();
            return true;
        }
    }
    if (event->type() == QEvent::WindowDeactivate && !flashing())
        hide();
    return QListWidget::event(event);
}

void MyGridPopupList::keyPressEvent(QKeyEvent* event)
{
    if (flashing())
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!selectedItems().isEmpty())
            choose(row(selectedItems().front()));
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void MyGridPopupList::mousePressEvent(QMouseEvent* event)
{
    if (!flashing())
        QListWidget::mousePressEvent(event);
}

void MyGridPopupList::mouseReleaseEvent(QMouseEvent* event)
{
    if (flashing())
        return;
    QListWidget::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton)
        choose(index.row());
}

// The item under the mouse is the one a click or Enter would choose.
void MyGridPopupList::mouseMoveEvent(QMouseEvent* event)
{
    if (flashing())
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        setCurrentRow(index.row());
}

void MyGridPopupList::choose(int row)
{
    chosenRow_ = row;
    step_ = 0;
    flashStep();
}

void MyGridPopupList::flashStep()
{
    const auto steps = lib::listChoiceFlash();
    if (step_ >= static_cast<int>(steps.size())) {
        finish();
        return;
    }
    const lib::FlashStep& step = steps[static_cast<std::size_t>(step_++)];
    if (step.selectionShown)
        setCurrentRow(chosenRow_);
    else
        clearSelection();
    flash_.start(step.milliseconds);
}

// Also when the pop-up is closed from outside while it flashes: the choice was made.
void MyGridPopupList::finish()
{
    flash_.stop();
    const int row = std::exchange(chosenRow_, -1);
    if (row < 0 || row >= count())
        return;
    const QString text = item(row)->text();
    hide();
    emit chosen(text);
}

void MyGridPopupList::hideEvent(QHideEvent* event)
{
    QListWidget::hideEvent(event);
    if (flashing())
        finish();
}
