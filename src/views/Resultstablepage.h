#pragma once

#include "results/Gridprintlayout.h"

#include <QWidget>

#include <boost/signals2/connection.hpp>

#include <functional>
#include <optional>
#include <utility>

class Configuration;
class QAbstractButton;
class QLabel;
class QMenu;
class QTableView;
class ResultsTableModel;
class ResultsTableView;
class TextGrid;

// The page "Таблица": one row per analysis of the well, with the table menu ("Редакт. >>" and the
// context menu), the column order button "Реверс" and editing in place. The two confirmations
// are windows of a higher layer; the main window hands them in as the two hooks.
class ResultsTablePage : public QWidget {
    Q_OBJECT
public:
    enum class RowsAction { remove, fillWithZeros };
    // True: clear the whole table.
    using ClearConfirmation = std::function<bool()>;
    // What to do with the selected rows; nothing: leave them.
    using RowsChoice = std::function<std::optional<RowsAction>()>;

    ResultsTablePage(TextGrid& grid, const Configuration& configuration, QWidget* parent = nullptr);
    ~ResultsTablePage() override;

    // Without a hook the command does nothing.
    void setClearConfirmation(ClearConfirmation confirm);
    void setRowsChoice(RowsChoice choose);

    // "имя_шрифта" and "размер_шрифта_таблицы" as the settings hold them now.
    void applyFont();

    // The table menu's commands.
    void clearTable();
    void changeSelectedRows();
    void toggleEditMode();
    // Opens the table menu under "Редакт. >>".
    void showTableMenu();

    QTableView* table() const;
    QMenu* tableMenu() const;
    // "Распечатать..."; whoever offers printing enables it.
    QAction* printAction() const;
    const Configuration& configuration() const { return configuration_; }
    // The table as it is printed: the header row, one row per record (an empty one when there
    // are none), the depth column as the row titles, and the selected cells.
    GridPrintLayout::Table printTable() const;
    QAbstractButton* reverseButton() const;
    QAbstractButton* editButton() const;
    // 'После изменения значения следует нажимать клавишу "Enter"', and the refusal of a text that
    // is no number.
    QLabel* editHint() const;
    QLabel* refusal() const;

signals:
    // "Распечатать..."; the item stays disabled until printing is offered.
    void printRequested();

private:
    QWidget* buildToolRow();
    void buildMenu();
    void refresh();
    void applyEditMode();
    void applySizes();
    void showSelectedRow();
    void openEditor();
    void showRefusal(const QString& typed);
    void rememberCurrentRow(const QModelIndex& current);
    std::optional<std::pair<int, int>> selectedRows() const;
    GridPrintLayout::Selection printSelection() const;
    void fail(const QString& text);

    TextGrid& grid_;
    const Configuration& configuration_;
    ClearConfirmation confirmClear_;
    RowsChoice chooseRowsAction_;
    ResultsTableModel* model_ = nullptr;
    ResultsTableView* table_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* editModeAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAbstractButton* editButton_ = nullptr;
    QAbstractButton* reverse_ = nullptr;
    QLabel* editHint_ = nullptr;
    QLabel* refusal_ = nullptr;
    std::optional<bool> shownEditMode_;
    boost::signals2::scoped_connection redrawn_;
    boost::signals2::scoped_connection cellChanged_;
};
