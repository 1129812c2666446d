#include "views/Historypage.h"

#include "chromatogram/Chromatogramdrawing.h"
#include "results/History.h"
#include "results/Historydrawing.h"
#include "results/Historygrid.h"
#include "settings/Configuration.h"
#include "views/Paintersurface.h"
#include "views/Windowstyle.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// What the pictures depend on beside their entry.
std::string pictureStyle(const ChromatogramDrawing::Style& style)
{
    std::string key = style.fontName + '/' + std::to_string(style.fontSize) + '/' + std::to_string(style.curveColour) +
                      '/' + std::to_string(style.curveWidth) + '/' + std::to_string(style.samplesPerSecond);
    for (const std::string& label : style.gasLabels)
        key += '/' + label;
    return key;
}

} // namespace

HistoryPage::HistoryPage(History& history, const Configuration& configuration, const GazOptions& gases, QWidget* parent)
    : QWidget(parent), history_(history), configuration_(configuration), gases_(gases)
{
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName("historyScroll");
    // Always there, so that the box's width, and with it the pictures' height, stays put when
    // the pictures grow taller than the box.
    scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->viewport()->installEventFilter(this);

    pictures_ = new QWidget(scrollArea_);
    pictures_->setObjectName("historyPictures");
    // The margins and the cells without an entry show the window's colour.
    pictures_->setAutoFillBackground(true);
    pictures_->installEventFilter(this);
    scrollArea_->setWidget(pictures_);
    scrollArea_->verticalScrollBar()->setSingleStep(20);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolRow());
    column->addWidget(scrollArea_, 1);

    const auto repaint = [this] { pictures_->update(); };
    historyChanged_ = history_.historyChanged.connect([this] { entryAdded(); });
    selectionChanged_ = history_.selectionChanged.connect([repaint](int) { repaint(); });
    loaded_ = history_.loaded.connect([this] {
        drawn_.clear();
        pictures_->update();
    });
    fitToViewport();
}

QWidget* HistoryPage::buildToolRow()
{
    auto* row = new QWidget(this);
    auto* tools = new QHBoxLayout(row);
    tools->setContentsMargins(2, 1, 2, 1);
    print_ = new QToolButton(row);
    print_->setObjectName("print");
    print_->setText(QStringLiteral("Печать..."));
    print_->setAutoRaise(true);
    const QString hint = QStringLiteral(" Распечатать выбранную хроматограмму ");
    print_->setToolTip(hint);
    print_->setStatusTip(" " + hint);
    print_->setEnabled(false);
    connect(print_, &QToolButton::clicked, this, &HistoryPage::printRequested);
    tools->addWidget(print_);
    tools->addStretch(1);
    return row;
}

QScrollArea* HistoryPage::scrollArea() const
{
    return scrollArea_;
}

QWidget* HistoryPage::pictures() const
{
    return pictures_;
}

QAbstractButton* HistoryPage::printButton() const
{
    return print_;
}

int HistoryPage::margin() const
{
    return HistoryDrawing::marginFor(pictures_->logicalDpiY());
}

bool HistoryPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrollArea_->viewport() && event->type() == QEvent::Resize) {
        fitToViewport();
        return false;
    }
    if (watched != pictures_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintPictures(static_cast<QPaintEvent*>(event)->rect());
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return mouseEvent(event->type(), *static_cast<QMouseEvent*>(event));
    default:
        return false;
    }
}

void HistoryPage::fitToViewport()
{
    const int width = scrollArea_->viewport()->width();
    pictures_->resize(width, HistoryDrawing::pageHeight(width, margin()));
}

// A paint event comes only while the page shows, and covers only what needs drawing again. The
// settings and the gas table may change between paints; the style is a few values and labels.
void HistoryPage::paintPictures(const QRect& area)
{
    ChromatogramDrawing::Style style = ChromatogramDrawing::Style::from(configuration_, gases_);
    style.fontName = fontFamily();
    const std::string styleKey = pictureStyle(style);
    if (styleKey != drawnStyle_) {
        drawn_.clear();
        drawnStyle_ = styleKey;
    }
    drawn_.resize(history_.entryCount());

    const HistoryDrawing drawing(history_, style);
    const int width = pictures_->width();
    const int height = pictures_->height();
    QPainter painter(pictures_);
    for (std::size_t i = 0; i < history_.entryCount(); ++i) {
        const GridRect r = History::entryRect(i, width, height, margin());
        const QRect cell(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
        if (cell.intersects(area))
            painter.drawImage(cell.topLeft(), pictureOf(i, cell.size(), drawing));
    }
    PainterSurface surface(painter);
    drawing.paintSelection(surface, width, height, margin());
}

// Drawn at the cell's size, translated to the top-left corner; what the drawing leaves out
// shows the page's colour, as on the page itself.
const QImage& HistoryPage::pictureOf(std::size_t index, const QSize& size, const HistoryDrawing& drawing)
{
    QImage& picture = drawn_[index];
    if (picture.size() != size) {
        picture = QImage(size, QImage::Format_RGB32);
        picture.fill(pictures_->palette().color(QPalette::Window));
        QPainter painter(&picture);
        PainterSurface surface(painter);
        drawing.paintEntry(surface, index, {0, 0, size.width() - 1, size.height() - 1});
    }
    return picture;
}

// The new analysis is entry 0 and every older one moves a cell on; the oldest may have gone.
void HistoryPage::entryAdded()
{
    drawn_.emplace_front();
    while (drawn_.size() > history_.entryCount())
        drawn_.pop_back();
    pictures_->update();
}

bool HistoryPage::mouseEvent(QEvent::Type type, const QMouseEvent& mouse)
{
    if (type == QEvent::MouseButtonRelease) {
        pictures_->update();
        return true;
    }
    if (mouse.button() != Qt::LeftButton)
        return false;
    // A click beside every picture keeps the selection; so does a double click, which then
    // asks for nothing.
    const bool hit = hitTest(mouse);
    if (type == QEvent::MouseButtonDblClick && hit)
        emit printRequested();
    return true;
}

bool HistoryPage::hitTest(const QMouseEvent& mouse)
{
    const QPoint at = mouse.position().toPoint();
    return history_.hitTest(at.x(), at.y(), pictures_->width(), pictures_->height(), margin());
}

// "имя_шрифта" when installed, else the station's own family; asked again only when the setting
// changes, since the font list does not.
const std::string& HistoryPage::fontFamily()
{
    if (family_.empty() || familyAsked_ != configuration_.fontName) {
        familyAsked_ = configuration_.fontName;
        const QString wanted = QString::fromStdString(familyAsked_);
        family_ = (QFontDatabase::hasFamily(wanted) ? wanted : WindowStyle::fontFamily()).toStdString();
    }
    return family_;
}
