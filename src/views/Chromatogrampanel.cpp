#include "views/Chromatogrampanel.h"

#include "chromatogram/Chromatogramdrawing.h"
#include "views/Paintersurface.h"
#include "views/Windowstyle.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct HandleLook {
    MyGraphics::RangeHandle handle;
    const char* name;
    const char* hint;
};
// Top to bottom, as they stand beside the plot.
constexpr std::array<HandleLook, 3> handleLooks{{
    {MyGraphics::RangeHandle::upper, "upperHandle", " Перетащите для смены верхней границы "},
    {MyGraphics::RangeHandle::middle, "middleHandle", " Перетащите для сдвига шкалы "},
    {MyGraphics::RangeHandle::lower, "lowerHandle", " Перетащите для смены нижней границы "},
}};

// The status line shows the hint after a blank.
void setHint(QWidget& widget, const QString& hint)
{
    widget.setToolTip(hint);
    widget.setStatusTip(" " + hint);
}

QToolButton* addButton(QWidget& bar, const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(&bar);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    setHint(*button, hint);
    bar.layout()->addWidget(button);
    return button;
}

} // namespace

ChromatogramPanel::ChromatogramPanel(MyGraphics& curve, const Configuration& configuration, const GazOptions& gases,
                                     QWidget* parent)
    : QWidget(parent), curve_(curve), configuration_(configuration), gases_(gases)
{
    plot_ = new QWidget(this);
    plot_->setObjectName("plot");
    // The drawing fills the whole rectangle: no background to erase first.
    plot_->setAttribute(Qt::WA_OpaquePaintEvent);
    plot_->setMinimumSize(240, 160);
    plot_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    plot_->installEventFilter(this);

    auto* chart = new QHBoxLayout;
    chart->setContentsMargins(0, 0, 0, 0);
    chart->setSpacing(1);
    chart->addWidget(buildHandles());
    chart->addWidget(plot_, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolBar());
    column->addLayout(chart, 1);
    showAutomatic();
}

QWidget* ChromatogramPanel::buildToolBar()
{
    auto* bar = new QFrame(this);
    bar->setObjectName("chromatogramToolBar");
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, WindowStyle::darker(palette.color(QPalette::Window)));
    bar->setPalette(palette);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);

    QToolButton* in = addButton(*bar, "zoomIn", QStringLiteral("+"), QStringLiteral(" Увеличить масштаб "));
    QToolButton* out = addButton(*bar, "zoomOut", QStringLiteral("−"), QStringLiteral(" Уменьшить масштаб "));
    automatic_ = addButton(*bar, "automatic", QStringLiteral("Авто"), QStringLiteral(" Автоматический масштаб "));
    automatic_->setCheckable(true);
    print_ = addButton(*bar, "print", QStringLiteral("Печать..."), QStringLiteral(" Распечатать хроматограмму "));
    print_->setEnabled(false);
    for (QToolButton* zoomButton : {in, out}) {
        QFont font = zoomButton->font();
        font.setBold(true);
        zoomButton->setFont(font);
    }

    adc_ = new QLabel(QStringLiteral("АЦП=0000h ДИАП=0"), bar);
    adc_->setObjectName("adc");
    setHint(*adc_, QStringLiteral(" Код и диапазон АЦП "));
    row->addSpacing(12);
    row->addWidget(adc_);
    row->addStretch(1);

    connect(in, &QToolButton::clicked, this, [this] { zoom(&MyGraphics::zoomIn); });
    connect(out, &QToolButton::clicked, this, [this] { zoom(&MyGraphics::zoomOut); });
    connect(automatic_, &QToolButton::clicked, this, [this] {
        curve_.automaticRange();
        plot_->update();
        showAutomatic();
    });
    connect(print_, &QToolButton::clicked, this, &ChromatogramPanel::printRequested);
    return bar;
}

QWidget* ChromatogramPanel::buildHandles()
{
    auto* strip = new QWidget(this);
    auto* column = new QVBoxLayout(strip);
    column->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < handleLooks.size(); ++i) {
        auto* handle = new QFrame(strip);
        handle->setObjectName(QLatin1String(handleLooks[i].name));
        handle->setFrameStyle(QFrame::Panel | QFrame::Raised);
        handle->setLineWidth(2);
        handle->setFixedSize(12, 24);
        handle->setAutoFillBackground(true);
        handle->setBackgroundRole(QPalette::Button);
        handle->setCursor(Qt::SizeVerCursor);
        setHint(*handle, QString::fromUtf8(handleLooks[i].hint));
        handle->installEventFilter(this);
        if (i > 0)
            column->addStretch(1);
        column->addWidget(handle);
        handles_[i] = handle;
    }
    return strip;
}

void ChromatogramPanel::refresh()
{
    plot_->update();
    showAutomatic();
}

void ChromatogramPanel::setResultsHidden(bool hidden)
{
    if (hidden == resultsHidden_)
        return;
    resultsHidden_ = hidden;
    plot_->update();
}

void ChromatogramPanel::setAdcText(const QString& text)
{
    adc_->setText(text);
}

void ChromatogramPanel::setAdcVisible(bool visible)
{
    adc_->setVisible(visible);
}

QAbstractButton* ChromatogramPanel::printButton() const
{
    return print_;
}

QWidget* ChromatogramPanel::plot() const
{
    return plot_;
}

bool ChromatogramPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == plot_ && event->type() == QEvent::Paint) {
        paintPlot();
        return true;
    }
    for (std::size_t i = 0; i < handles_.size(); ++i)
        if (watched == handles_[i])
            return dragEvent(i, event);
    return QWidget::eventFilter(watched, event);
}

// The settings and the gas table may change between paints; the style is a few values and labels.
void ChromatogramPanel::paintPlot()
{
    ChromatogramDrawing::Style style = ChromatogramDrawing::Style::from(configuration_, gases_);
    style.resultsHidden = resultsHidden_;
    QPainter painter(plot_);
    PainterSurface surface(painter);
    ChromatogramDrawing(curve_, surface, style).draw({0, 0, plot_->width(), plot_->height()}, true, false);
}

// The automatic maximum is brought up to date first: the plot may not have been drawn since the
// curve grew, or ever, while its page was hidden.
void ChromatogramPanel::zoom(bool (MyGraphics::*step)())
{
    curve_.updateAutoMaximum();
    if ((curve_.*step)())
        plot_->update();
    showAutomatic();
}

void ChromatogramPanel::showAutomatic()
{
    automatic_->setChecked(curve_.automatic());
}

// Each mouse move shifts the range by the movement since the previous one; a refused step is
// lost, so the curve stops at the bound and follows again when the mouse comes back.
bool ChromatogramPanel::dragEvent(std::size_t handleIndex, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int y = qRound(mouse->globalPosition().y());
    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragging_ = true;
        dragY_ = y;
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::LeftButton)
            dragging_ = false;
        return true;
    }
    if (!dragging_)
        return false;
    const int dy = y - dragY_;
    dragY_ = y;
    curve_.updateAutoMaximum();
    if (dy != 0 && curve_.dragRange(handleLooks[handleIndex].handle, dy, plot_->height()))
        plot_->update();
    showAutomatic();
    return true;
}
