#include "dialogs/Colorselectform.h"

#include "dialogs/Colorselectstrip.h"
#include "views/Windowstyle.h"
#include "widgets/Colorselector.h"

#include <QScreen>
#include <QVBoxLayout>

TColorSelectForm::TColorSelectForm(QWidget* parent) : QDialog(parent)
{
    setModal(true);
    selector_ = new TColorSelector(this);
    lineWidth_ = new TColorSelectStrip(TColorSelectStrip::lineWidths, this);
    lineStyle_ = new TColorSelectStrip(TColorSelectStrip::lineStyles, this);
    fill_ = new TColorSelectStrip(TColorSelectStrip::fillStyles, this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    column->addWidget(selector_);
    column->addWidget(lineWidth_);
    column->addWidget(lineStyle_);
    column->addWidget(fill_);
    // The window takes the height of the parts the mode shows.
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(selector_, &TColorSelector::doubleClicked, this, &QDialog::accept);
    for (TColorSelectStrip* strip : {lineWidth_, lineStyle_, fill_})
        connect(strip, &TColorSelectStrip::doubleClicked, this, &QDialog::accept);

    WindowStyle::prepare(*this);
    showSelection(chosen_);
}

void TColorSelectForm::setMode(int mode)
{
    chosen_.setMode(mode);
}

void TColorSelectForm::setColour(std::uint32_t colour)
{
    chosen_.setColour(colour);
}

void TColorSelectForm::setLineWidth(int width)
{
    chosen_.setLineWidth(width);
}

void TColorSelectForm::setFillStyle(int style)
{
    chosen_.setFillStyle(style);
}

void TColorSelectForm::setLineStyle(int style)
{
    chosen_.setLineStyle(style);
}

void TColorSelectForm::showSelection(const lib::ColorSelection& selection)
{
    selector_->setColorValue(selection.colour());
    lineWidth_->setValue(selection.lineWidth());
    lineStyle_->setValue(selection.lineStyle());
    fill_->setValue(selection.fillStyle());
    const int mode = selection.mode();
    lineWidth_->setVisible(mode == lib::ColorSelection::colourAndLine);
    lineStyle_->setVisible(mode == lib::ColorSelection::colourAndLine);
    fill_->setVisible(mode == lib::ColorSelection::colourAndFill);
}

lib::ColorSelection TColorSelectForm::selectionShown() const
{
    lib::ColorSelection selection = chosen_;
    selection.setColour(selector_->colorValue());
    selection.setLineWidth(lineWidth_->value());
    selection.setLineStyle(lineStyle_->value());
    selection.setFillStyle(fill_->value());
    return selection;
}

bool TColorSelectForm::execute(const QString& title, bool titleIsCaption)
{
    showSelection(chosen_);
    setWindowTitle(QString::fromStdString(chosen_.caption(title.toStdString(), titleIsCaption)));
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());
    if (exec() != QDialog::Accepted)
        return false;
    chosen_ = selectionShown();
    return true;
}
