#include "dialogs/Porogform.h"

#include "dialogs/Regcomputerform.h"
#include "settings/Configuration.h"
#include "station/Thresholdoptions.h"
#include "views/Helpviewer.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

TPorogForm::TPorogForm(Configuration& configuration, QWidget* parent) : QDialog(parent), configuration_(configuration)
{
    setWindowTitle(QStringLiteral("  Порог срабатывания хроматографа"));
    setModal(true);

    ok_ = TMyButton::okButton(this);
    cancel_ = TMyButton::cancelButton(this);
    help_ = TMyButton::helpButton(this);
    connect(help_, &TMyButton::clicked, this, [this] { HelpViewer::showTopic(QStringLiteral("SETTINGS_THRESHOLD"), this); });
    QHBoxLayout* buttons = TMyButton::rowAtRight({ok_, cancel_, help_});

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);
    column->addWidget(buildWorkGroup());
    column->addWidget(buildSourceGroup());
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    const ThresholdOptions::Values shown = ThresholdOptions::read(configuration_);
    threshold_->setText(QString::fromStdString(shown.threshold));
    (shown.fromRegistration ? registration_ : internal_)->setChecked(true);

    WindowStyle::prepare(*this);
    adjustSize();
}

QWidget* TPorogForm::buildWorkGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Работа хроматографа"), this);
    // The group keeps the choice between starting regardless of the summator and above the
    // threshold; only the threshold is offered.
    auto* always = new QRadioButton(QStringLiteral("Независимо от показаний газосумматора"), group);
    auto* above = new QRadioButton(QStringLiteral("При показаниях газосумматора более чем"), group);
    always->hide();
    above->hide();

    threshold_ = new QLineEdit(group);
    threshold_->setObjectName("porog_po_summe_value");
    threshold_->setFixedWidth(80);
    threshold_->setAlignment(Qt::AlignRight);
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("При показаниях газосумматора более чем: "), group));
    row->addWidget(threshold_);
    row->addWidget(new QLabel(QStringLiteral("%"), group));
    row->addStretch(1);
    return group;
}

QWidget* TPorogForm::buildSourceGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Источник показаний газосумматора"), this);
    internal_ = new QRadioButton(QStringLiteral("Внутренний газосумматор"), group);
    registration_ = new QRadioButton(QStringLiteral("С программы \"Регистрация\""), group);
    registration_->setObjectName("porog_po_summe_type");
    computer_ = new TMyButton(QStringLiteral("Имя компьютера..."), group);
    computer_->setMinimumWidth(130);
    connect(computer_, &TMyButton::clicked, this, &TPorogForm::chooseComputer);

    auto* second = new QHBoxLayout;
    second->addWidget(registration_);
    second->addStretch(1);
    second->addWidget(computer_);
    auto* column = new QVBoxLayout(group);
    column->addWidget(internal_);
    column->addLayout(second);
    return group;
}

bool TPorogForm::execute()
{
    return exec() == QDialog::Accepted;
}

void TPorogForm::done(int result)
{
    if (result == QDialog::Accepted)
        ThresholdOptions::store(configuration_, {registration_->isChecked(), threshold_->text().toStdString()});
    QDialog::done(result);
}

void TPorogForm::chooseComputer()
{
    TRegComputerForm form(this, QString::fromStdString(configuration_.regComputerName));
    form.computerSource = computerSource;
    if (form.execute())
        configuration_.regComputerName = form.name().toStdString();
}

void TPorogForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}
