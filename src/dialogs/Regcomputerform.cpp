#include "dialogs/Regcomputerform.h"

#include "dialogs/Netlistform.h"
#include "station/Registrationcomputer.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

TRegComputerForm::TRegComputerForm(QWidget* parent, const QString& name) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  Дополнительная настройка"));
    setModal(true);

    edit_ = new QLineEdit(name, this);
    edit_->setObjectName("reg_computer_name");
    edit_->setMinimumWidth(240);
    connect(edit_, &QLineEdit::textChanged, this, &TRegComputerForm::nameEdited);

    choose_ = new TMyButton(QStringLiteral("Выбрать..."), this);
    connect(choose_, &TMyButton::clicked, this, [this] { chooseFromNetwork(QCursor::pos()); });
    local_ = new TMyButton(QStringLiteral("По умолчанию (локальный компьютер)"), this);
    connect(local_, &TMyButton::clicked, this,
            [this] { edit_->setText(QString::fromUtf8(RegistrationComputer::loopbackName)); });
    ok_ = TMyButton::okButton(this);
    cancel_ = TMyButton::cancelButton(this);
    for (TMyButton* button : {choose_, ok_, cancel_})
        button->setMinimumWidth(90);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(new QLabel(QStringLiteral("Имя компьютера с программой \"Тирма-32\""), this), 0, 0, 1, 3);
    grid->addWidget(edit_, 1, 0, 1, 2);
    grid->addWidget(choose_, 1, 2);
    grid->addWidget(local_, 2, 0);
    grid->addWidget(ok_, 2, 1);
    grid->addWidget(cancel_, 2, 2);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    nameEdited(edit_->text());
    WindowStyle::prepare(*this);
    adjustSize();
}

bool TRegComputerForm::execute()
{
    return exec() == QDialog::Accepted;
}

QString TRegComputerForm::name() const
{
    return QString::fromStdString(RegistrationComputer::storedName(edit_->text().toStdString()));
}

void TRegComputerForm::chooseFromNetwork(const QPoint& pointer)
{
    TNetListForm list(computerSource, name(), this);
    if (const std::optional<QString> chosen = list.execute(pointer))
        edit_->setText(*chosen);
}

void TRegComputerForm::nameEdited(const QString& text)
{
    ok_->setEnabled(RegistrationComputer::canConfirm(text.toStdString()));
}

void TRegComputerForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}
