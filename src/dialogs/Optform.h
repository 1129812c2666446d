#pragma once

#include "station/Workoptions.h"

#include <QDialog>

#include <functional>

class Configuration;
class NivraSystem;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class QTimer;
class TDLColorSelector;
class TMyButton;

// "  Настройки": the working settings of the station. The controls hold the edits until "OK",
// which stores and saves them through WorkOptions; "Отмена" drops them. Created for one opening.
class TOptForm : public QDialog {
    Q_OBJECT
public:
    TOptForm(NivraSystem& system, Configuration& configuration, QWidget* parent = nullptr);
    ~TOptForm() override;

    // Modal; true when "OK" stored the settings and saved them.
    bool execute();

    // Opens the summator's start-threshold dialog over this one; its button is disabled while
    // this is empty.
    std::function<void(QWidget& parent)> thresholdDialog;

    // "OK" stores first and stays open when a gas window is refused; every close ends a zero
    // calibration still running.
    void done(int result) override;

    QTabWidget* pages() const { return pages_; }
    QTableWidget* timeGrid() const { return timeGrid_; }
    QTableWidget* gasGrid() const { return gasGrid_; }
    QWidget* topArea() const { return topArea_; }
    QWidget* manufacturerArea() const { return manufacturerArea_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }
    TMyButton* zeroShiftButton() const { return zeroShift_; }
    TMyButton* thresholdButton() const { return threshold_; }
    QLabel* fontPreview() const { return fontPreview_; }
    int zeroShiftTicks() const { return ticks_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildModePage();
    QWidget* buildGasPage();
    QWidget* buildScreenPage();
    QWidget* buildSummatorPage();
    QWidget* buildMiscPage();
    QWidget* buildManufacturerPage();
    void fill();
    void fillTimeGrid(const std::vector<std::string>& texts);
    void fillGasGrid();
    void applySettingsMode();
    void applyDeviceLayout();
    WorkOptions::Values collect() const;
    bool storeAll();
    void commitEditors();

    void timeGridCellChanged(int row, int column);
    void timeItemChanged(QTableWidgetItem* item);
    void focusMoved(QWidget* old, QWidget* now);
    void requestTimeCheck(int row, bool focusBack);
    void runTimeCheck();
    bool checkTimeCell(int row, bool focusBack);
    void gasGridCellChanged(int row, int column);
    void gasItemChanged(QTableWidgetItem* item);
    void openColour(int row);
    bool gasRowNamed(int row) const;
    void updateFontPreview();
    void summatorUseClicked(bool on);
    void summatorUseToggled(bool on);
    void nullShiftEdited(const QString& text);
    void startZeroShift();
    void zeroShiftTick();
    void finishZeroShift();
    void abandonZeroShift();
    void showManufacturerPage();
    void showTypeSelector();
    void deviceTypeChosen(int type);
    void showMessage(const QString& text);

    Configuration& configuration_;
    WorkOptions options_;
    WorkOptions::Values shown_;
    bool filling_ = false;
    bool checking_ = false;
    bool checkQueued_ = false;
    int pendingRow_ = -1;
    bool pendingFocusBack_ = false;
    int ticks_ = 0;
    QTimer* timer_ = nullptr;

    QWidget* topArea_ = nullptr;
    QTabWidget* pages_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
    TMyButton* help_ = nullptr;

    // "Режим"
    QRadioButton* modes_[5] = {};
    QComboBox* timePeriod_ = nullptr;
    QComboBox* maxDepth_ = nullptr;
    QCheckBox* saveAll_ = nullptr;
    QCheckBox* saveScience_ = nullptr;
    QTableWidget* timeGrid_ = nullptr;
    // "Газ"
    QTableWidget* gasGrid_ = nullptr;
    QCheckBox* correctWindows_ = nullptr;
    QWidget* minGazRow_ = nullptr;
    QLineEdit* minGaz_ = nullptr;
    // "Экран"
    TDLColorSelector* background_ = nullptr;
    TDLColorSelector* curve_ = nullptr;
    QSpinBox* curveWidth_ = nullptr;
    QComboBox* horizontalGrid_ = nullptr;
    QComboBox* verticalGrid_ = nullptr;
    QLabel* screenSecondsLabel_ = nullptr;
    QLineEdit* screenSeconds_ = nullptr;
    QWidget* fontControls_ = nullptr;
    QFontComboBox* fontName_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QSpinBox* tableFontSize_ = nullptr;
    QLabel* fontPreview_ = nullptr;
    // "Газосумматор"
    QCheckBox* summatorUse_ = nullptr;
    QLabel* summatorPortLabel_ = nullptr;
    QComboBox* summatorPort_ = nullptr;
    QWidget* summatorPanel_ = nullptr;
    QCheckBox* summatorShow_ = nullptr;
    QCheckBox* summatorShowWindow_ = nullptr;
    QComboBox* summatorPrecision_ = nullptr;
    TMyButton* threshold_ = nullptr;
    QWidget* coeffRow_[2] = {};
    QLineEdit* coeff_ = nullptr;
    QLineEdit* null_ = nullptr;
    QWidget* null10Row_[3] = {};
    QLineEdit* null10_ = nullptr;
    QWidget* switchRow_[3] = {};
    QLineEdit* switchThreshold_ = nullptr;
    QWidget* max1Row_[3] = {};
    QLineEdit* max1_ = nullptr;
    QWidget* max10Row_[3] = {};
    QLineEdit* max10_ = nullptr;
    TMyButton* zeroShift_ = nullptr;
    bool clearPresence_ = false;
    // "Разное"
    QComboBox* port_ = nullptr;
    QLabel* model_ = nullptr;
    QCheckBox* remoteControl_ = nullptr;
    QGroupBox* protection_ = nullptr;
    QLineEdit* password_ = nullptr;
    // "Настройки производителя"
    QWidget* manufacturerArea_ = nullptr;
    QComboBox* adcFormat_ = nullptr;
    QCheckBox* showAdc_ = nullptr;
    QComboBox* zeroTime_ = nullptr;
    QGroupBox* tavirGroup_ = nullptr;
    QComboBox* doseTime_ = nullptr;
    QGroupBox* typeGroup_ = nullptr;
    QComboBox* deviceType_ = nullptr;
};
