#include "views/Summatorchart.h"

#include "chromatogram/Summcurve.h"
#include "chromatogram/Summcurveseries.h"
#include "library/Locker.h"
#include "library/Mytime.h"
#include "platform/Hugepages.h"
#include "settings/Configuration.h"
#include "views/Summatortimeticker.h"
#include "views/Windowstyle.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace {

const QColor summatorColour(0xFF, 0, 0);
const QColor labelBackground(0xFF, 0xFF, 0xE1);
constexpr int axisFontSize = 7;
// Room for a two-line time label and the gap to the next one.
constexpr int pixelsPerTick = 64;
// A day of readings beyond the loaded trend, so the first day's appends never move the points.
constexpr std::size_t appendHeadroom = 86400;
// The label sits this far (pixels) from its point, over a short leader line.
constexpr double labelReach = 14;
constexpr double labelRise = -10;

QString qtext(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

double now()
{
    return lib::toDateTime(lib::localSecondsNow());
}

bool usable(double time, double value)
{
    return std::isfinite(time) && std::isfinite(value);
}

} // namespace

// Collects the trend's points for the graph in one array sized once, and the points whose
// label the operator asked for. Runs under the trend's lock.
class SummatorChart::GraphFill : public SummCurveSeries {
public:
    explicit GraphFill(const TSummCurve& trend) : trend_(trend) {}

    void clear() override
    {
        points_.clear();
        marks_.clear();
        next_ = 0;
        cleared_ = true;
        complete_ = true;
        inOrder_ = true;
    }

    void reserve(std::size_t count) override
    {
        points_.reserve(static_cast<qsizetype>(count + appendHeadroom));
        const auto bytes = static_cast<std::size_t>(points_.capacity()) * sizeof(QCPGraphData);
        platform::preferHugePages(points_.constData(), bytes);
    }

    void add(double value, double time, std::string_view label) override
    {
        const std::size_t index = next_++;
        // A damaged file may hold anything; a time that is not a number would break the
        // graph's sorted order.
        if (!usable(time, value)) {
            complete_ = false;
            return;
        }
        if (!points_.isEmpty() && time < points_.constLast().key)
            inOrder_ = false;
        points_.append(QCPGraphData(time, value));
        if (trend_.markShown(index))
            marks_.push_back({index, time, value, qtext(label)});
    }

    // Only the labels the operator asked for are shown: the other depths need no text.
    bool showsLabel(std::size_t index) const override { return trend_.markShown(index); }

    bool cleared() const { return cleared_; }
    bool inOrder() const { return inOrder_; }
    bool sameIndexes() const { return complete_ && inOrder_; }
    QVector<QCPGraphData>& points() { return points_; }
    std::vector<Mark>& marks() { return marks_; }

private:
    const TSummCurve& trend_;
    QVector<QCPGraphData> points_;
    std::vector<Mark> marks_;
    std::size_t next_ = 0;
    bool cleared_ = false;
    bool complete_ = true;
    bool inOrder_ = true;
};

SummatorChart::SummatorChart(TSummCurve& trend, lib::lock_object& trendLock, Configuration& configuration,
                             QWidget* parent)
    : QGroupBox(QStringLiteral("Газосумматор"), parent),
      trend_(trend),
      trendLock_(trendLock),
      configuration_(configuration)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(buildScaleList());
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(buildPlot(), 1);
    scroll_ = new QScrollBar(Qt::Vertical, this);
    row->addWidget(scroll_);
    layout->addLayout(row, 1);
    layout->addWidget(buildCursorBox());

    connect(scales_, &QComboBox::currentIndexChanged, this, &SummatorChart::showScale);
    connect(scroll_, &QScrollBar::valueChanged, this, &SummatorChart::scrollTo);
    WindowStyle::prepare(*this);
    applyWindow();
}

SummatorChart::~SummatorChart() = default;

QWidget* SummatorChart::buildScaleList()
{
    scales_ = new QComboBox(this);
    for (const SummCurveWindow::TimeScale& scale : SummCurveWindow::timeScales)
        scales_->addItem(qtext(scale.caption));
    return scales_;
}

QWidget* SummatorChart::buildPlot()
{
    plot_ = new QCustomPlot(this);
    plot_->setMinimumHeight(120);
    QCPAxis* time = plot_->yAxis;
    QCPAxis* value = plot_->xAxis;
    graph_ = plot_->addGraph(time, value);
    graph_->setPen(QPen(summatorColour, 1));
    graph_->setAntialiased(false);

    const QFont axisFont(WindowStyle::fontFamily(), axisFontSize);
    time->setRangeReversed(true);
    time->setTicker(QSharedPointer<SummatorTimeTicker>::create([this](double t) { return depthLabelAt(t); }));
    time->setTickLabelFont(axisFont);
    time->setSubTicks(true);
    value->setTickLabelFont(axisFont);
    value->setRange(SummCurveWindow::defaultValueMin, SummCurveWindow::defaultValueMax);

    // The summator axis moves with the mouse; time moves only with the scale and the scroll bar.
    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_->axisRect()->setRangeDrag(Qt::Horizontal);
    plot_->axisRect()->setRangeZoom(Qt::Horizontal);

    connect(plot_, &QCustomPlot::plottableDoubleClick, this, &SummatorChart::showLabelAt);
    connect(plot_, &QCustomPlot::itemDoubleClick, this,
            [this](QCPAbstractItem* item, QMouseEvent*) { hideLabel(item); });
    connect(plot_, &QCustomPlot::mouseMove, this, &SummatorChart::showCursor);
    connect(value, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        for (const Label& label : labels_)
            placeLabel(label);
    });
    plot_->installEventFilter(this);
    return plot_;
}

QWidget* SummatorChart::buildCursorBox()
{
    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    box->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    grid->setColumnStretch(1, 1);
    const auto row = [&](int index, const QString& caption, const char* name) {
        auto* label = new QLabel(caption, box);
        WindowStyle::setTag(*label, 3);
        grid->addWidget(label, index, 0);
        auto* value = new QLabel(box);
        value->setObjectName(QLatin1String(name));
        // A long text must not widen the panel under the operator's mouse.
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        WindowStyle::setTag(*value, 2);
        grid->addWidget(value, index, 1);
        return value;
    };
    cursorTime_ = row(0, QStringLiteral("Время:"), "cursorTime");
    cursorDepth_ = row(1, QStringLiteral("Глубина:"), "cursorDepth");
    cursorValue_ = row(2, QStringLiteral("Сумм. газ:"), "cursorValue");
    return box;
}

void SummatorChart::restorePlacement()
{
    preferredWidth_ = SummCurveWindow::restoredWidth(configuration_.summatorWinWidth);
    resize(preferredWidth_, height());
    updateGeometry();
    scales_->setCurrentIndex(static_cast<int>(SummCurveWindow::scaleIndex(configuration_.summatorWinScale)));
    const SummCurveWindow::ValueRange range =
        SummCurveWindow::valueRange(configuration_.summatorWinXmin, configuration_.summatorWinXmax);
    plot_->xAxis->setRange(range.min, range.max);
}

void SummatorChart::storePlacement()
{
    configuration_.summatorWinWidth = SummCurveWindow::storedWidth(width(), configuration_.summatorWinWidth);
    configuration_.summatorWinScale = static_cast<std::int32_t>(window_.scale());
    const QCPRange range = plot_->xAxis->range();
    configuration_.summatorWinXmin = static_cast<float>(range.lower);
    configuration_.summatorWinXmax = static_cast<float>(range.upper);
}

QSize SummatorChart::sizeHint() const
{
    return {preferredWidth_, QGroupBox::sizeHint().height()};
}

void SummatorChart::fill()
{
    GraphFill series(trend_);
    double first = 0;
    double last = 0;
    {
        // The whole pass under the lock: at start-up, before the summator thread runs; a reading
        // of the chromatograph's own summator waits a few tens of milliseconds at most.
        lib::Locker hold(trendLock_);
        trend_.fillSeries(series);
        copied_ = trend_.size();
        first = trend_.firstTime();
        last = trend_.lastTime();
    }
    if (series.cleared()) {
        // The graph takes over the array as it is, with its room for the appends to come.
        graph_->data()->set(series.points(), series.inOrder());
        series.points() = {};
        sameIndexes_ = series.sameIndexes();
        marks_ = std::move(series.marks());
        removeLabels();
    }
    if (copied_ == 0)
        first = last = now();
    window_.setExtent(first, last);
    showScale(scales_->currentIndex());
    scrollTo(scroll_->value());
}

void SummatorChart::takeNewReadings()
{
    fresh_.clear();
    double first = 0;
    double last = 0;
    bool replaced = false;
    {
        lib::Locker hold(trendLock_);
        const std::size_t total = trend_.size();
        replaced = total < copied_;
        if (total > copied_) {
            const SummCurvePoint* points = trend_.points().data();
            fresh_.assign(points + copied_, points + total);
            copied_ = total;
            first = trend_.firstTime();
            last = trend_.lastTime();
        }
    }
    if (replaced) {
        fill();
        return;
    }
    if (fresh_.empty())
        return;

    QCPGraphDataContainer& data = *graph_->data();
    bool inView = false;
    for (const SummCurvePoint& point : fresh_) {
        if (!usable(point.time, point.value)) {
            sameIndexes_ = false;
            continue;
        }
        // An earlier time (the clock set back) is sorted in by the graph, out of the trend's order.
        if (!data.isEmpty() && point.time < (data.constEnd() - 1)->key)
            sameIndexes_ = false;
        data.add(QCPGraphData(point.time, point.value));
        inView = inView || (point.time >= window_.top() && point.time <= window_.bottom());
    }
    const double topBefore = window_.top();
    window_.setExtent(first, last);
    if (inView || window_.top() != topBefore)
        applyWindow();
    else
        syncScrollBar();
}

void SummatorChart::showScale(int index)
{
    if (index < 0)
        return;
    window_.setScale(static_cast<std::size_t>(index));
    applyWindow();
}

void SummatorChart::scrollTo(int position)
{
    window_.setPosition(position);
    applyWindow();
}

void SummatorChart::applyWindow()
{
    plot_->yAxis->setRange(window_.top(), window_.bottom());
    syncScrollBar();
    showLabelsInView();
    redraw();
}

// A hidden chart (no summator window) is drawn when it is shown, not on every reading.
void SummatorChart::redraw()
{
    if (isVisible())
        plot_->replot(QCustomPlot::rpQueuedReplot);
}

void SummatorChart::showEvent(QShowEvent* event)
{
    QGroupBox::showEvent(event);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void SummatorChart::syncScrollBar()
{
    const QSignalBlocker quiet(scroll_);
    scroll_->setRange(0, window_.maxPosition());
    scroll_->setPageStep(window_.pageStep());
    scroll_->setSingleStep(window_.singleStep());
    scroll_->setValue(window_.position());
}

void SummatorChart::showLabelsInView()
{
    std::vector<const Mark*> wanted;
    for (const Mark& mark : marks_)
        if (!mark.text.isEmpty() && mark.time >= window_.top() && mark.time <= window_.bottom())
            wanted.push_back(&mark);
    const bool unchanged = std::equal(wanted.begin(), wanted.end(), labels_.begin(), labels_.end(),
                                      [](const Mark* mark, const Label& label) { return mark->index == label.index; });
    if (unchanged)
        return;

    removeLabels();
    QFont font(WindowStyle::fontFamily(), axisFontSize);
    for (const Mark* mark : wanted) {
        auto* line = new QCPItemLine(plot_);
        line->setPen(QPen(Qt::black, 1));
        line->start->setCoords(mark->value, mark->time);
        line->end->setType(QCPItemPosition::ptAbsolute);
        line->end->setParentAnchor(line->start);

        auto* text = new QCPItemText(plot_);
        text->setText(mark->text);
        text->setFont(font);
        text->setColor(Qt::black);
        text->setPen(QPen(Qt::black, 1));
        text->setBrush(labelBackground);
        text->setPadding(QMargins(2, 1, 2, 1));
        text->position->setType(QCPItemPosition::ptAbsolute);
        text->position->setParentAnchor(line->end);
        text->position->setCoords(0, 0);

        labels_.push_back({mark->index, text, line});
        placeLabel(labels_.back());
    }
}

// Towards the middle of the plot, so a label near either edge is not cut off.
void SummatorChart::placeLabel(const Label& label)
{
    const bool leftward = label.line->start->coords().x() > plot_->xAxis->range().center();
    label.line->end->setCoords(leftward ? -labelReach : labelReach, labelRise);
    label.text->setPositionAlignment((leftward ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void SummatorChart::removeLabels()
{
    for (const Label& label : labels_) {
        plot_->removeItem(label.text);
        plot_->removeItem(label.line);
    }
    labels_.clear();
}

std::vector<std::size_t> SummatorChart::shownLabels() const
{
    std::vector<std::size_t> indexes;
    for (const Label& label : labels_)
        indexes.push_back(label.index);
    return indexes;
}

QCPItemText* SummatorChart::labelOf(std::size_t index) const
{
    for (const Label& label : labels_)
        if (label.index == index)
            return label.text;
    return nullptr;
}

void SummatorChart::showLabelAt(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event)
{
    if (plottable != graph_ || dataIndex < 0 || dataIndex >= graph_->dataCount())
        return;
    const QCPGraphData point = *graph_->data()->at(dataIndex);
    // Near the line but not near a point of it (a long stroke over a gap) is not a point.
    const QPointF pixel = graph_->coordsToPixels(point.key, point.value);
    if (QLineF(pixel, event->position()).length() > 2 * plot_->selectionTolerance())
        return;

    std::optional<Mark> mark;
    {
        lib::Locker hold(trendLock_);
        if (const auto index = trendIndexOf(dataIndex, point.key, point.value)) {
            trend_.setMarkShown(*index, true);
            mark = Mark{*index, point.key, point.value,
                        qtext(SummCurveWindow::depthText(trend_.points()[*index].depth))};
        }
    }
    if (!mark)
        return;
    const bool known = std::any_of(marks_.begin(), marks_.end(), [&](const Mark& m) { return m.index == mark->index; });
    if (!known)
        marks_.push_back(*mark);
    showLabelsInView();
    redraw();
}

void SummatorChart::hideLabel(QCPAbstractItem* item)
{
    const auto label = std::find_if(labels_.begin(), labels_.end(),
                                    [&](const Label& l) { return l.text == item || l.line == item; });
    if (label == labels_.end())
        return;
    const std::size_t index = label->index;
    {
        lib::Locker hold(trendLock_);
        trend_.setMarkShown(index, false);
    }
    std::erase_if(marks_, [&](const Mark& mark) { return mark.index == index; });
    showLabelsInView();
    redraw();
}

// Under the trend's lock.
std::optional<std::size_t> SummatorChart::trendIndexOf(int dataIndex, double time, double value) const
{
    const std::size_t size = trend_.size();
    const SummCurvePoint* points = trend_.points().data();
    const auto index = static_cast<std::size_t>(dataIndex);
    if (sameIndexes_ && index < size && points[index].time == time)
        return index;
    // The graph's order differs from the trend's: look the point up by its time and reading.
    for (std::size_t i = 0; i < size; ++i)
        if (points[i].time == time && static_cast<double>(points[i].value) == value)
            return i;
    return std::nullopt;
}

void SummatorChart::showCursor(QMouseEvent* event)
{
    if (!plot_->axisRect()->rect().contains(event->position().toPoint()))
        return;
    const double time = plot_->yAxis->pixelToCoord(event->position().y());
    SummCurveWindow::CursorTexts texts;
    {
        lib::Locker hold(trendLock_);
        texts = SummCurveWindow::cursorTexts(trend_, time, configuration_.summatorPrecision);
    }
    cursorTime_->setText(QString::fromStdString(texts.time));
    cursorDepth_->setText(QString::fromStdString(texts.depth));
    cursorValue_->setText(QString::fromStdString(texts.value));
}

QString SummatorChart::depthLabelAt(double time) const
{
    float depth = 0;
    {
        lib::Locker hold(trendLock_);
        depth = trend_.depthAt(time);
    }
    return QString::fromStdString(SummCurveWindow::depthText(depth));
}

void SummatorChart::fitTickCount()
{
    plot_->yAxis->ticker()->setTickCount(std::max(2, plot_->height() / pixelsPerTick));
}

bool SummatorChart::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == plot_) {
        if (event->type() == QEvent::Resize)
            fitTickCount();
        // The wheel scrolls through time; with Ctrl it zooms the summator axis.
        if (event->type() == QEvent::Wheel && !(static_cast<QWheelEvent*>(event)->modifiers() & Qt::ControlModifier)) {
            QCoreApplication::sendEvent(scroll_, event);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}
