#pragma once

#include <QListWidget>
#include <QTimer>

// The drop-down list of a TMyGrid cell: a borderless pop-up under the cell. An item chosen by a
// click or Enter is flashed, then the pop-up closes and reports it; Escape or a click elsewhere
// closes it without a choice.
class MyGridPopupList : public QListWidget {
    Q_OBJECT
public:
    explicit MyGridPopupList(QWidget* parent = nullptr);

    // cell: the cell's rectangle on the screen. The item equal to current (or beginning with it
    // and a blank) is selected.
    void popUp(const QStringList& items, const QString& current, const QRect& cell);
    bool flashing() const { return chosenRow_ >= 0; }

signals:
    void chosen(const QString& item);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool onCellButton(const QPoint& global) const;
    void selectCurrentText(const QString& current);
    void placeUnder(const QRect& cell);
    void choose(int row);
    void flashStep();
    void finish();

    QTimer flash_;
    int step_ = 0;
    int chosenRow_ = -1;
};
