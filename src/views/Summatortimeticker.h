#pragma once

#include <qcustomplot.h>

#include <functional>

// The summator chart's time axis: ticks on round clock times, each labelled with its time and,
// on a second line, the depth drilled by then.
class SummatorTimeTicker : public QCPAxisTicker {
public:
    using DepthText = std::function<QString(double time)>;

    explicit SummatorTimeTicker(DepthText depthText);

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;

private:
    DepthText depthText_;
    double step_ = 0;
    int subTicks_ = 0;
};
