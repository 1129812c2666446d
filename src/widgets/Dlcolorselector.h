#pragma once

#include <QWidget>

#include <cstdint>

class TDLColorSelectorFrm;

// A flat field showing a colour; a click drops down the palette to choose another.
class TDLColorSelector : public QWidget {
    Q_OBJECT
public:
    explicit TDLColorSelector(QWidget* parent = nullptr);

    std::uint32_t colorValue() const { return colour_; }
    void setColorValue(std::uint32_t colour);  // no signal

    // Drops the palette down, as a click does; the window, for tests and for placing.
    void dropDown();
    TDLColorSelectorFrm* dropDownWindow() const { return dropDown_; }

    QSize sizeHint() const override;

signals:
    void OnChange();  // the operator chose a colour

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(std::uint32_t colour);

    std::uint32_t colour_ = 0;
    TDLColorSelectorFrm* dropDown_ = nullptr;  // made on the first drop, child of this field
};
