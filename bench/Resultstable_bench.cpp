// The page "Таблица" over a well of many analyses, on Qt's offscreen platform. Goals, with 100 000
// analyses on a page of 1280 x 800: the operator opening the page (its tab chosen: shown and
// painted) under 5 ms, and one step of scrolling from the top to the bottom in 100 steps (a
// screenful painted anew) under 5 ms. Reported: building the page with its first paint, as the
// main window does once at start-up, and the heap the page holds, which does not grow with the
// analyses but for Qt's header, which keeps a few bytes per row: cells are read from the mapped
// file when they are painted.
#include "Qtbenchmain.h"
#include "Wellrecords.h"
#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "testsupport/Scratchfolder.h"
#include "views/Resultstablepage.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 800;
constexpr int scrollSteps = 100;


// The well open in its grid, and a shown window of page size where the page goes, beside another
// page, as in the main window's tabs.
struct Well {
    explicit Well(int records) : folder("nivra-resultstable-bench", platform::ScratchFolder::inMemoryParent())
    {
        bench::fillWell(folder, records);
        if (!grid.open(folder / "data.tim"))
            std::abort();
        window.resize(screenWidth, screenHeight);
        window.addWidget(&otherPage);
        window.show();
        QApplication::processEvents();
    }

    // Built, shown and painted.
    std::unique_ptr<ResultsTablePage> openPage()
    {
        auto page = std::make_unique<ResultsTablePage>(grid, configuration);
        window.addWidget(page.get());
        window.setCurrentWidget(page.get());
        QApplication::processEvents();
        return page;
    }

    platform::ScratchFolder folder;
    Configuration configuration;
    TextGrid grid;
    QStackedWidget window;
    QWidget otherPage;
    QImage screen{screenWidth, screenHeight, QImage::Format_RGB32};
};

// The page of the main window is built once; the operator opens it by its tab.
void showPage(benchmark::State& state)
{
    Well well(static_cast<int>(state.range(0)));
    auto page = well.openPage();
    for (auto _ : state) {
        state.PauseTiming();
        well.window.setCurrentWidget(&well.otherPage);
        QApplication::processEvents();
        state.ResumeTiming();
        well.window.setCurrentWidget(page.get());
        QApplication::processEvents();
    }
}
BENCHMARK(showPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void buildPage(benchmark::State& state)
{
    Well well(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto page = well.openPage();
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(buildPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One iteration is one step, painted as the window system paints it; the steps go from the top
// to the bottom and start again.
void scrollStep(benchmark::State& state)
{
    Well well(static_cast<int>(state.range(0)));
    auto page = well.openPage();
    QTableView& table = *page->table();
    QScrollBar& bar = *table.verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar.setValue(static_cast<int>(static_cast<long long>(bar.maximum()) * step / (scrollSteps - 1)));
        QApplication::processEvents();
        step = (step + 1) % scrollSteps;
    }
    state.counters["rows"] = table.model()->rowCount();
}
BENCHMARK(scrollStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Heap bytes in use, kiB: the mapped file is not counted, it is the file itself.
long heapKiB()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// What the page holds beyond the empty page: opened, painted and scrolled through once.
void pageHeap(benchmark::State& state)
{
    long grown = 0;
    for (auto _ : state) {
        Well well(static_cast<int>(state.range(0)));
        const long before = heapKiB();
        auto page = well.openPage();
        QScrollBar& bar = *page->table()->verticalScrollBar();
        for (int step = 0; step < scrollSteps; ++step) {
            bar.setValue(static_cast<int>(static_cast<long long>(bar.maximum()) * step / (scrollSteps - 1)));
            page->render(&well.screen);
        }
        grown = heapKiB() - before;
    }
    state.counters["heapKiB"] = static_cast<double>(grown);
}
BENCHMARK(pageHeap)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv);
}
