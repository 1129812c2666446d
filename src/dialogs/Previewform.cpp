#include "dialogs/Previewform.h"

#include "views/Helpviewer.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QComboBox>
#include <QScreen>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Around and between the pages on the canvas.
constexpr int gap = 12;
constexpr int defaultZoomIndex = static_cast<int>(TPreviewForm::zoomTexts.size()) - 1;
// Saving more pages than this shows its progress.
constexpr int quietPages = 4;
const QColor desk(128, 128, 128);
const QColor pageEdge(64, 64, 64);

const QString pdfFilter = QStringLiteral("Документ PDF (*.pdf)");
const QString svgFilter = QStringLiteral("Рисунок SVG (*.svg)");

// Shown while many pages are written; its "Отмена" stops the writing.
class SaveProgress {
public:
    SaveProgress(QWidget* parent, int pages)
    {
        if (pages <= quietPages)
            return;
        dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Сохранение страниц..."), QStringLiteral("Отмена"),
                                                    0, pages, parent);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(300);
    }
    // False when the operator cancelled.
    bool step(int done)
    {
        if (!dialog_)
            return true;
        dialog_->setValue(done);
        return !dialog_->wasCanceled();
    }

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace

TPreviewForm::TPreviewForm(QSize pageSize, int pageCount, double pixelsPerInch, PageRenderer render,
                           QPageLayout pageLayout, QWidget* parent)
    : QDialog(parent),
      pageSize_(pageSize.expandedTo(QSize(1, 1))),
      pageCount_(std::max(pageCount, 1)),
      pixelsPerInch_(pixelsPerInch > 0 ? pixelsPerInch : 96),
      render_(std::move(render)),
      pageLayout_(std::move(pageLayout))
{
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    canvas_ = new QWidget;
    canvas_->setObjectName("previewCanvas");
    canvas_->setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_->installEventFilter(this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("previewArea");
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(canvas_);
    QPalette deskPalette = scroll_->palette();
    deskPalette.setColor(QPalette::Window, desk);
    scroll_->setPalette(deskPalette);
    scroll_->setBackgroundRole(QPalette::Window);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(buildToolRow());
    column->addWidget(scroll_, 1);

    WindowStyle::prepare(*this);
    applyZoom();
}

TPreviewForm::~TPreviewForm() = default;

QWidget* TPreviewForm::buildToolRow()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    print_ = new TMyButton(QStringLiteral("Печать"), bar);
    print_->setModalResult(TMyButton::mbmrOk);
    print_->setMinimumWidth(90);
    save_ = new TMyButton(QStringLiteral("Сохранить..."), bar);
    save_->setMinimumWidth(110);
    cancel_ = TMyButton::cancelButton(bar);
    help_ = TMyButton::helpButton(bar);

    zoom_ = new QComboBox(bar);
    zoom_->setObjectName("zoom");
    for (const char* text : zoomTexts)
        zoom_->addItem(QString::fromUtf8(text));
    zoom_->setCurrentIndex(defaultZoomIndex);
    zoomIn_ = new QToolButton(bar);
    zoomIn_->setObjectName("zoomIn");
    zoomIn_->setText(QStringLiteral("+"));
    zoomIn_->setToolTip(QStringLiteral("Увеличение изображения"));
    zoomOut_ = new QToolButton(bar);
    zoomOut_->setObjectName("zoomOut");
    zoomOut_->setText(QStringLiteral("−"));
    zoomOut_->setToolTip(QStringLiteral("Уменьшение изображения"));
    for (QToolButton* button : {zoomIn_, zoomOut_}) {
        button->setFixedWidth(28);
        button->setFocusPolicy(Qt::NoFocus);
    }

    row->addWidget(print_);
    row->addWidget(save_);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral("Масштаб:"), bar));
    row->addWidget(zoom_);
    row->addWidget(zoomIn_);
    row->addWidget(zoomOut_);
    row->addStretch(1);
    row->addWidget(help_);
    row->addWidget(cancel_);

    connect(zoom_, &QComboBox::currentIndexChanged, this, &TPreviewForm::applyZoom);
    connect(zoomIn_, &QToolButton::clicked, this, &TPreviewForm::zoomIn);
    connect(zoomOut_, &QToolButton::clicked, this, &TPreviewForm::zoomOut);
    connect(save_, &TMyButton::clicked, this, &TPreviewForm::save);
    connect(help_, &TMyButton::clicked, this, [this] { HelpViewer::showTopic(QString::fromUtf8(helpTopic), this); });
    return bar;
}

bool TPreviewForm::execute()
{
    // The whole screen also where no window manager maximises (a kiosk session, Xvfb).
    if (const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen())
        setGeometry(shown->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    return exec() == QDialog::Accepted;
}

int TPreviewForm::zoom() const
{
    const QString text = zoom_->currentText();
    bool ok = false;
    const int percent = text.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    return ok && percent > 0 ? percent : 100;
}

void TPreviewForm::zoomIn()
{
    zoom_->setCurrentIndex(std::min(zoom_->currentIndex() + 1, zoom_->count() - 1));
}

void TPreviewForm::zoomOut()
{
    zoom_->setCurrentIndex(std::max(zoom_->currentIndex() - 1, 0));
}

QRect TPreviewForm::pageRect(int index) const
{
    const double scale = zoom() / 100.0;
    const int width = std::max(static_cast<int>(pageSize_.width() * scale), 1);
    const int height = std::max(static_cast<int>(pageSize_.height() * scale), 1);
    return {gap, gap + index * (height + gap), width, height};
}

// The same spot of the document stays in the middle of the view.
void TPreviewForm::applyZoom()
{
    QScrollBar& vertical = *scroll_->verticalScrollBar();
    const double before = canvas_->height() > 0
                              ? (vertical.value() + vertical.pageStep() / 2.0) / canvas_->height()
                              : 0.0;
    const QRect last = pageRect(pageCount_ - 1);
    const qint64 height = static_cast<qint64>(last.bottom()) + 1 + gap;
    canvas_->setFixedSize(last.width() + 2 * gap, static_cast<int>(std::min<qint64>(height, QWIDGETSIZE_MAX)));
    vertical.setValue(static_cast<int>(before * canvas_->height() - vertical.pageStep() / 2.0));
    canvas_->update();
}

const QPicture& TPreviewForm::page(int index)
{
    index = std::clamp(index, 0, pageCount_ - 1);
    if (const auto found = pictures_.find(index); found != pictures_.end())
        return found->second;
    return pictures_.emplace(index, drawPage(index)).first->second;
}

QPicture TPreviewForm::drawPage(int index) const
{
    QPicture picture;
    QPainter painter(&picture);
    render_(painter, index);
    painter.end();
    return picture;
}

// A page held is taken as it is; the others are drawn without being kept, so that writing a
// long document holds no more pages than the view does.
QPicture TPreviewForm::pageToSave(int index) const
{
    if (const auto found = pictures_.find(index); found != pictures_.end())
        return found->second;
    return drawPage(index);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == canvas_ && event->type() == QEvent::Paint) {
        paintCanvas(static_cast<QPaintEvent*>(event)->rect());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::paintCanvas(const QRect& area)
{
    QPainter painter(canvas_);
    painter.fillRect(area, desk);
    const int step = pageRect(1).top() - pageRect(0).top();
    const int first = std::clamp((area.top() - gap) / step, 0, pageCount_ - 1);
    const int last = std::clamp((area.bottom() - gap) / step, 0, pageCount_ - 1);
    const double scale = zoom() / 100.0;
    for (int index = first; index <= last; ++index) {
        const QRect shown = pageRect(index);
        if (!shown.intersects(area))
            continue;
        painter.fillRect(shown, Qt::white);
        painter.save();
        painter.setClipRect(shown);
        painter.translate(shown.topLeft());
        painter.scale(scale, scale);
        painter.drawPicture(0, 0, page(index));
        painter.restore();
        painter.setPen(pageEdge);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(shown.adjusted(-1, -1, 0, 0));
    }
    letGoFarPages(first, last);
}

void TPreviewForm::letGoFarPages(int firstShown, int lastShown)
{
    while (pictures_.size() > keptPages) {
        const auto lowest = pictures_.begin();
        const auto highest = std::prev(pictures_.end());
        const int below = firstShown - lowest->first;
        const int above = highest->first - lastShown;
        if (below <= 0 && above <= 0)
            return;
        pictures_.erase(below >= above ? lowest : highest);
    }
}

void TPreviewForm::save()
{
    QString filter = pdfFilter;
    QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8(saveCaption), QString(),
                                                pdfFilter + QStringLiteral(";;") + svgFilter, &filter);
    if (path.isEmpty())
        return;
    const Format format = filter == svgFilter ? Format::svg : Format::pdf;
    const QString suffix = format == Format::svg ? QStringLiteral("svg") : QStringLiteral("pdf");
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    if (!saveTo(path, format))
        QMessageBox::critical(this, QStringLiteral("  ОШИБКА"),
                              QStringLiteral("Рисунок не сохранён в файле %1").arg(QDir::toNativeSeparators(path)));
}

bool TPreviewForm::saveTo(const QString& path, Format format)
{
    const bool written = format == Format::svg ? writeSvg(path) : writePdf(path);
    if (!written)
        QFile::remove(path);
    return written;
}

bool TPreviewForm::writePdf(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout_);
    writer.setResolution(static_cast<int>(std::lround(pixelsPerInch_)));
    writer.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    SaveProgress progress(this, pageCount_);
    for (int index = 0; index < pageCount_; ++index) {
        if (index > 0 && !writer.newPage())
            return false;
        painter.drawPicture(0, 0, pageToSave(index));
        if (!progress.step(index + 1)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

bool TPreviewForm::writeSvg(const QString& path)
{
    const QSize whole(pageSize_.width(), pageSize_.height() * pageCount_);
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(whole);
    generator.setViewBox(QRect(QPoint(0, 0), whole));
    generator.setResolution(static_cast<int>(std::lround(pixelsPerInch_)));
    generator.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    SaveProgress progress(this, pageCount_);
    for (int index = 0; index < pageCount_; ++index) {
        const QRect sheet(QPoint(0, index * pageSize_.height()), pageSize_);
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.topLeft());
        painter.drawPicture(0, 0, pageToSave(index));
        painter.restore();
        if (!progress.step(index + 1)) {
            painter.end();
            return false;
        }
    }
    return painter.end() && QFileInfo(path).size() > 0;
}
