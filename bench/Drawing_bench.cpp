// One paint of the chromatogram as the window makes it: the live 120 s analysis with six hatched
// peaks, their labels and the results box on a full-HD panel (goal: under 2 ms), and one archived
// 2000-point curve in a cell of the history page (goal: under 0.5 ms). The image stands for the
// window's back buffer and lives across paints; each paint opens its own painter, as a paint
// event does.
#include "Qtbenchmain.h"
#include "analysis/Calculatedgaz.h"
#include "analysis/Gazopts.h"
#include "chromatogram/Chromatogramdrawing.h"
#include "chromatogram/Graphics.h"
#include "library/Lockobject.h"
#include "settings/Configuration.h"
#include "views/Paintersurface.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Peak {
    const char* label;
    const char* name;
    double seconds;  // retention time
    double width;    // standard deviation, seconds
    double height;   // mV over the baseline
    std::uint32_t colour;
    const char* result;
    double share;
};

// Six gases of a natural-gas analysis, spread over the 120 s of the screen.
constexpr std::array<Peak, 6> peaks{{
    {"C1", "метан", 12, 0.8, 42.0, 0x0000FF, " 92,41% ", 92.41},
    {"C2", "этан", 26, 1.1, 9.5, 0x00A000, " 3,87% ", 3.87},
    {"C3", "пропан", 41, 1.5, 5.2, 0xFF0000, " 1,62% ", 1.62},
    {"iC4", "изобутан", 58, 1.9, 2.1, 0x00A0A0, " 0,48% ", 0.48},
    {"nC4", "н-бутан", 76, 2.3, 1.8, 0xA000A0, " 0,41% ", 0.41},
    {"iC5", "изопентан", 98, 2.8, 0.9, 0xA0A000, " 0,12% ", 0.12},
}};

constexpr double baseline = 0.4;
constexpr double windowSigmas = 3;  // a gas window reaches three widths either side of its peak

// stretch: how many times longer than 120 s the analysis is; its peaks come later and wider.
double signal(double t, double stretch)
{
    double value = baseline + 0.01 * std::sin(t * 7.3);
    for (const Peak& peak : peaks)
        value += peak.height * std::exp(-0.5 * std::pow((t - stretch * peak.seconds) / (stretch * peak.width), 2));
    return value;
}

// The curve at `rate` points a second over `seconds`, with a result-bearing mark on every peak.
void fill(MyGraphics& curve, int rate, int seconds)
{
    const double stretch = seconds / 120.0;
    CurvePoints samples;
    for (int i = 0; i < rate * seconds; ++i) {
        const double t = static_cast<double>(i) / rate;
        samples.push_back(CurvePoint{0, signal(t, stretch), static_cast<std::int32_t>(t), 0});
    }
    curve.setSamples(std::move(samples));
    std::vector<GazArea> marks;
    for (const Peak& peak : peaks) {
        GazArea mark;
        mark.colour = peak.colour;
        mark.gasName = peak.name;
        mark.firstIndex = static_cast<std::int32_t>(stretch * (peak.seconds - windowSigmas * peak.width) * rate);
        mark.lastIndex = static_cast<std::int32_t>(stretch * (peak.seconds + windowSigmas * peak.width) * rate);
        mark.resultText = peak.result;
        mark.peakMaximum = baseline + peak.height;
        mark.hasResult = true;
        marks.push_back(std::move(mark));
    }
    curve.setMarks(std::move(marks));
}

// The calculation's list: an absolute line per gas, then the total and the shares, which are
// what the results box lists.
CalculatedGazes resultList()
{
    CalculatedGazes results;
    for (const Peak& peak : peaks) {
        CalculatedGaz line;
        line.colour = peak.colour;
        line.name = peak.name;
        line.description = std::string(peak.name) + " =" + peak.result;
        results.push_back(line);
    }
    CalculatedGaz total;
    total.description = "Сумма = 98,91%";
    total.derived = 1;
    results.push_back(total);
    for (const Peak& peak : peaks) {
        CalculatedGaz share;
        share.colour = peak.colour;
        share.name = peak.name;
        share.description = std::string(peak.name) + " =" + peak.result;
        share.derived = 1;
        results.push_back(share);
    }
    return results;
}

ChromatogramDrawing::Style styleWithLabels(const Configuration& configuration, const GazOptions& gases)
{
    ChromatogramDrawing::Style style = ChromatogramDrawing::Style::from(configuration, gases);
    style.gasLabels.clear();
    for (const Peak& peak : peaks)
        style.gasLabels.push_back(peak.label);
    return style;
}

void liveChromatogram(benchmark::State& state)
{
    const Configuration configuration;
    lib::lock_object bufferLock;
    const GazOptions gases(bufferLock);
    const CalculatedGazes results = resultList();
    const ChromatogramDrawing::Style style = styleWithLabels(configuration, gases);

    MyGraphics curve;
    curve.buildMarks(gases, &results, style.samplesPerSecond);  // binds the result list
    fill(curve, style.samplesPerSecond, style.screenSeconds);
    curve.setPointCount(style.samplesPerSecond * style.screenSeconds);

    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PainterSurface surface(painter);
        ChromatogramDrawing(curve, surface, style).draw({0, 0, image.width(), image.height()}, true, false);
    }
    state.counters["samples"] = static_cast<double>(curve.sampleCount());
}
BENCHMARK(liveChromatogram)->Unit(benchmark::kMicrosecond);

// The history page draws each entry in its cell with the page's font at two thirds of its size
// and a pen of width 1; the archive copy of a 1000 s analysis holds 2000 points.
void archivedHistoryCell(benchmark::State& state)
{
    const Configuration configuration;
    lib::lock_object bufferLock;
    const GazOptions gases(bufferLock);
    const ChromatogramDrawing::Style style = styleWithLabels(configuration, gases);
    constexpr int pointsPerSecond = 2;  // eight a second, averaged by four

    MyGraphics curve;
    fill(curve, pointsPerSecond, MyGraphics::maxStoredCount / pointsPerSecond);
    curve.setPointCount(MyGraphics::maxStoredCount);
    curve.setArchived(true);
    curve.setTitle("14:05, 1,25");

    QImage image(300, 120, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PainterSurface surface(painter);
        surface.setFont(style.fontName, style.fontSize * 2 / 3, curve.frameColour());
        surface.setPen(curve.frameColour(), 1, Surface::PenStyle::solid);
        ChromatogramDrawing(curve, surface, style).draw({0, 0, image.width() - 1, image.height() - 1}, true, false);
    }
    state.counters["points"] = static_cast<double>(curve.pointCount());
}
BENCHMARK(archivedHistoryCell)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv);
}
