#include "dialogs/Aboutform.h"

#include "settings/Configuration.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr unsigned red = 0x0000FF;  // red in the low byte
constexpr int namePixels = 40;
// The description breaks between words in two lines; the red line stays whole.
constexpr int descriptionWidth = 420;

void setTextColour(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, colour);
    widget.setPalette(palette);
}

} // namespace

TAboutForm::TAboutForm(const Configuration& configuration, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  О программе"));
    setModal(true);

    name_ = new QLabel(QStringLiteral("Nivra"), this);
    name_->setObjectName("name");
    name_->setAlignment(Qt::AlignCenter);

    description_ = new QLabel(
        QStringLiteral("Программа для расчёта концентраций углеводородных компонентов в газо-воздушной смеси.\n\n"
                       "Дата/время компиляции: ")
            + QString::fromStdString(configuration.buildLabel),
        this);
    description_->setObjectName("description");
    description_->setAlignment(Qt::AlignCenter);
    description_->setWordWrap(true);
    description_->setFixedWidth(descriptionWidth);

    modules_ = new QLabel(QStringLiteral("Только для модулей управления, выпущенных после 1 сентября 2002г !"), this);
    modules_->setObjectName("modules");
    modules_->setAlignment(Qt::AlignCenter);
    setTextColour(*modules_, WindowStyle::colour(red));

    exit_ = new TMyButton(QStringLiteral("Выход"), this);
    exit_->setModalResult(TMyButton::mbmrOk);
    exit_->setDefault(true);
    exit_->setCancel(true);
    exit_->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exit_);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12, 16, 12);
    column->setSpacing(10);
    column->addWidget(name_);
    column->addWidget(description_, 0, Qt::AlignHCenter);
    column->addWidget(modules_);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    WindowStyle::prepare(*this);
    QFont large = name_->font();
    large.setPixelSize(namePixels);
    large.setBold(true);
    name_->setFont(large);
    adjustSize();
}

void TAboutForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}
