#pragma once

#include <QFrame>
#include <QTimer>

#include <cstdint>

class QLabel;
class QToolButton;
class TColorSelector;

// The colour pop-up of a TMyGrid colour cell: a caption bar with a close button "X" over the
// palette. It opens at the cell and unrolls downwards; a colour picked on the palette (or a double
// click on it) is reported and closes it. "X", Escape or a click elsewhere close it without a
// choice.
class TMyGridColorForm : public QFrame {
    Q_OBJECT
public:
    explicit TMyGridColorForm(QWidget* parent = nullptr);

    // topLeft: the cell's top left corner on the screen.
    void popUp(std::uint32_t colour, const QPoint& topLeft);
    bool unrolling() const { return timer_.isActive(); }

    TColorSelector* selector() const { return selector_; }
    QToolButton* closeButton() const { return close_; }

signals:
    void chosen(std::uint32_t colour);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void step();
    void pick();

    QWidget* sheet_ = nullptr;  // the full-size contents, uncovered step by step
    QLabel* caption_ = nullptr;
    QToolButton* close_ = nullptr;
    TColorSelector* selector_ = nullptr;
    QTimer timer_;
    int steps_ = 0;
    QRect target_;
};
