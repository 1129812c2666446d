#pragma once

#include "station/Computersearch.h"

#include <QDialog>

class Configuration;
class QLineEdit;
class QRadioButton;
class TMyButton;

// "  Порог срабатывания хроматографа": the total-gas reading above which the summator mode
// starts an analysis, and where that reading comes from. "OK" changes the settings in memory;
// the next settings save writes them.
class TPorogForm : public QDialog {
    Q_OBJECT
public:
    explicit TPorogForm(Configuration& configuration, QWidget* parent = nullptr);

    // Modal; true when confirmed with "OK".
    bool execute();

    // "OK" stores before closing.
    void done(int result) override;

    // Where the computer dialog's network list comes from; tests give a source of their own.
    ComputerSearch::Source computerSource = ComputerSearch::systemSource();

    // "Имя компьютера...": a name confirmed there is the registration computer at once, whatever
    // this dialog ends with.
    void chooseComputer();

    QLineEdit* thresholdEdit() const { return threshold_; }
    QRadioButton* internalSource() const { return internal_; }
    QRadioButton* registrationSource() const { return registration_; }
    TMyButton* computerButton() const { return computer_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }
    TMyButton* helpButton() const { return help_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildWorkGroup();
    QWidget* buildSourceGroup();

    Configuration& configuration_;
    QLineEdit* threshold_ = nullptr;
    QRadioButton* internal_ = nullptr;
    QRadioButton* registration_ = nullptr;
    TMyButton* computer_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
    TMyButton* help_ = nullptr;
};
