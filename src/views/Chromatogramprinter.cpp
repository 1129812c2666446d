#include "views/Chromatogramprinter.h"

#include "views/Paintersurface.h"
#include "views/Windowstyle.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t black = 0x000000;

// What the screen shows for a family that is not installed, resolved here on the window thread.
std::string installedFamily(const std::string& wanted)
{
    const QString family = QString::fromStdString(wanted);
    return (QFontDatabase::hasFamily(family) ? family : WindowStyle::fontFamily()).toStdString();
}

} // namespace

struct ChromatogramPrinter::Job {
    std::unique_ptr<QPrinter> printer;
    // The curve points at these results instead of the calculation's list, which the next
    // analysis overwrites.
    CalculatedGazes results;
    MyGraphics curve;
    ChromatogramDrawing::Style style;
};

ChromatogramPrinter::ChromatogramPrinter(QObject* parent)
    : QObject(parent)
{
}

ChromatogramPrinter::~ChromatogramPrinter()
{
    if (worker_.joinable())
        worker_.join();
}

bool ChromatogramPrinter::print(std::unique_ptr<QPrinter> printer, const MyGraphics& curve, const GazOptions& gases,
                                ChromatogramDrawing::Style style)
{
    if (busy() || !printer)
        return false;
    auto job = std::make_unique<Job>();
    job->printer = std::move(printer);
    job->curve = curve;
    if (const CalculatedGazes* results = curve.results()) {
        job->results = *results;
        // Binding another result list goes through the marks; they go back as the display has them.
        job->curve.buildMarks(gases, &job->results, style.samplesPerSecond);
        job->curve.setMarks(curve.marks());
    }
    style.fontName = installedFamily(style.fontName);
    job->style = std::move(style);

    worker_ = std::thread([this, job = std::move(job)] {
        const bool printed = printPage(*job->printer, job->curve, job->style);
        job->printer.reset();  // on the thread that drew on it
        QMetaObject::invokeMethod(this, [this, printed] { finish(printed); }, Qt::QueuedConnection);
    });
    return true;
}

void ChromatogramPrinter::finish(bool printed)
{
    if (worker_.joinable())
        worker_.join();
    emit finished(printed);
}

int ChromatogramPrinter::devicePixels(int tenthsOfMillimetre, int dotsPerInch)
{
    return std::max(1, static_cast<int>(std::lround(tenthsOfMillimetre * dotsPerInch / 254.0)));
}

bool ChromatogramPrinter::printPage(QPrinter& printer, MyGraphics& curve, ChromatogramDrawing::Style style)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QString::fromUtf8(documentTitle));
    printer.setResolution(pageResolution);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(QFont(QString::fromStdString(style.fontName), printerFontSize));
    curve.setBackgroundColour(white);
    curve.setFrameColour(black);
    style.curveWidth = devicePixels(curveTenthsOfMillimetre, printer.logicalDpiY());
    PainterSurface surface(painter);
    ChromatogramDrawing(curve, surface, style).draw({0, 0, printer.width(), printer.height()}, true, true);
    return painter.end();
}
