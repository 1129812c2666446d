#pragma once

#include "library/Colorselection.h"

#include <QDialog>

#include <cstdint>

class TColorSelectStrip;
class TColorSelector;

// The colour selection window: the palette, and by mode the line width and line style strips or
// the fill strip. A double click anywhere on them confirms, Escape cancels.
class TColorSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TColorSelectForm(QWidget* parent = nullptr);

    void setMode(int mode);  // 0, 1, 2; default 2
    int mode() const { return chosen_.mode(); }
    void setColour(std::uint32_t colour);
    std::uint32_t colour() const { return chosen_.colour(); }  // default 0xFF0000 (blue)
    void setLineWidth(int width);
    int lineWidth() const { return chosen_.lineWidth(); }  // 1 … 5
    void setFillStyle(int style);
    int fillStyle() const { return chosen_.fillStyle(); }  // 0 … 7
    void setLineStyle(int style);
    int lineStyle() const { return chosen_.lineStyle(); }  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot

    // Modal. True when confirmed: the values above are then the chosen ones; false leaves them as
    // they were.
    bool execute(const QString& title, bool titleIsCaption);

    TColorSelector* selector() const { return selector_; }
    TColorSelectStrip* lineWidthStrip() const { return lineWidth_; }
    TColorSelectStrip* lineStyleStrip() const { return lineStyle_; }
    TColorSelectStrip* fillStrip() const { return fill_; }

private:
    void showSelection(const lib::ColorSelection& selection);
    lib::ColorSelection selectionShown() const;

    lib::ColorSelection chosen_;
    TColorSelector* selector_ = nullptr;
    TColorSelectStrip* lineWidth_ = nullptr;
    TColorSelectStrip* lineStyle_ = nullptr;
    TColorSelectStrip* fill_ = nullptr;
};
