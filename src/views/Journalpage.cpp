#include "views/Journalpage.h"

#include "results/Log.h"
#include "views/Journalentrydialog.h"

#include <QAbstractListModel>
#include <QCursor>
#include <QHBoxLayout>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <boost/signals2/connection.hpp>

namespace {

// The journal's own lines as rows: nothing is copied, a row's text is read when it is shown.
class JournalModel : public QAbstractListModel {
public:
    JournalModel(Log& journal, QObject* parent)
        : QAbstractListModel(parent), journal_(journal), shown_(rowsNow()),
          connection_(journal.changed.connect([this] { follow(); }))
    {
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : shown_; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_)
            return {};
        return QString::fromStdString(journal_.lines()[static_cast<std::size_t>(index.row())]);
    }

private:
    int rowsNow() const { return static_cast<int>(journal_.lines().size()); }

    // Only an addition grows the journal by exactly one line (a trimmed one keeps its size), so
    // that case is one inserted row; any other change shows the journal anew.
    void follow()
    {
        const int now = rowsNow();
        if (now == shown_ + 1) {
            beginInsertRows({}, shown_, shown_);
            shown_ = now;
            endInsertRows();
            return;
        }
        beginResetModel();
        shown_ = now;
        endResetModel();
    }

    Log& journal_;
    int shown_;
    boost::signals2::scoped_connection connection_;
};

QToolButton* addButton(QLayout& row, QWidget& parent, const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(&parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setStatusTip(" " + hint);
    row.addWidget(button);
    return button;
}

} // namespace

JournalPage::JournalPage(Log& journal, QWidget* parent) : QWidget(parent), journal_(journal)
{
    list_ = new QListView(this);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* model = new JournalModel(journal_, list_);
    list_->setModel(model);
    const auto showNewest = [this] { list_->scrollToBottom(); };
    connect(model, &QAbstractItemModel::rowsInserted, list_, showNewest);
    connect(model, &QAbstractItemModel::modelReset, list_, showNewest);

    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(2, 1, 2, 1);
    QToolButton* add = addButton(*tools, *this, "addEntry", QStringLiteral("Добавить..."),
                                 QStringLiteral(" Добавить запись в журнал "));
    QToolButton* clear = addButton(*tools, *this, "clearJournal", QStringLiteral("Очистить..."),
                                   QStringLiteral(" Очистить журнал "));
    tools->addStretch(1);
    connect(add, &QToolButton::clicked, this, [this] { addEntry(QCursor::pos()); });
    connect(clear, &QToolButton::clicked, this, &JournalPage::askClear);

    // The list ignores the context menu; it reaches the page, which offers the same two actions.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &JournalPage::showMenu);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(tools);
    column->addWidget(list_, 1);
}

QListView* JournalPage::list() const
{
    return list_;
}

void JournalPage::addEntry(const QPoint& globalTopLeft)
{
    JournalEntryDialog dialog(this);
    dialog.move(globalTopLeft);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString text = dialog.text();
    if (!text.isEmpty())
        journal_.add(text.toStdString());
}

void JournalPage::askClear()
{
    const auto answer = QMessageBox::question(this, QStringLiteral("  Очистка журнала"),
                                              QStringLiteral("Стереть все записи в журнале?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    journal_.clear();
    journal_.add(Log::journalCleared);
}

void JournalPage::showMenu(const QPoint& position)
{
    const QPoint global = mapToGlobal(position);
    QMenu menu(this);
    const QAction* add = menu.addAction(QStringLiteral("Добавить запись..."));
    const QAction* clear = menu.addAction(QStringLiteral("Очистить..."));
    const QAction* chosen = menu.exec(global);
    if (chosen == add)
        addEntry(global);
    else if (chosen == clear)
        askClear();
}
