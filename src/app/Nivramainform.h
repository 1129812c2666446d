#pragma once

#include "station/Stationview.h"

#include <boost/signals2/connection.hpp>

#include <QMainWindow>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ChromatogramPanel;
class ChromatogramPrinter;
class HistoryPage;
class MyGraphics;
class ResultsTablePage;
class SummatorChart;
class TEtalonForm;
class TGazTimeForm;
class TTextIndicator;
class Configuration;
class JournalPage;
class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
class Station;

// The station's main window: menus, tool bar, indicators and pages over a running Station. It
// drives the station with the 400 ms timer and forwards the operator's actions; what it shows
// comes from the station and StationView.
class TNivraMainForm : public QMainWindow {
    Q_OBJECT
public:
    // The station has been started up (settings, journal, stores); the window starts its
    // services and the timer.
    TNivraMainForm(Station& station, Configuration& configuration, QWidget* parent = nullptr);
    ~TNivraMainForm() override;

    // The launcher's message: restore, raise, activate.
    void bringToFront();
    // Closing without the operator's question, for a stop signal or a desktop log-out: when
    // idle at once, else after the running cycle; with abandonCycle a running cycle is ended.
    void closeUnattended(bool abandonCycle);
    bool closedDown() const { return closedDown_; }

    // The timer's work, one step.
    void tick();

    // For tests and the smoke run: controls by their menu text or hint.
    QAction* action(const QString& text) const;
    QToolButton* modeButton(std::int32_t mode) const;
    QToolButton* startButton() const { return startButton_; }
    QToolButton* saveButton() const { return saveButton_; }
    TTextIndicator* stateIndicator() const { return stateIndicator_; }
    QLabel* cycleTimeIndicator() const { return cycleTime_; }
    QLabel* modeIndicator() const { return modeName_; }
    QLabel* summatorValue() const { return summatorValue_; }
    bool summatorStripShown() const;
    SummatorChart* summatorChart() const { return summatorChart_; }
    ChromatogramPanel* chromatogramPanel() const { return panel_; }
    JournalPage* journalPage() const { return journalPage_; }
    ResultsTablePage* tablePage() const { return tablePage_; }
    HistoryPage* historyPage() const { return historyPage_; }
    ChromatogramPrinter* chromatogramPrinter() const { return printer_; }
    QTabWidget* pages() const { return pages_; }
    // Null until "Время выхода газов" first opened it.
    TGazTimeForm* gasTimesWindow() const { return gasTimes_; }
    TEtalonForm* calibrationWindow() const { return calibration_; }

signals:
    // Just before the station closes down (stores and settings are written after it).
    void closingDown();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct MenuItem;

    void buildMenus();
    QAction* addItem(QMenu& menu, const MenuItem& item);
    void buildToolBar();
    void buildSummatorStrip(QWidget& parent);
    void buildPages();
    void buildStatusLine();
    void applyFonts();
    void readPlacement();
    void writePlacement();
    void connectStation();

    void startCycle();
    void setMode(std::int32_t mode);
    void checkModeItems();
    void toggleSettingsMode();
    void openWorkSettings();
    void openThreshold(QWidget& parent);
    void openGeneralSettings();
    void runSetupWizard();
    void showGasTimes();
    void buildCalibrationWindow();
    void openCalibration();
    // A calibration run shows the display below its window and keeps the operator out of the
    // menus and the tool bar until it ends.
    void enterCalibrationLayout(const QRect& frame);
    void leaveCalibrationLayout();
    void showAbout();
    void startWarmUp();
    void saveCurrent();
    void showFailure(const std::string& text);
    void printChromatogram();
    void printHistoryEntry();
    bool refusePrintWhileWorking();
    bool askToPrint();
    void printCurve(const MyGraphics& curve);
    void setPrintButtonsEnabled(bool enabled);

    void refreshModes();
    void refreshState();
    void applyVisibility();
    void applyCaption();

    bool mayClose();
    void closeDown();

    Station& station_;
    Configuration& configuration_;
    StationView view_;

    QTimer* timer_ = nullptr;
    std::vector<QAction*> actions_;
    std::array<QAction*, 5> modeItems_{};
    QAction* warmUpItem_ = nullptr;
    QAction* settingsModeItem_ = nullptr;
    QAction* generalSettingsItem_ = nullptr;
    QAction* calibrationItem_ = nullptr;
    QToolButton* startButton_ = nullptr;
    std::array<QToolButton*, 5> modeButtons_{};
    QButtonGroup* modeGroup_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QLabel* modeName_ = nullptr;
    TTextIndicator* stateIndicator_ = nullptr;
    QLabel* cycleTime_ = nullptr;
    QWidget* summatorStrip_ = nullptr;
    QAction* summatorStripPlace_ = nullptr;  // a tool bar shows its widgets through their actions
    QLabel* summatorValue_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QSplitter* chartSplitter_ = nullptr;
    ChromatogramPanel* panel_ = nullptr;
    SummatorChart* summatorChart_ = nullptr;
    JournalPage* journalPage_ = nullptr;
    ResultsTablePage* tablePage_ = nullptr;
    HistoryPage* historyPage_ = nullptr;
    TGazTimeForm* gasTimes_ = nullptr;
    TEtalonForm* calibration_ = nullptr;
    ChromatogramPrinter* printer_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QRect boundsBeforeRun_;
    bool maximisedBeforeRun_ = false;
    std::vector<bool> actionsEnabledBeforeRun_;

    std::vector<boost::signals2::scoped_connection> connections_;
    bool closedDown_ = false;
    bool closeUnattended_ = false;
    bool abandonCycle_ = false;
};
