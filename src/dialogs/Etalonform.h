#pragma once

#include "analysis/Calibrationprogramme.h"
#include "analysis/Calibrationrun.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class Configuration;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class Station;
class TEtalStartForm;
class TMyButton;
class TMyGrid;

// "  Калибровка хроматографа": the calibration programme, its runs through real analysis cycles
// and the result handed to the calibration store. Made once at start-up, shown from the menu;
// not modal and on top, so the station goes on working beside it, also during a run.
class TEtalonForm : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* caption = "  Калибровка хроматографа";
    static constexpr const char* programmeTitle = "Программа калибровки";
    static constexpr const char* saveQuestion = "Сохранить результат калибровки?";

    TEtalonForm(Station& station, Configuration& configuration, QWidget* parent = nullptr);
    ~TEtalonForm() override;

    // The menu's item: a fresh working copy of the store, shown.
    void open(std::filesystem::path settingsPath);

    // The operator's actions, also for tests.
    void addRecord();
    void editRecord();
    void deleteRecord();
    void runSelected();
    void cancelRun();
    // Ends a run at once, without results: the station is closing.
    void abortRun();
    void showCurves();
    void saveToFile();
    void loadFromFile();
    void accept();  // "OK": the save question on closing
    void reject();  // "Отмена": closes without it

    // Where the file dialogs' answers come from; tests give their own. An empty path is a cancel.
    std::function<QString(bool saving)> chooseFile;

    bool running() const { return run_ != nullptr; }
    const CalibrationProgramme& programme() const { return programme_; }
    double degassing() const { return degassing_; }
    // The selected entry's index, none without a selection.
    std::optional<std::size_t> selected() const;
    void select(std::size_t index);

    TMyGrid* programmeGrid() const { return programmeGrid_; }
    TMyGrid* resultsGrid() const { return resultsGrid_; }
    QLineEdit* degassingEdit() const { return degassingEdit_; }
    QLabel* programmeTitleBar() const { return programmeTitle_; }
    TMyButton* runButton() const { return runButton_; }
    TMyButton* cancelRunButton() const { return cancelRun_; }
    TMyButton* curvesButton() const { return curves_; }
    TMyButton* addButton() const { return add_; }
    TMyButton* editButton() const { return edit_; }
    TMyButton* deleteButton() const { return delete_; }
    TMyButton* okButton() const { return ok_; }
    QWidget* resultsPanel() const { return resultsPanel_; }
    QWidget* bottomBar() const { return bottomBar_; }

signals:
    // Shown or hidden: the display leaves out its labels and results box meanwhile.
    void visibilityChanged(bool visible);
    // A run takes the upper third of the screen; the main window the rest, frame included.
    void runLayoutRequested(const QRect& mainWindowFrame);
    void runLayoutEnded();
    // The station refused the start of an attempt; the run has ended.
    void startRefused(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildProgrammePanel();
    QWidget* buildResultsPanel();
    QWidget* buildBottomBar();
    void buildPopupMenu();
    void fillProgramme();
    void fillResults();
    void fillGrids();
    void commitResults();
    void selectionChanged();
    void degassingChanged(const QString& text);
    void takeIntoStore();
    void setEditingEnabled(bool on);

    CalibrationRun::Controller controller();
    void applyRunLayout();
    void restoreNormalLayout();
    void runStep();
    void finishRun();

    Station& station_;
    Configuration& configuration_;
    std::filesystem::path settingsPath_;
    CalibrationProgramme programme_;
    double degassing_ = 1.0;
    bool discardOnClose_ = true;
    QRect savedBounds_;
    bool placed_ = false;     // centred on the screen at the first opening
    bool runLayout_ = false;  // the window and the main window are placed for a run
    std::unique_ptr<CalibrationRun> run_;
    std::size_t runEntry_ = 0;
    std::optional<QString> refusal_;

    QLabel* programmeTitle_ = nullptr;
    TMyGrid* programmeGrid_ = nullptr;
    TMyGrid* resultsGrid_ = nullptr;
    QLineEdit* degassingEdit_ = nullptr;
    TMyButton* add_ = nullptr;
    TMyButton* edit_ = nullptr;
    TMyButton* delete_ = nullptr;
    TMyButton* runButton_ = nullptr;
    TMyButton* cancelRun_ = nullptr;
    TMyButton* curves_ = nullptr;
    TMyButton* save_ = nullptr;
    TMyButton* load_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
    QWidget* resultsPanel_ = nullptr;
    QWidget* bottomBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QTimer* stepTimer_ = nullptr;
    QPointer<TEtalStartForm> prompt_;  // while the run's prompt stands
};
