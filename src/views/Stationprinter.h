#pragma once

#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// The printer the station prints on: the system's default printer (CUPS), or a PDF file named by
// the environment, for the tests and for trying the station on a computer without a printer.
class StationPrinter {
public:
    static constexpr const char* pdfVariable = "NIVRA_PRINT_PDF";
    static constexpr const char* noPrinterText =
        "Невозможно выполнить печать. Проверьте, установлен ли принтер в системе";
    static constexpr const char* errorCaption = "  ОШИБКА";

    // The PDF file of NIVRA_PRINT_PDF when set, else the default printer; null when there is none.
    static std::unique_ptr<QPrinter> open();
    // The box saying that no printer is installed.
    static void showNoPrinter(QWidget* parent);
};
