#include "chromatogram/Chromatogramdrawing.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Simplegraphics.h"
#include "library/Numstr.h"
#include "settings/Configuration.h"

#include <algorithm>
#include <cstdio>

namespace {

using Point = Surface::Point;
using PenStyle = Surface::PenStyle;
using BrushStyle = Surface::BrushStyle;

constexpr std::uint32_t titleRed = 0x0000FF;
constexpr std::uint32_t titleYellow = 0x00FFFF;
constexpr std::uint32_t labelText = 0x000000;

void keepIfNew(std::vector<Point>& points, Point point)
{
    if (points.empty() || points.back() != point)
        points.push_back(point);
}

std::string stampText(lib::LocalSeconds now)
{
    const lib::LocalTimeFields t = lib::fromLocalSeconds(now);
    char text[40];
    std::snprintf(text, sizeof text, "%.2d.%.2d.%d %d:%.2d:%.2d", t.day, t.month, t.year, t.hour, t.minute, t.second);
    return text;
}

} // namespace

ChromatogramDrawing::Style ChromatogramDrawing::Style::from(const Configuration& c, const GazOptions& gases)
{
    Style style;
    style.samplesPerSecond = c.samplesPerSecond;
    style.screenSeconds = c.screenSeconds;
    style.curveColour = c.curveColor;
    style.curveWidth = c.curveWidth;
    style.valueLines = c.verticalGrid;
    style.gridSeconds = c.horizontalGrid;
    style.fontName = c.fontName;
    style.fontSize = c.fontSize;
    for (std::size_t i = 0; i < static_cast<std::size_t>(gases.count()); ++i)
        style.gasLabels.push_back(gases.gas(i).label);
    return style;
}

ChromatogramDrawing::ChromatogramDrawing(MyGraphics& curve, Surface& surface, const Style& style)
    : curve_(curve), surface_(surface), style_(style)
{
}

void ChromatogramDrawing::draw(const Surface::Rect& area, bool shadePeaks, bool stampTime)
{
    layOut(area);
    chooseScale();
    drawGrid();
    drawFrame();
    drawCaptions();
    drawCurve();
    drawWindows(shadePeaks);
    drawLabels();
    drawResultsBox(stampTime);
    drawTitle();
}

void ChromatogramDrawing::layOut(const Surface::Rect& area)
{
    area_ = area;
    plot_.unit = surface_.textHeight("#") / 3;
    if (!curve_.archived())
        surface_.setFont(style_.fontName, style_.fontSize, curve_.frameColour());
    textHeight_ = surface_.textHeight("#");
    const std::uint32_t background = curve_.backgroundColour();
    surface_.setBrush(background, BrushStyle::solid);
    surface_.setPen(background, 1, PenStyle::solid);
    surface_.fillRect(area);

    const int labelWidth = surface_.textWidth("#####");
    axisTextY_ = area.height() - 13 * plot_.unit;
    if (curve_.archived()) {
        plot_.plotLeft = area.left;
        plot_.plotTop = area.top + textHeight_ + 2;
        plot_.plotRight = area.right;
        plot_.plotBottom = area.bottom;
    } else {
        plot_.plotLeft = area.left + 2 * plot_.unit + labelWidth;
        plot_.plotTop = area.top + plot_.unit;
        plot_.plotRight = area.right - plot_.unit;
        plot_.plotBottom = area.top + axisTextY_ + plot_.unit;
    }
}

void ChromatogramDrawing::chooseScale()
{
    curve_.updateAutoMaximum();
    const MyGraphics::SignalRange range = curve_.range();
    plot_.minimum = range.minimum;
    plot_.maximum = range.maximum;
    plot_.areaLeft = area_.left;
    plot_.areaTop = area_.top;
    plot_.areaRight = area_.right;
    plot_.areaBottom = area_.bottom;
    curve_.setLayout(plot_);
}

// A range without height has no y for any value: such a curve is drawn without its signal.
bool ChromatogramDrawing::drawable() const
{
    return plot_.maximum != plot_.minimum;
}

int ChromatogramDrawing::valueToY(double value) const
{
    if (!drawable())
        return plot_.plotBottom;
    return static_cast<int>((plot_.plotTop - plot_.plotBottom) * (value - plot_.minimum) / (plot_.maximum - plot_.minimum) + plot_.plotBottom);
}

int ChromatogramDrawing::indexToX(std::int64_t index) const
{
    const std::int64_t span = curve_.archived() ? curve_.pointCount()
                                                : std::int64_t{style_.samplesPerSecond} * style_.screenSeconds;
    if (span <= 0)
        return plot_.plotLeft;
    return static_cast<int>(index * (plot_.plotRight - plot_.plotLeft) / span + plot_.plotLeft);
}

int ChromatogramDrawing::clampY(int y) const
{
    return std::clamp(y, area_.top, std::max(area_.top, area_.bottom - 1));
}

void ChromatogramDrawing::drawGrid()
{
    if (curve_.archived() || curve_.pointCount() == 0)
        return;
    const std::uint32_t frame = curve_.frameColour();
    surface_.setPen(frame, 1, PenStyle::dotted);
    for (int c = 1; c <= style_.valueLines; ++c) {
        const double f = plot_.minimum + c * (plot_.maximum - plot_.minimum) / style_.valueLines;
        const int y = valueToY(f);
        surface_.line({plot_.plotLeft, y}, {plot_.plotRight, y});
        surface_.text({area_.left + plot_.unit, y + 1}, " " + lib::formatReal(f));
    }
    // A spacing of no seconds would never reach the end of the axis.
    if (style_.gridSeconds <= 0)
        return;
    for (int t = 0; t <= style_.screenSeconds; t += style_.gridSeconds) {
        const int x = indexToX(std::int64_t{t} * style_.samplesPerSecond);
        surface_.line({x, plot_.plotTop}, {x, plot_.plotBottom});
        if (t != 0 && t != style_.screenSeconds)
            surface_.text({x, area_.top + axisTextY_ + plot_.unit + 1}, std::to_string(t));
    }
}

void ChromatogramDrawing::drawFrame()
{
    const std::uint32_t frame = curve_.frameColour();
    surface_.setPen(frame, 1, PenStyle::dotted);
    surface_.line({plot_.plotLeft, plot_.plotTop}, {plot_.plotRight, plot_.plotTop});
    surface_.line({plot_.plotRight, plot_.plotTop}, {plot_.plotRight, plot_.plotBottom});
    surface_.setPen(frame, 1, PenStyle::solid);
    surface_.line({plot_.plotLeft, plot_.plotBottom}, {plot_.plotRight, plot_.plotBottom});
    surface_.line({plot_.plotLeft, plot_.plotTop}, {plot_.plotLeft, plot_.plotBottom});
    surface_.line({plot_.plotRight, plot_.plotBottom}, {plot_.plotRight - 2 * plot_.unit, plot_.plotBottom + plot_.unit / 2});
    surface_.line({plot_.plotRight, plot_.plotBottom}, {plot_.plotRight - 2 * plot_.unit, plot_.plotBottom - plot_.unit / 2});
    surface_.line({plot_.plotLeft, plot_.plotTop}, {plot_.plotLeft + plot_.unit / 2, plot_.plotTop + 2 * plot_.unit});
    surface_.line({plot_.plotLeft, plot_.plotTop}, {plot_.plotLeft - plot_.unit / 2, plot_.plotTop + 2 * plot_.unit});
}

void ChromatogramDrawing::drawCaptions()
{
    const std::string time = "Время, с ";
    surface_.text({plot_.plotRight - surface_.textWidth(time), plot_.plotBottom - plot_.unit - surface_.textHeight(time)}, time);
    const std::string signal = curve_.archived() ? lib::formatReal(plot_.maximum) + " мВ" : "U, мВ";
    surface_.text({plot_.plotLeft + plot_.unit, plot_.plotTop + plot_.unit + 1}, signal);
}

void ChromatogramDrawing::drawCurve()
{
    if (!drawable())
        return;
    const CurvePoints& samples = curve_.samples();
    std::vector<Point> points;
    for (std::size_t i = 0; static_cast<std::int64_t>(i) < curve_.pointCount() && i < samples.size(); ++i)
        keepIfNew(points, {indexToX(static_cast<std::int64_t>(i)), clampY(valueToY(samples[i].value))});
    surface_.setPen(style_.curveColour, style_.curveWidth, PenStyle::solid);
    simplegraphics::drawPolyline(surface_, points);
    surface_.setPen(style_.curveColour, 1, PenStyle::solid);
}

void ChromatogramDrawing::drawWindows(bool shadePeaks)
{
    const auto& marks = curve_.marks();
    if (curve_.pointCount() == 0 || marks.size() != style_.gasLabels.size())
        return;
    const int areaHeight = area_.height();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const GazArea& mark = marks[i];
        if (mark.firstIndex < 0 || mark.firstIndex >= mark.lastIndex)
            continue;
        const int x1 = indexToX(mark.firstIndex);
        const int x2 = indexToX(mark.lastIndex);
        surface_.setPen(mark.colour, 1, PenStyle::solid);
        surface_.setBrush(curve_.backgroundColour(), BrushStyle::solid);
        if (!curve_.archived()) {
            const int lower = area_.top + areaHeight - plot_.unit;
            surface_.line({x1, plot_.plotBottom - 10 * plot_.unit}, {x1, lower});
            surface_.line({x2, plot_.plotBottom - 10 * plot_.unit}, {x2, lower});
            const Surface::Rect box{x1, lower - textHeight_ - plot_.unit, x2, lower};
            surface_.fillRect(box);
            surface_.setFont(surface_.fontName(), surface_.fontSize(), curve_.frameColour());
            surface_.text({x1 + plot_.unit, box.top + (box.height() - textHeight_) / 2}, style_.gasLabels[i]);
        }
        const auto count = static_cast<std::int32_t>(curve_.samples().size());
        if (shadePeaks && mark.hasResult && mark.lastIndex < count && drawable())
            hatchPeak(mark.firstIndex, mark.lastIndex, mark.colour);
    }
}

// The area between the curve and the chord from the window's first to its last sample.
void ChromatogramDrawing::hatchPeak(int firstIndex, int lastIndex, std::uint32_t colour)
{
    const CurvePoints& samples = curve_.samples();
    const auto valueAt = [&](int j) { return samples[static_cast<std::size_t>(j)].value; };
    const int y1 = valueToY(valueAt(firstIndex));
    const int y2 = valueToY(valueAt(lastIndex));
    std::vector<Point> points;
    for (int j = firstIndex; j <= lastIndex; ++j) {
        const int chord = y1 + (y2 - y1) * (j - firstIndex) / (lastIndex - firstIndex);
        int y = std::max(valueToY(valueAt(j)), area_.top);
        if (y >= chord)
            y = chord - 1;
        keepIfNew(points, {indexToX(j), y});
    }
    const int width = surface_.penWidth();
    surface_.setPen(colour, width <= 1 ? 2 * std::max(width, 1) : width, PenStyle::solid);
    surface_.setBrush(colour, BrushStyle::diagonalCross);
    surface_.hatchedPolygon(points, curve_.backgroundColour());
    surface_.setPen(colour, width, PenStyle::solid);
    surface_.setBrush(curve_.backgroundColour(), BrushStyle::solid);
}

void ChromatogramDrawing::drawLabels()
{
    if (curve_.samples().empty() || style_.resultsHidden || !drawable())
        return;
    const std::string fontName = surface_.fontName();
    const int fontSize = surface_.fontSize();
    for (const GazArea& mark : curve_.marks()) {
        if (!mark.hasResult || mark.firstIndex >= mark.lastIndex)
            continue;
        const int w = surface_.textWidth(mark.resultText);
        const int h = surface_.textHeight(mark.resultText);
        const int x = (indexToX(mark.firstIndex) + indexToX(mark.lastIndex) - w) / 2;
        const int y = std::clamp(valueToY(mark.peakMaximum) - 4 * h / 3, plot_.plotTop, std::max(plot_.plotTop, plot_.plotBottom));
        surface_.setPen(curve_.frameColour(), 1, PenStyle::solid);
        surface_.line({x + 1, y + h}, {x + w + 1, y + h});
        surface_.line({x + w, y + 1}, {x + w, y + h + 1});
        surface_.setBrush(simplegraphics::lightenColour(mark.colour, 210), BrushStyle::solid);
        surface_.setFont(fontName, fontSize, labelText);
        surface_.text({x, y}, mark.resultText);
    }
    surface_.setFont(fontName, fontSize, curve_.frameColour());
    surface_.setBrush(curve_.backgroundColour(), BrushStyle::solid);
}

void ChromatogramDrawing::drawResultsBox(bool stampTime)
{
    const CalculatedGazes* results = curve_.results();
    if (style_.resultsHidden || curve_.archived() || !results)
        return;
    std::vector<const CalculatedGaz*> lines;
    for (const CalculatedGaz& result : *results)
        if (result.derived)
            lines.push_back(&result);
    if (lines.empty())
        return;
    const std::string fontName = surface_.fontName();
    const int fontSize = surface_.fontSize();
    surface_.setFont(fontName, fontSize + 1, curve_.frameColour());
    const int lineHeight = surface_.textHeight("#");
    int widest = 0;
    for (const CalculatedGaz* line : lines)
        widest = std::max(widest, surface_.textWidth(line->description));
    Surface::Rect box;
    box.top = plot_.plotTop + 2 * plot_.unit;
    box.right = plot_.plotRight - plot_.unit;
    box.bottom = box.top + (lineHeight + 2) * static_cast<int>(lines.size()) + lineHeight;
    box.left = box.right - widest - lineHeight;
    surface_.setBrush(curve_.backgroundColour(), BrushStyle::solid);
    surface_.setPen(curve_.frameColour(), 1, PenStyle::solid);
    surface_.fillRect(box);
    int y = box.top + lineHeight / 2;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        surface_.setFont(fontName, fontSize + 1, k == 0 ? curve_.frameColour() : lines[k]->colour);
        surface_.text({box.left + lineHeight / 2, y}, lines[k]->description);
        y += lineHeight + 2;
    }
    if (stampTime) {
        const std::string stamp = stampText(style_.clock ? style_.clock() : lib::localSecondsNow());
        surface_.setFont(fontName, fontSize + 1, curve_.frameColour());
        surface_.text({box.right - surface_.textWidth(stamp), box.bottom + 2}, stamp);
    }
    surface_.setFont(fontName, fontSize, curve_.frameColour());
}

void ChromatogramDrawing::drawTitle()
{
    const std::string& title = curve_.title();
    if (title.empty())
        return;
    const std::string fontName = surface_.fontName();
    const int fontSize = surface_.fontSize();
    surface_.setFont("Arial", fontSize * 3 / 2, titleRed);
    surface_.setBrush(titleYellow, BrushStyle::solid);
    surface_.setPen(titleRed, 6, PenStyle::solid);
    const int w = surface_.textWidth(title);
    const int h = surface_.textHeight(title);
    const int centreX = area_.left + area_.width() / 2;
    if (curve_.archived()) {
        surface_.text({centreX - w / 2, area_.top + 1}, title);
    } else {
        const int centreY = area_.top + area_.height() / 2;
        const Surface::Rect box{centreX - w / 2 - h, centreY - h / 2 - h, centreX - w / 2 + w + h, centreY - h / 2 + 2 * h};
        surface_.fillRect(box);
        surface_.text({centreX - w / 2, centreY - h / 2}, title);
    }
    surface_.setPen(curve_.frameColour(), 1, PenStyle::solid);
    surface_.setBrush(curve_.backgroundColour(), BrushStyle::solid);
    surface_.setFont(fontName, fontSize, curve_.frameColour());
}
