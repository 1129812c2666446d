#pragma once

#include "chromatogram/Graphics.h"

#include <QWidget>

#include <array>
#include <cstddef>

class Configuration;
class GazOptions;
class QAbstractButton;
class QLabel;
class QToolButton;

// The page "Хроматограмма": the live chromatogram with its tool bar (zoom, automatic range,
// print, the raw ADC indicator) and the three handles that drag the signal range.
class ChromatogramPanel : public QWidget {
    Q_OBJECT
public:
    ChromatogramPanel(MyGraphics& curve, const Configuration& configuration, const GazOptions& gases,
                      QWidget* parent = nullptr);

    // The curve changed: only the plot is repainted.
    void refresh();
    // Concentration labels and the results box are left out while the calibration window shows.
    void setResultsHidden(bool hidden);
    bool resultsHidden() const { return resultsHidden_; }
    void setAdcText(const QString& text);
    void setAdcVisible(bool visible);
    // Disabled until printing is offered.
    QAbstractButton* printButton() const;
    QWidget* plot() const;

signals:
    void printRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolBar();
    QWidget* buildHandles();
    void paintPlot();
    void zoom(bool (MyGraphics::*step)());
    void showAutomatic();
    bool dragEvent(std::size_t handleIndex, QEvent* event);

    MyGraphics& curve_;
    const Configuration& configuration_;
    const GazOptions& gases_;
    bool resultsHidden_ = false;
    QWidget* plot_ = nullptr;
    QToolButton* automatic_ = nullptr;
    QToolButton* print_ = nullptr;
    QLabel* adc_ = nullptr;
    std::array<QWidget*, 3> handles_{};
    int dragY_ = 0;
    bool dragging_ = false;
};
