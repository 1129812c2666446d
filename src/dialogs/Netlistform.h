#pragma once

#include "station/Computersearch.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QPoint;
class TMyButton;

// "  Сеть": the computers of the network to pick the registration computer from. The list is
// searched once the window is shown, off the window thread; "…" stands in it meanwhile.
class TNetListForm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* searchingEntry = "…";

    TNetListForm(ComputerSearch::Source source, const QString& current, QWidget* parent = nullptr);
    // Drops a search still running; its result then goes nowhere.
    ~TNetListForm() override;

    // Modal, placed at the pointer; the name taken with "OK" or a double click.
    std::optional<QString> execute(const QPoint& pointer);
    void placeAt(const QPoint& pointer);

    // The name of the selected entry, when the window was closed with "OK".
    std::optional<QString> chosenName() const;
    bool searching() const { return search_ != nullptr; }

    QListWidget* list() const { return list_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startSearch();
    void showNames(const std::vector<std::string>& names);
    void entryDoubleClicked(QListWidgetItem* item);
    std::optional<QString> selectedName() const;

    ComputerSearch::Source source_;
    std::string current_;
    std::unique_ptr<ComputerSearch> search_;
    bool searched_ = false;
    QListWidget* list_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
};
