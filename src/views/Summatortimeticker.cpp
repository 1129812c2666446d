#include "views/Summatortimeticker.h"

#include "chromatogram/Summcurvewindow.h"

#include <utility>

SummatorTimeTicker::SummatorTimeTicker(DepthText depthText) : depthText_(std::move(depthText))
{
    // Day counts from 0, so every step that divides a day lands on round clock times.
    setTickOrigin(0);
}

double SummatorTimeTicker::getTickStep(const QCPRange& range)
{
    const SummCurveWindow::TickStep step = SummCurveWindow::tickStep(range.size(), tickCount());
    step_ = step.days;
    subTicks_ = step.subTicks;
    return step.days;
}

int SummatorTimeTicker::getSubTickCount(double tickStep)
{
    static_cast<void>(tickStep);
    return subTicks_;
}

QString SummatorTimeTicker::getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision)
{
    static_cast<void>(locale);
    static_cast<void>(formatChar);
    static_cast<void>(precision);
    // Always two lines, so the clock time sits above its tick also where no depth is known.
    const QString depth = depthText_(tick);
    return QString::fromStdString(SummCurveWindow::tickLabel(tick, step_)) + QLatin1Char('\n')
        + (depth.isEmpty() ? QStringLiteral(" ") : depth);
}
