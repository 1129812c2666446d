// One full paint of the history page as the window makes it: 24 pictures of 120 s analyses with
// six gases, each with its hatched peaks and concentration labels, on a page 1280 × 2400 (goal:
// under 10 ms), and at the height the window gives a page 1280 wide. The image stands for the
// window's back buffer; each paint opens its own painter, as a paint event does. With --png=FILE
// the page is written out once instead, to look at.
#include "Qtbenchmain.h"
#include "analysis/Calculatedgaz.h"
#include "analysis/Gazopts.h"
#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"
#include "library/Lockobject.h"
#include "library/Mytime.h"
#include "results/History.h"
#include "results/Historydrawing.h"
#include "settings/Configuration.h"
#include "views/Historypage.h"
#include "views/Paintersurface.h"
#include "views/Windowstyle.h"

#include <QGuiApplication>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct Peak {
    const char* label;
    const char* name;
    double seconds;  // retention time
    double width;    // standard deviation, seconds
    double height;   // mV over the baseline
    double percent;  // its concentration
    std::uint32_t colour;
};

// Six gases of a natural-gas analysis over the 120 s of the screen.
constexpr std::array<Peak, 6> peaks{{
    {"C1", "метан", 12, 0.8, 42.0, 2.41, 0x0000FF},
    {"C2", "этан", 26, 1.1, 9.5, 0.387, 0x00A000},
    {"C3", "пропан", 41, 1.5, 5.2, 0.162, 0xFF0000},
    {"iC4", "изобутан", 58, 1.9, 2.1, 0.048, 0x00A0A0},
    {"nC4", "н-бутан", 76, 2.3, 1.8, 0.041, 0xA000A0},
    {"iC5", "изопентан", 98, 2.8, 0.9, 0.012, 0xA0A000},
}};
constexpr double baseline = 0.4;
constexpr double windowSigmas = 3;  // a gas window reaches three widths either side of its peak
constexpr int seconds = 120;

// The history of a day's drilling: 24 analyses whose gas rises and falls with the depth.
class Day {
public:
    Day()
    {
        configuration_.fontName = WindowStyle::fontFamily().toStdString();
        gases_.Gazes.clear();
        for (const Peak& peak : peaks) {
            Gaz& gas = gases_.Gazes.emplace_back();
            gas.name = peak.name;
            gas.label = peak.label;
            gas.colour = peak.colour;
            gas.nominalStart = gas.integrationStart = static_cast<float>(peak.seconds - windowSigmas * peak.width);
            gas.nominalEnd = gas.integrationEnd = static_cast<float>(peak.seconds + windowSigmas * peak.width);
        }
        for (int analysis = 0; analysis < static_cast<int>(History::maxEntries); ++analysis)
            add(analysis);
    }

    const History& history() const { return history_; }
    History& history() { return history_; }
    const Configuration& configuration() const { return configuration_; }
    const GazOptions& gases() const { return gases_; }
    ChromatogramDrawing::Style style() const { return ChromatogramDrawing::Style::from(configuration_, gases_); }

private:
    void add(int analysis)
    {
        const double gas = 0.6 + 0.5 * std::sin(analysis * 0.7);  // how much the mud carries
        const int rate = configuration_.samplesPerSecond;
        CurvePoints samples;
        for (int i = 0; i < rate * seconds; ++i) {
            const double t = static_cast<double>(i) / rate;
            double value = baseline + 0.01 * std::sin(t * 7.3 + analysis);
            for (const Peak& peak : peaks)
                value += gas * peak.height * std::exp(-0.5 * std::pow((t - peak.seconds) / peak.width, 2));
            samples.push_back(CurvePoint{0, value, static_cast<std::int32_t>(t), 0});
        }
        MyGraphics live;
        live.setSamples(std::move(samples));
        results_.clear();
        for (std::size_t i = 0; i < peaks.size(); ++i) {
            const Peak& peak = peaks[i];
            results_.push_back(CalculatedGaz::absolute(gases_.gas(i), gas * peak.percent, gas * peak.height * 250,
                                                       baseline + gas * peak.height));
        }
        configuration_.currentDepth = 1250 + 2.5 * analysis;
        const lib::LocalSeconds at = lib::toLocalSeconds(2024, 3, 14, 8 + analysis / 4, 15 * (analysis % 4), 0);
        history_.setClock([at] { return at; });
        history_.add(live);
    }

    Configuration configuration_;
    lib::lock_object bufferLock_;
    GazOptions gases_{bufferLock_};
    CalculatedGazes results_;
    History history_{configuration_, gases_, results_};
};

constexpr int pageWidth = 1280;
constexpr int pageHeight = 2400;
constexpr int margin = 96 / 20;

void paintPage(const Day& day, QImage& image)
{
    const ChromatogramDrawing::Style style = day.style();
    QPainter painter(&image);
    PainterSurface surface(painter);
    HistoryDrawing(day.history(), style)
        .paint(surface, image.width(), image.height(), margin, {0, 0, image.width() - 1, image.height() - 1});
}

// The argument is the page's height: 2400, and the height the window gives a page 1280 wide.
void fullHistoryPage(benchmark::State& state)
{
    const Day day;
    QImage image(pageWidth, static_cast<int>(state.range(0)), QImage::Format_RGB32);
    for (auto _ : state)
        paintPage(day, image);
    state.counters["pictures"] = static_cast<double>(day.history().entryCount());
}
BENCHMARK(fullHistoryPage)
    ->Arg(pageHeight)
    ->Arg(HistoryDrawing::pageHeight(pageWidth, margin))
    ->Unit(benchmark::kMillisecond);

// The page in the window, 1280 wide: a repaint of the whole page once its pictures were drawn
// (switching to the page, scrolling, a selection), which only copies them.
void historyPageRepaint(benchmark::State& state)
{
    Day day;
    HistoryPage page(day.history(), day.configuration(), day.gases());
    page.resize(pageWidth + page.scrollArea()->verticalScrollBar()->sizeHint().width() + 4, 900);
    page.show();
    QApplication::processEvents();
    QWidget& pictures = *page.pictures();
    QImage shown(pictures.size(), QImage::Format_RGB32);
    pictures.render(&shown);
    for (auto _ : state)
        pictures.render(&shown);
    state.counters["pictures"] = static_cast<double>(day.history().entryCount());
    state.counters["width"] = pictures.width();
}
BENCHMARK(historyPageRepaint)->Unit(benchmark::kMillisecond);

// The page at the height the window gives a page of this width, as the operator sees it.
void savePage(const char* path)
{
    const Day day;
    QImage image(pageWidth, HistoryDrawing::pageHeight(pageWidth, margin), QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    paintPage(day, image);
    image.save(QString::fromLocal8Bit(path));
}

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv, [](const char* path) {
        savePage(path);
        return 0;
    });
}
