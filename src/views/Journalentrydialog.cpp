#include "views/Journalentrydialog.h"

#include "views/Windowstyle.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

JournalEntryDialog::JournalEntryDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  Журнал"));
    auto* label = new QLabel(QStringLiteral("Введите строчку для журнала"), this);
    edit_ = new QLineEdit(this);
    edit_->setMinimumWidth(320);
    label->setBuddy(edit_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    column->addWidget(edit_);
    column->addWidget(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    WindowStyle::prepare(*this);
}

QString JournalEntryDialog::text() const
{
    return edit_->text();
}
