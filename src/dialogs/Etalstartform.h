#pragma once

#include <QDialog>

class QLabel;
class TMyButton;

// "  Внимание!!!": asks the operator to connect the reference mixture before a calibration run.
class TEtalStartForm : public QDialog {
    Q_OBJECT
public:
    // text: CalibrationRun::promptText(), shown centred in large blue letters.
    explicit TEtalStartForm(const QString& text, QWidget* parent = nullptr);
    bool execute();  // modal; true on "OK"

    QLabel* textLabel() const { return text_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* text_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
};
