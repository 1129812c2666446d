#pragma once

#include "analysis/Gaztimeedit.h"

#include <QWidget>

#include <boost/signals2/connection.hpp>

class NivraSystem;
class QComboBox;
class QLabel;
class TDLRangeSelector;

// " Корректировка времени выхода газа": the retention window of one gas at a time, dragged on a
// 0 … 100 s scale and stored at once, also while an analysis runs. A tool window over the main
// window, made once and shown again; its list is filled at the first showing only.
class TGazTimeForm : public QWidget {
    Q_OBJECT
public:
    explicit TGazTimeForm(NivraSystem& system, QWidget* parent = nullptr);

    QComboBox* gazes() const { return cbGazes_; }
    TDLRangeSelector* range() const { return range_; }
    QLabel* rangeLabel() const { return lbRange_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void gazesChange();
    void rangeChange(int value1, int value2);
    void showWindow(const GazTimeEdit::Window& window);
    void setEditable(bool on);

    NivraSystem& system_;
    GazTimeEdit edit_;
    // Set while this window stores, whose own announcement must not move the sliders back.
    bool storing_ = false;
    boost::signals2::scoped_connection timesChanged_;

    QComboBox* cbGazes_ = nullptr;
    TDLRangeSelector* range_ = nullptr;
    QLabel* lbRange_ = nullptr;
};
