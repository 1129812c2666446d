#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// "  Очистка таблицы": the results table is cleared only after the box is checked and "Стереть..."
// is pressed twice.
class TDelTableForm : public QDialog {
    Q_OBJECT
public:
    explicit TDelTableForm(QWidget* parent = nullptr);

    // Runs the window; true when the clearing was confirmed twice.
    static bool confirm(QWidget* parent);

    // Closed with the second press and the box checked.
    bool confirmed() const;

    QCheckBox* confirmBox() const { return box_; }
    QPushButton* eraseButton() const { return erase_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* pressAgainText() const { return pressAgain_; }

private:
    void erasePressed();

    QCheckBox* box_ = nullptr;
    QPushButton* erase_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* pressAgain_ = nullptr;
    bool pressedOnce_ = false;
};
