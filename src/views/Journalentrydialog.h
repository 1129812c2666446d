#pragma once

#include <QDialog>

class QLineEdit;

// The small window "  Журнал" where the operator types one line for the journal.
class JournalEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit JournalEntryDialog(QWidget* parent = nullptr);

    QString text() const;

private:
    QLineEdit* edit_ = nullptr;
};
