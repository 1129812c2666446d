#include "dialogs/Netlistform.h"

#include "station/Registrationcomputer.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int listWidth = 220;
constexpr int listHeight = 240;

// Only entries that name a computer can be selected or taken.
constexpr Qt::ItemFlags nameFlags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;

} // namespace

TNetListForm::TNetListForm(ComputerSearch::Source source, const QString& current, QWidget* parent)
    : QDialog(parent), source_(std::move(source)), current_(current.toStdString())
{
    setWindowTitle(QStringLiteral("  Сеть"));
    setModal(true);

    list_ = new QListWidget(this);
    list_->setObjectName("ListBox1");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFixedSize(listWidth, listHeight);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TNetListForm::entryDoubleClicked);

    ok_ = TMyButton::okButton(this);
    cancel_ = TMyButton::cancelButton(this);
    QHBoxLayout* buttons = TMyButton::rowAtRight({ok_, cancel_});

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Список компьютеров"), this));
    column->addWidget(list_);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    WindowStyle::prepare(*this);
    adjustSize();
}

TNetListForm::~TNetListForm()
{
    search_.reset();
}

std::optional<QString> TNetListForm::execute(const QPoint& pointer)
{
    placeAt(pointer);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return chosenName();
}

void TNetListForm::placeAt(const QPoint& pointer)
{
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = this->screen();
    const QRect free = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    const lib::Box place = RegistrationComputer::listPlace(pointer.x(), pointer.y(), size.width(), size.height(),
                                                           {free.left(), free.top(), free.width(), free.height()});
    move(place.left, place.top);
}

std::optional<QString> TNetListForm::chosenName() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return selectedName();
}

std::optional<QString> TNetListForm::selectedName() const
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return QString::fromStdString(RegistrationComputer::nameOf(selected.front()->text().toStdString()));
}

void TNetListForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!searched_)
        startSearch();
}

void TNetListForm::startSearch()
{
    searched_ = true;
    auto* looking = new QListWidgetItem(QString::fromUtf8(searchingEntry), list_);
    looking->setFlags(Qt::ItemIsEnabled);
    // The names come on the search's thread; the window takes them as a queued call, which Qt
    // drops when the window is gone, and the search no longer delivers once it is reset.
    search_ = std::make_unique<ComputerSearch>(source_, [this](std::vector<std::string> names) {
        QMetaObject::invokeMethod(
            this, [this, names = std::move(names)] { showNames(names); }, Qt::QueuedConnection);
    });
}

void TNetListForm::showNames(const std::vector<std::string>& names)
{
    search_.reset();
    list_->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(RegistrationComputer::entry(name)), list_);
        item->setFlags(nameFlags);
    }
    if (const auto index = RegistrationComputer::entryOf(names, current_)) {
        QListWidgetItem* item = list_->item(static_cast<int>(*index));
        list_->setCurrentItem(item);
        list_->scrollToItem(item);
    }
}

void TNetListForm::entryDoubleClicked(QListWidgetItem* item)
{
    if (!item || !(item->flags() & Qt::ItemIsSelectable))
        return;
    list_->setCurrentItem(item);
    accept();
}
