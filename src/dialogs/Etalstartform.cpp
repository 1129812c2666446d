#include "dialogs/Etalstartform.h"

#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr unsigned blue = 0xFF0000;  // red in the low byte
constexpr int textPoints = 16;
// Wide enough for a long dilution on two or three lines, narrow enough to read at a glance.
constexpr int textWidth = 460;

} // namespace

TEtalStartForm::TEtalStartForm(const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  Внимание!!!"));
    setModal(true);

    text_ = new QLabel(text, this);
    text_->setObjectName(QStringLiteral("lbText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignCenter);
    text_->setFixedWidth(textWidth);

    ok_ = TMyButton::okButton(this);
    cancel_ = TMyButton::cancelButton(this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addSpacing(16);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 14);
    column->setSpacing(20);
    column->addWidget(text_);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    WindowStyle::prepare(*this);
    QFont big = text_->font();
    big.setPointSize(textPoints);
    big.setBold(true);
    text_->setFont(big);
    QPalette palette = text_->palette();
    palette.setColor(QPalette::WindowText, WindowStyle::colour(blue));
    text_->setPalette(palette);
    adjustSize();
}

bool TEtalStartForm::execute()
{
    return exec() == QDialog::Accepted;
}

void TEtalStartForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}
