#pragma once

#include "analysis/Gazetalline.h"
#include "chromatogram/Etalvisplot.h"

#include <QDialog>

#include <filesystem>
#include <vector>

class GazOptions;
class QLabel;
class QTabBar;
class TMyButton;
class TMyGrid;

// "  Просмотр коэффицентов калибровки": the calibration curve of each gas on its own tab, with
// the entries' coefficients below. Dragging a point changes that entry's area in the view's
// copy; "Применить" hands the copy back, "Отменить" drops it.
class TEtalVisForm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* placementSection = "TEtalVisForm";

    // entries: a copy of the calibration window's programme (already committed from its grid).
    // settingsPath: "хроматограф.ini", where the window's placement is kept under its name.
    TEtalVisForm(std::vector<GazEtalLine> entries, double degassing, const GazOptions& gases,
                 std::filesystem::path settingsPath, QWidget* parent = nullptr);

    // Modal; true on "Применить".
    bool execute();
    // The view's copy, with dragged areas.
    const std::vector<GazEtalLine>& entries() const { return plot_.entries(); }

    // Every way out keeps the placement.
    void done(int result) override;

    QTabBar* gasTabs() const { return tabs_; }
    QLabel* gasLabel() const { return gasLabel_; }
    QWidget* plotArea() const { return plotArea_; }
    TMyGrid* grid() const { return grid_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }
    const EtalVisPlot& plot() const { return plot_; }

protected:
    // The plot area is a plain widget: its painting and the mouse come here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPlotArea();
    TMyGrid* buildGrid();
    void showGas(int index);
    void fillGrid();
    void fitGridHeight();
    void paintPlot();
    bool mouse(QEvent* event);
    void loadPlacement();
    void savePlacement() const;

    const GazOptions& gases_;
    std::filesystem::path settingsPath_;
    EtalVisPlot plot_;

    QTabBar* tabs_ = nullptr;
    QLabel* gasLabel_ = nullptr;
    QWidget* plotArea_ = nullptr;
    TMyGrid* grid_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
};
