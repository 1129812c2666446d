#pragma once

#include "station/Setupwizard.h"

#include <QDialog>

class Configuration;
class NivraSystem;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QStackedWidget;
class TMyButton;
class TMyGrid;

// " Настройка программы": the setup wizard of a fresh installation, four steps shown one at a
// time. "OK" checks the gas list, stays open on a fault, and otherwise writes the type, the gas
// table and the summator switches through SetupWizard; saving the settings file is left to the
// caller. Created for one opening.
class TOptMasterForm : public QDialog {
    Q_OBJECT
public:
    TOptMasterForm(NivraSystem& system, Configuration& configuration, QWidget* parent = nullptr);
    ~TOptMasterForm() override;

    // Modal; true when confirmed with "OK" and written.
    bool execute();

    // "OK" checks and writes first, and stays open when the check fails.
    void done(int result) override;

    QStackedWidget* pages() const { return pages_; }
    QLabel* stepLabel() const { return step_; }
    TMyButton* previousButton() const { return previous_; }
    TMyButton* nextButton() const { return next_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }
    QSpinBox* countBox() const { return count_; }
    TMyGrid* gasGrid() const { return grid_; }
    QCheckBox* useSummator() const { return use_; }
    QCheckBox* showSummator() const { return show_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildMainPage();
    QWidget* buildGasesPage();
    QWidget* buildSummatorPage();
    QWidget* buildClosingPage();
    void fill();
    void fitGrid();

    void showPage(int page);
    void btnPrevClick();
    void btnNextClick();
    void tshGasesShow();
    void grGazesChange();
    void chbUseSummClick();
    SetupWizard::Values collect() const;
    void refuse(const SetupWizard::Refusal& refusal);

    SetupWizard wizard_;
    SetupWizard::Values shown_;

    QStackedWidget* pages_ = nullptr;
    QLabel* step_ = nullptr;
    TMyButton* previous_ = nullptr;
    TMyButton* next_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
    QLabel* model_ = nullptr;
    QComboBox* models_ = nullptr;
    QSpinBox* count_ = nullptr;
    TMyGrid* grid_ = nullptr;
    QCheckBox* use_ = nullptr;
    QCheckBox* show_ = nullptr;
};
