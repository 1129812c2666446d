#pragma once

#include "analysis/Etalrecordedit.h"

#include <QDialog>

#include <filesystem>

class GazOptions;
class QCheckBox;
class QComboBox;
class QLabel;
class TMyButton;
class TMyGrid;

// The calibration record editor: each gas's share in the reference mixture as bottled, the
// dilution it is fed with and the number of analyses.
class TEditEtalForm : public QDialog {
    Q_OBJECT
public:
    TEditEtalForm(const GazOptions& gases, std::filesystem::path settingsPath, QWidget* parent = nullptr);

    // Caption "  Добавить", absolute values preset from "калибровка"/"проценты". On OK (true)
    // entry's dilution, repeats and concentrations are set and the typed texts written back.
    bool addRecord(GazEtalLine& entry);
    // Caption "  Редактирование", filled from entry. On OK (true) entry's dilution, repeats and
    // concentrations are replaced; its areas are left alone.
    bool editRecord(GazEtalLine& entry);

    // What is typed into a cell but not entered yet counts.
    void done(int result) override;

    TMyGrid* grid() const { return grid_; }
    QCheckBox* dilutionBox() const { return dilution_; }
    QComboBox* partsList() const { return parts_; }
    QComboBox* totalList() const { return total_; }
    QComboBox* repeatsList() const { return repeats_; }
    TMyButton* okButton() const { return ok_; }
    TMyButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGrid();
    QLayout* buildDilutionRow();
    QLayout* buildRepeatsRow();
    void fitGrid();
    void fill(const EtalRecordEdit::Fields& fields);
    EtalRecordEdit::Fields typed() const;
    void dilutionToggled(bool on);
    bool run(const QString& caption, const EtalRecordEdit::Fields& fields, GazEtalLine& entry);

    const GazOptions& gases_;
    std::filesystem::path settingsPath_;

    TMyGrid* grid_ = nullptr;
    QCheckBox* dilution_ = nullptr;
    QComboBox* parts_ = nullptr;
    QLabel* to_ = nullptr;
    QComboBox* total_ = nullptr;
    QComboBox* repeats_ = nullptr;
    TMyButton* ok_ = nullptr;
    TMyButton* cancel_ = nullptr;
};
