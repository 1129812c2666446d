#include "dialogs/Deltableform.h"

#include "views/Windowstyle.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr unsigned yellow = 0x00FFFF;  // 0xBBGGRR
constexpr unsigned red = 0x0000FF;

void setTextColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, role, colour);
    widget.setPalette(palette);
}

} // namespace

TDelTableForm::TDelTableForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  Очистка таблицы"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, WindowStyle::colour(yellow));
    setPalette(palette);
    setAutoFillBackground(true);

    auto* attention = new QLabel(QStringLiteral("ВНИМАНИЕ !"), this);
    attention->setAlignment(Qt::AlignCenter);
    WindowStyle::setTag(*attention, 4);
    QFont large = attention->font();
    large.setPointSize(large.pointSize() + 6);
    attention->setFont(large);
    setTextColour(*attention, QPalette::WindowText, WindowStyle::colour(red));

    pressAgain_ = new QLabel(QStringLiteral("Нажмите кнопку \"Стереть\" ещё раз для очистки записей или \"Отмена\", "
                                            "если Вы не хотите очищать записи"),
                             this);
    pressAgain_->setObjectName("pressAgain");
    pressAgain_->setWordWrap(true);
    pressAgain_->setAlignment(Qt::AlignCenter);
    pressAgain_->hide();

    box_ = new QCheckBox(QStringLiteral("Да, я действительно хочу стереть все записи в таблице"), this);

    erase_ = new QPushButton(QStringLiteral("Стереть..."), this);
    erase_->setObjectName("erase");
    erase_->setEnabled(false);
    erase_->setAutoDefault(false);
    setTextColour(*erase_, QPalette::ButtonText, WindowStyle::colour(red));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName("cancel");
    cancel_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(erase_);
    buttons->addWidget(cancel_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12, 16, 12);
    column->setSpacing(10);
    column->addWidget(attention);
    column->addWidget(pressAgain_);
    column->addWidget(box_);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough that the second text fits in two lines where the check box stood.
    pressAgain_->setMinimumWidth(box_->sizeHint().width());

    connect(box_, &QCheckBox::toggled, erase_, &QPushButton::setEnabled);
    connect(erase_, &QPushButton::clicked, this, &TDelTableForm::erasePressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    WindowStyle::prepare(*this);
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());
}

// The first press asks again; from now on the box cannot be changed and the button closes.
void TDelTableForm::erasePressed()
{
    if (pressedOnce_) {
        accept();
        return;
    }
    pressedOnce_ = true;
    box_->hide();
    pressAgain_->show();
    erase_->setText(QStringLiteral("СТЕРЕТЬ !"));
    QFont bold = erase_->font();
    bold.setBold(true);
    erase_->setFont(bold);
}

bool TDelTableForm::confirmed() const
{
    return result() == QDialog::Accepted && box_->isChecked();
}

bool TDelTableForm::confirm(QWidget* parent)
{
    TDelTableForm form(parent);
    form.exec();
    return form.confirmed();
}
