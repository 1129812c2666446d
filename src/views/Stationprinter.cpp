#include "views/Stationprinter.h"

#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdlib>

std::unique_ptr<QPrinter> StationPrinter::open()
{
    if (const char* pdf = std::getenv(pdfVariable); pdf && *pdf) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromLocal8Bit(pdf));
        return printer;
    }
    const QPrinterInfo installed = QPrinterInfo::defaultPrinter();
    if (installed.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(installed, QPrinter::HighResolution);
}

void StationPrinter::showNoPrinter(QWidget* parent)
{
    QMessageBox::critical(parent, QString::fromUtf8(errorCaption), QString::fromUtf8(noPrinterText));
}
