#pragma once

#include "chromatogram/Summcurvepoint.h"
#include "chromatogram/Summcurvewindow.h"

#include <QGroupBox>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class Configuration;
class QCPAbstractItem;
class QCPAbstractPlottable;
class QCPGraph;
class QCPItemLine;
class QCPItemText;
class QComboBox;
class QCustomPlot;
class QLabel;
class QMouseEvent;
class QScrollBar;
class TSummCurve;
namespace lib {
class lock_object;
}

// The group "Газосумматор": the summator trend with time running downwards, its time-scale
// list, a scroll bar through the whole trend, the depth labels the operator asked for and the
// cursor box with the time, depth and reading under the mouse.
//
// Main thread only. Readings are appended to the trend on another thread, so every look at the
// trend holds its lock, and only for the copy or look-up at hand; the chart keeps its own copy
// of the points it draws.
class SummatorChart : public QGroupBox {
    Q_OBJECT
public:
    SummatorChart(TSummCurve& trend, lib::lock_object& trendLock, Configuration& configuration,
                  QWidget* parent = nullptr);
    ~SummatorChart() override;

    // The panel's width, time scale ("win_mashtab") and summator axis range from the settings.
    void restorePlacement();
    // Draws the whole trend, as loaded at start-up, and shows the chosen scale at the newest
    // reading.
    void fill();
    // Adds the readings appended since the last call; the rest of the chart is not rebuilt.
    // For every tick of the main timer.
    void takeNewReadings();
    // The panel's width, time scale and summator axis range into the settings.
    void storePlacement();

    QSize sizeHint() const override;

    QCustomPlot* plot() const { return plot_; }
    QCPGraph* graph() const { return graph_; }
    QComboBox* scaleList() const { return scales_; }
    QScrollBar* scrollBar() const { return scroll_; }
    const SummCurveWindow& timeWindow() const { return window_; }
    // The trend indexes of the depth labels on screen, in the order they were placed.
    std::vector<std::size_t> shownLabels() const;
    QCPItemText* labelOf(std::size_t index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class GraphFill;
    // A point whose depth label the operator asked for.
    struct Mark {
        std::size_t index;
        double time;
        double value;
        QString text;
    };
    struct Label {
        std::size_t index;
        QCPItemText* text;
        QCPItemLine* line;
    };

    QWidget* buildScaleList();
    QWidget* buildPlot();
    QWidget* buildCursorBox();
    void showScale(int index);
    void scrollTo(int position);
    void applyWindow();
    void redraw();
    void syncScrollBar();
    void showLabelsInView();
    void placeLabel(const Label& label);
    void removeLabels();
    void showLabelAt(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event);
    void hideLabel(QCPAbstractItem* item);
    std::optional<std::size_t> trendIndexOf(int dataIndex, double time, double value) const;
    void showCursor(QMouseEvent* event);
    QString depthLabelAt(double time) const;
    void fitTickCount();

    TSummCurve& trend_;
    lib::lock_object& trendLock_;
    Configuration& configuration_;
    SummCurveWindow window_;
    int preferredWidth_ = SummCurveWindow::defaultPanelWidth;

    QComboBox* scales_ = nullptr;
    QCustomPlot* plot_ = nullptr;
    QCPGraph* graph_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QLabel* cursorTime_ = nullptr;
    QLabel* cursorDepth_ = nullptr;
    QLabel* cursorValue_ = nullptr;

    // Trend points copied into the graph so far.
    std::size_t copied_ = 0;
    // While true the graph's point i is the trend's point i (no point skipped or reordered).
    bool sameIndexes_ = true;
    std::vector<SummCurvePoint> fresh_;
    std::vector<Mark> marks_;
    std::vector<Label> labels_;
};
