#pragma once

#include "station/Computersearch.h"

#include <QDialog>

class QLineEdit;
class QPoint;
class TMyButton;

// "  Дополнительная настройка": the name of the computer that runs the registration program,
// typed, set to the local computer or picked from the network list.
class TRegComputerForm : public QDialog {
    Q_OBJECT
public:
    TRegComputerForm(QWidget* parent, const QString& name);

    // Modal; true when confirmed with "OK".
    bool execute();
    // The typed name without surrounding blanks.
    QString name() const;

    // Where the network list comes from; tests give a source of their own.
    ComputerSearch::Source computerSource = ComputerSearch::systemSource();

    // "Выбрать...": the network list at the pointer; an entry taken there replaces the name.
    void chooseFromNetwork(const QPoint& pointer);

    QLineEdit* nameEdit() const { return edit_; }
    TMyButton* chooseButton() const { return choose_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }
    TMyButton* localButton() const { return local_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void nameEdited(const QString& text);

    QLineEdit* edit_ = nullptr;
    TMyButton* choose_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
    TMyButton* local_ = nullptr;
};
