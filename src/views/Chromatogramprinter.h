#pragma once

#include "analysis/Calculatedgaz.h"
#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"

#include <QObject>

#include <memory>
#include <thread>

class GazOptions;
class QPrinter;

// A chromatogram on a landscape page titled "Хроматограмма": white, with a black frame and a
// curve half a millimetre wide, drawn by the display's own drawing with the peaks hatched and
// the time stamped. A print runs on a thread of its own over copies of the curve and its
// results, so that the window goes on while the page is made and spooled.
class ChromatogramPrinter : public QObject {
    Q_OBJECT
public:
    static constexpr const char* documentTitle = "Хроматограмма";
    static constexpr int printerFontSize = 11;
    static constexpr int curveTenthsOfMillimetre = 5;
    // Device pixels per inch of the page. The drawing's lines, dots and hatch cells are one
    // pixel: at this resolution they stay visible on paper, at a printer's 1200 they would
    // shrink to hairlines and a grey tint.
    static constexpr int pageResolution = 300;

    explicit ChromatogramPrinter(QObject* parent = nullptr);
    // Waits for a print under way: the spooler gets whole documents only.
    ~ChromatogramPrinter() override;

    // Window thread. Copies the curve as it is now (the live one keeps growing) and prints the
    // copy; false, and nothing printed, while another print is under way. `gases` is the table
    // the curve's marks were built from.
    bool print(std::unique_ptr<QPrinter> printer, const MyGraphics& curve, const GazOptions& gases,
               ChromatogramDrawing::Style style);
    bool busy() const { return worker_.joinable(); }

    // The page itself, on the calling thread, drawn into the whole printable area. False when
    // the printer did not take the document.
    static bool printPage(QPrinter& printer, MyGraphics& curve, ChromatogramDrawing::Style style);
    // Device pixels of a pen tenths of a millimetre wide at a vertical resolution; at least 1.
    static int devicePixels(int tenthsOfMillimetre, int dotsPerInch);

signals:
    // Back on the window thread once the document was ended (or refused).
    void finished(bool printed);

private:
    struct Job;
    void finish(bool printed);

    std::thread worker_;
};
