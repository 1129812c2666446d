// Printing the results table of a well of 100 000 analyses (six gases, the total and six shares),
// on Qt's offscreen platform. Goal: the preview's first page shown under 1 s after
// "Просмотр..." (laid out, drawn, painted). Reported: the table copied from the results page for
// the print dialog, and the whole table laid out and printed to a PDF file on A4 turned, with its
// pages per second.
#include "Qtbenchmain.h"
#include "Wellrecords.h"
#include "dialogs/Previewform.h"
#include "dialogs/Printgridform.h"
#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "testsupport/Scratchfolder.h"
#include "views/Resultstablepage.h"

#include <QApplication>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {


// The well open under its results page.
struct Well {
    explicit Well(int records) : folder("nivra-gridprint-bench", platform::ScratchFolder::inMemoryParent())
    {
        bench::fillWell(folder, records);
        if (!grid.open(folder / "data.tim"))
            std::abort();
        page = std::make_unique<ResultsTablePage>(grid, configuration);
    }

    // The whole table to print, as "Распечатать..." hands it over.
    std::unique_ptr<TPrintGridForm> printForm() const
    {
        GridPrintLayout::Table table = page->printTable();
        table.selection = {1, 1, 1, 1};
        auto form = std::make_unique<TPrintGridForm>(std::move(table), std::filesystem::path(), true,
                                                     GridPrintLayout::Alignment::right);
        form->printerSource = [path = folder / "table.pdf"] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(path.string()));
            printer->setPageSize(QPageSize(QPageSize::A4));
            return printer;
        };
        return form;
    }

    platform::ScratchFolder folder;
    Configuration configuration;
    TextGrid grid;
    std::unique_ptr<ResultsTablePage> page;
};

void tableCopy(benchmark::State& state)
{
    const Well well(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(well.page->printTable());
}
BENCHMARK(tableCopy)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Просмотр...": laid out on the screen, shown, and its first page drawn and painted.
void previewFirstPage(benchmark::State& state)
{
    const Well well(static_cast<int>(state.range(0)));
    const auto form = well.printForm();
    for (auto _ : state) {
        std::unique_ptr<TPreviewForm> preview = form->openPreview();
        preview->resize(1280, 900);
        preview->show();
        while (preview->heldPages() == 0)
            QApplication::processEvents();
        state.PauseTiming();
        preview.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(previewFirstPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Печать": the whole table, every page, into the PDF file.
void printToPdf(benchmark::State& state)
{
    const Well well(static_cast<int>(state.range(0)));
    const auto form = well.printForm();
    int pages = 0;
    for (auto _ : state) {
        if (!form->print())
            std::abort();
        pages += form->printedPages();
    }
    state.counters["pages"] = form->printedPages();
    state.counters["pages_per_second"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
}
BENCHMARK(printToPdf)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv);
}
