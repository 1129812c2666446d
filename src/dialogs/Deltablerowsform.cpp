#include "dialogs/Deltablerowsform.h"

#include "views/Windowstyle.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

TDelTableRowsForm::TDelTableRowsForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Удаление строк"));

    auto* group = new QGroupBox(QStringLiteral("Что Вы хотите сделать"), this);
    remove_ = new QRadioButton(QStringLiteral("Стереть выделенные строки"), group);
    remove_->setObjectName("remove");
    zero_ = new QRadioButton(QStringLiteral("Заполнить выделенные строки нулями"), group);
    zero_->setObjectName("fillWithZeros");
    auto* choices = new QVBoxLayout(group);
    choices->addWidget(remove_);
    choices->addWidget(zero_);

    delete_ = new QPushButton(QStringLiteral("Удалить"), this);
    delete_->setObjectName("delete");
    delete_->setEnabled(false);
    delete_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName("cancel");
    cancel_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(delete_);
    buttons->addWidget(cancel_);

    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    for (QRadioButton* choice : {remove_, zero_})
        connect(choice, &QRadioButton::toggled, delete_, [this] { delete_->setEnabled(this->choice().has_value()); });
    connect(delete_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    WindowStyle::prepare(*this);
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());
}

std::optional<ResultsTablePage::RowsAction> TDelTableRowsForm::choice() const
{
    if (remove_->isChecked())
        return ResultsTablePage::RowsAction::remove;
    if (zero_->isChecked())
        return ResultsTablePage::RowsAction::fillWithZeros;
    return std::nullopt;
}

std::optional<ResultsTablePage::RowsAction> TDelTableRowsForm::ask(QWidget* parent)
{
    TDelTableRowsForm form(parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.choice();
}
