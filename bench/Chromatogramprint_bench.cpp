// Printing a chromatogram: the page of a live 120 s analysis with six hatched peaks, their
// labels and the results box, made into a PDF file as the print thread makes it for the spooler,
// and the expansion of a history entry of 2000 points, which the window thread does before.
#include "Qtbenchmain.h"
#include "analysis/Calculatedgaz.h"
#include "analysis/Gazopts.h"
#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Printexpansion.h"
#include "library/Lockobject.h"
#include "settings/Configuration.h"
#include "testsupport/Scratchfolder.h"
#include "views/Chromatogramprinter.h"

#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int gases = 6;

// Six peaks over 120 s at `rate` points a second, each with a window and a result.
void fill(MyGraphics& curve, int rate, int seconds)
{
    CurvePoints samples;
    for (int i = 0; i < rate * seconds; ++i) {
        const double t = static_cast<double>(i) / rate;
        double value = 0.4;
        for (int g = 0; g < gases; ++g)
            value += 40.0 / (g + 1) * std::exp(-0.5 * std::pow((t - seconds * (g + 1) / 7.0) / (1.0 + g * 0.3), 2));
        samples.push_back(CurvePoint{0, value, static_cast<std::int32_t>(t), 0});
    }
    curve.setSamples(std::move(samples));
    std::vector<GazArea> marks = curve.marks();
    for (int g = 0; g < gases && g < static_cast<int>(marks.size()); ++g) {
        GazArea& mark = marks[static_cast<std::size_t>(g)];
        const double centre = seconds * (g + 1) / 7.0;
        mark.firstIndex = static_cast<std::int32_t>((centre - 4 - g) * rate);
        mark.lastIndex = static_cast<std::int32_t>((centre + 4 + g) * rate);
        mark.resultText = " 1,23% ";
        mark.peakMaximum = 0.4 + 40.0 / (g + 1);
        mark.hasResult = true;
    }
    curve.setMarks(std::move(marks));
}

CalculatedGazes resultList()
{
    CalculatedGazes results;
    CalculatedGaz total;
    total.description = "сумм_газ = 5,82%";
    total.derived = 1;
    results.push_back(total);
    for (int g = 0; g < gases; ++g) {
        CalculatedGaz share;
        share.colour = 0x0000FFu << (g % 3 * 8);
        share.description = "газ " + std::to_string(g + 1) + " = 12,3%";
        share.derived = 1;
        results.push_back(share);
    }
    return results;
}

struct LiveAnalysis {
    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gasTable{bufferLock};
    CalculatedGazes results = resultList();
    ChromatogramDrawing::Style style = ChromatogramDrawing::Style::from(configuration, gasTable);
    MyGraphics curve;

    LiveAnalysis()
    {
        curve.buildMarks(gasTable, &results, style.samplesPerSecond);  // binds the result list
        fill(curve, style.samplesPerSecond, style.screenSeconds);
        curve.setPointCount(style.samplesPerSecond * style.screenSeconds);
    }
};

void printedPage(benchmark::State& state)
{
    LiveAnalysis analysis;
    const platform::ScratchFolder folder("nivra-print-bench");
    const std::string file = (folder / "page.pdf").string();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        MyGraphics copy = analysis.curve;
        if (!ChromatogramPrinter::printPage(printer, copy, analysis.style))
            state.SkipWithError("the printer took no document");
    }
    state.counters["samples"] = static_cast<double>(analysis.curve.sampleCount());
}
BENCHMARK(printedPage)->Unit(benchmark::kMillisecond);

// A history entry of 2000 points (a 1000 s analysis at eight points a second) back to eight.
void expandedHistoryEntry(benchmark::State& state)
{
    MyGraphics entry;
    fill(entry, 2, MyGraphics::maxStoredCount / 2);
    entry.setArchived(true);
    for (auto _ : state) {
        MyGraphics printed = PrintExpansion::expand(entry, 8);
        benchmark::DoNotOptimize(printed);
    }
    state.counters["points"] = static_cast<double>(PrintExpansion::expand(entry, 8).pointCount());
}
BENCHMARK(expandedHistoryEntry)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv);
}
