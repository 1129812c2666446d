#pragma once

#include "views/Resultstablepage.h"

#include <QDialog>

#include <optional>

class QPushButton;
class QRadioButton;

// " Удаление строк": whether the selected rows of the results table are deleted or filled with
// zeros. Neither is chosen at first, and "Удалить" waits for a choice.
class TDelTableRowsForm : public QDialog {
    Q_OBJECT
public:
    explicit TDelTableRowsForm(QWidget* parent = nullptr);

    // Runs the window; the chosen action when closed with "Удалить".
    static std::optional<ResultsTablePage::RowsAction> ask(QWidget* parent);

    // The radio button checked now, if any.
    std::optional<ResultsTablePage::RowsAction> choice() const;

    QRadioButton* removeButton() const { return remove_; }
    QRadioButton* zeroButton() const { return zero_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QRadioButton* remove_ = nullptr;
    QRadioButton* zero_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
