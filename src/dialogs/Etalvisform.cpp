#include "dialogs/Etalvisform.h"

#include "analysis/Gazopts.h"
#include "views/Paintersurface.h"
#include "views/Placementstore.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr QSize firstSize(780, 620);
constexpr QSize smallestPlot(420, 260);
constexpr int gridRows = static_cast<int>(EtalVisPlot::gridRowTitles.size());

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TEtalVisForm::TEtalVisForm(std::vector<GazEtalLine> entries, double degassing, const GazOptions& gases,
                           std::filesystem::path settingsPath, QWidget* parent)
    : QDialog(parent), gases_(gases), settingsPath_(std::move(settingsPath)), plot_(std::move(entries), degassing)
{
    setWindowTitle(QStringLiteral("  Просмотр коэффицентов калибровки"));
    setModal(true);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName("TabControl1");
    tabs_->setExpanding(false);
    for (int i = 0; i < gases_.count(); ++i)
        tabs_->addTab(qs(gases_.gas(static_cast<std::size_t>(i)).label));

    auto* dependence = new QLabel(QStringLiteral("Зависимость площади от концентрации:"), this);
    gasLabel_ = new QLabel(this);
    gasLabel_->setObjectName("lbGaz");
    WindowStyle::setTag(*gasLabel_, 1);
    auto* caption = new QHBoxLayout;
    caption->addWidget(dependence);
    caption->addWidget(gasLabel_);
    caption->addStretch(1);

    auto* coefficients = new QLabel(QStringLiteral("Коэффициенты калибровки:"), this);

    ok_ = TMyButton::okButton(this);
    ok_->setText(QStringLiteral("Применить"));
    cancel_ = TMyButton::cancelButton(this);
    cancel_->setText(QStringLiteral("Отменить"));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(6);
    column->addWidget(tabs_);
    column->addLayout(caption);
    column->addWidget(buildPlotArea(), 1);
    column->addSpacing(4);
    column->addWidget(coefficients);
    column->addWidget(buildGrid());
    column->addLayout(TMyButton::rowAtRight({ok_, cancel_}));

    WindowStyle::prepare(*this);
    connect(tabs_, &QTabBar::currentChanged, this, &TEtalVisForm::showGas);
    showGas(tabs_->currentIndex());
    loadPlacement();
}

QWidget* TEtalVisForm::buildPlotArea()
{
    plotArea_ = new QWidget(this);
    plotArea_->setObjectName("PaintBox1");
    plotArea_->setMinimumSize(smallestPlot);
    plotArea_->setAttribute(Qt::WA_OpaquePaintEvent);
    plotArea_->setCursor(Qt::SizeVerCursor);
    plotArea_->installEventFilter(this);
    return plotArea_;
}

TMyGrid* TEtalVisForm::buildGrid()
{
    grid_ = new TMyGrid(this);
    grid_->setObjectName("StringGrid1");
    grid_->setFixedCols(1);
    grid_->setOnGetCellProps([](TMyGrid&, int, int, int& kind) { kind = TMyGrid::ckReadOnly; });
    grid_->setAlignment(Qt::AlignHCenter);
    grid_->setUseSelColor(false);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(grid_->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &TEtalVisForm::fitGridHeight);
    fillGrid();
    return grid_;
}

bool TEtalVisForm::execute()
{
    return exec() == QDialog::Accepted;
}

void TEtalVisForm::done(int result)
{
    plot_.release();
    savePlacement();
    QDialog::done(result);
}

// A gas table without gases leaves no tab current: the view then shows the first gas's
// (absent) points, an empty plot.
void TEtalVisForm::showGas(int index)
{
    const std::size_t gas = index >= 0 ? static_cast<std::size_t>(index) : 0;
    plot_.setGas(gas);
    const QString label = index >= 0 ? qs(gases_.gas(gas).label) : QString();
    gasLabel_->setText(QStringLiteral("Газ - \"%1\"").arg(label));
    fillGrid();
    plotArea_->update();
}

void TEtalVisForm::fillGrid()
{
    if (!grid_)
        return;
    const std::vector<EtalVisPlot::GridColumn> columns = plot_.gridColumns();
    grid_->setColCount(static_cast<int>(columns.size()) + 1);
    grid_->setRowCount(gridRows);
    QStringList top{qs(EtalVisPlot::gridRowTitles[0])};
    for (const EtalVisPlot::GridColumn& entry : columns)
        top << qs(" " + entry[0] + " ");
    grid_->setTopStrings(top);

    const QFontMetrics metrics = grid_->fontMetrics();
    int titleWidth = 0;
    for (int row = 1; row < gridRows; ++row) {
        const QString title = qs(EtalVisPlot::gridRowTitles[static_cast<std::size_t>(row)]);
        grid_->setCell(0, row, title);
        titleWidth = std::max(titleWidth, metrics.horizontalAdvance(title));
    }
    grid_->setColWidth(0, titleWidth + 12);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        int width = metrics.horizontalAdvance(top[at]);
        for (int row = 1; row < gridRows; ++row) {
            const QString text = qs(columns[i][static_cast<std::size_t>(row)]);
            grid_->setCell(at, row, text);
            width = std::max(width, metrics.horizontalAdvance(text));
        }
        grid_->setColWidth(at, width + 16);
    }
    fitGridHeight();
}

// The header and the three rows, and the scroll bar while the entries do not fit across.
void TEtalVisForm::fitGridHeight()
{
    const int rows = (gridRows - 1) * grid_->verticalHeader()->defaultSectionSize();
    const QScrollBar& bar = *grid_->horizontalScrollBar();
    const int barHeight = bar.maximum() > bar.minimum() ? bar.sizeHint().height() : 0;
    grid_->setFixedHeight(grid_->horizontalHeader()->sizeHint().height() + rows + 2 * grid_->frameWidth() + barHeight);
}

bool TEtalVisForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != plotArea_)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::Paint) {
        paintPlot();
        return true;
    }
    return mouse(event) || QDialog::eventFilter(watched, event);
}

void TEtalVisForm::paintPlot()
{
    QPainter painter(plotArea_);
    painter.setFont(plotArea_->font());
    PainterSurface surface(painter);
    plot_.draw(surface, {0, 0, plotArea_->width(), plotArea_->height()}, plotArea_->logicalDpiY());
}

// Press picks, moving drags the picked point, release drops it and shows the new area below.
bool TEtalVisForm::mouse(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    const Surface::Point pointer{at.x(), at.y()};
    if (type == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            plot_.pick(pointer);
    } else if (type == QEvent::MouseMove) {
        if (plot_.drag(pointer))
            plotArea_->update();
    } else if (plot_.picked()) {
        plot_.release();
        fillGrid();
        plotArea_->update();
    }
    return true;
}

void TEtalVisForm::loadPlacement()
{
    const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen();
    const QRect available = shown ? shown->availableGeometry() : QRect(QPoint(0, 0), firstSize);
    QRect fallback(QPoint(0, 0), firstSize);
    fallback.moveCenter(available.center());
    PlacementStore::restore(*this, settingsPath_, placementSection, fallback, minimumSizeHint() / 2);
}

void TEtalVisForm::savePlacement() const
{
    PlacementStore::store(*this, settingsPath_, placementSection);
}
