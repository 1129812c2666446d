#include "dialogs/Gaztimeform.h"

#include "station/Nivrasystem.h"
#include "views/Windowstyle.h"
#include "widgets/Dlrangeselector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstdint>

namespace {

constexpr std::uint32_t white = 0xFFFFFF;   // red in the low byte
constexpr std::uint32_t yellow = 0x00FFFF;
constexpr std::uint32_t interval = 12910591;
constexpr int rangeWidth = 560;
constexpr int rangeHeight = 44;
constexpr int rangePixels = 16;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TGazTimeForm::TGazTimeForm(NivraSystem& system, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), system_(system), edit_(system.gazOptions)
{
    setWindowTitle(QStringLiteral(" Корректировка времени выхода газа"));

    auto* nameLabel = new QLabel(QStringLiteral("Название газа"), this);
    cbGazes_ = new QComboBox(this);
    cbGazes_->setObjectName("cbGazes");
    cbGazes_->setEditable(false);
    cbGazes_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbGazes_->setMinimumContentsLength(16);

    range_ = new TDLRangeSelector(this);
    range_->setObjectName("Range");
    range_->setMin(GazTimeEdit::scaleMin);
    range_->setMax(GazTimeEdit::scaleMax);
    range_->setScalesCount(GazTimeEdit::scaleMarks);
    range_->setColor(white);
    range_->setSliderColor(yellow);
    range_->setIntervalColor(interval);
    range_->setMinimumSize(rangeWidth, rangeHeight);

    lbRange_ = new QLabel(this);
    lbRange_->setObjectName("lbRange");
    lbRange_->setAlignment(Qt::AlignCenter);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(cbGazes_, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->addLayout(nameRow);
    column->addWidget(range_);
    column->addWidget(lbRange_);

    connect(cbGazes_, &QComboBox::currentIndexChanged, this, &TGazTimeForm::gazesChange);
    connect(range_, &TDLRangeSelector::OnChange, this,
            [this](QObject*, int value1, int value2) { rangeChange(value1, value2); });
    // The options dialog may change the table under this window: its sliders must not carry an
    // old window back on the next drag.
    timesChanged_ = system_.gazOptions.gazTimesChanged.connect([this] {
        if (!storing_ && cbGazes_->count() > 0)
            gazesChange();
    });

    WindowStyle::prepare(*this);
    QFont rangeFont(QStringLiteral("Arial"));
    rangeFont.setPixelSize(rangePixels);
    lbRange_->setFont(rangeFont);
    setEditable(false);
    adjustSize();
}

void TGazTimeForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (cbGazes_->count() > 0)
        return;
    {
        const QSignalBlocker quiet(cbGazes_);
        for (const std::string& line : GazTimeEdit::lines(system_.gazOptions))
            cbGazes_->addItem(qs(line));
        cbGazes_->setCurrentIndex(cbGazes_->count() > 0 ? 0 : -1);
    }
    gazesChange();
}

void TGazTimeForm::gazesChange()
{
    const std::optional<GazTimeEdit::Window> window = edit_.shown(cbGazes_->currentIndex());
    setEditable(window.has_value());
    if (!window)
        return;
    range_->setValue1(GazTimeEdit::onScale(window->start));
    range_->setValue2(GazTimeEdit::onScale(window->end));
    showWindow(*window);
}

void TGazTimeForm::rangeChange(int value1, int value2)
{
    storing_ = true;
    const std::optional<GazTimeEdit::Window> stored = edit_.store(cbGazes_->currentIndex(), {value1, value2});
    storing_ = false;
    if (!stored)
        return;
    showWindow(*stored);
    system_.refreshLiveCurve(true);  // the display marks the new window now, not at its next sample
}

void TGazTimeForm::showWindow(const GazTimeEdit::Window& window)
{
    lbRange_->setText(qs(GazTimeEdit::text(window)));
}

void TGazTimeForm::setEditable(bool on)
{
    range_->setEnabled(on);
    lbRange_->setEnabled(on);
}
