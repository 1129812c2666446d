#pragma once

#include <QFrame>
#include <QTimer>

#include <cstdint>

class QPushButton;
class TDLColorPalette;

// The window TDLColorSelector drops down: the palette and "Доп..." for the platform's colour
// dialog. A pop-up, so it closes as soon as it loses the focus.
class TDLColorSelectorFrm : public QFrame {
    Q_OBJECT
public:
    explicit TDLColorSelectorFrm(QWidget* parent = nullptr);

    // Shows the window at the colour, under the control's screen rectangle (above it when the
    // screen ends first), unrolling in ten steps of 10 ms.
    void dropDown(std::uint32_t colour, const QRect& control);
    bool unrolling() const { return timer_.isActive(); }

    TDLColorPalette* colourPalette() const { return palette_; }
    QPushButton* moreButton() const { return more_; }

signals:
    void chosen(std::uint32_t colour);  // from the palette or the colour dialog

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void step();
    void pickedFromPalette();
    void askPlatformDialog();

    QWidget* sheet_ = nullptr;  // the full-size contents, uncovered step by step
    TDLColorPalette* palette_ = nullptr;
    QPushButton* more_ = nullptr;
    QTimer timer_;
    int steps_ = 0;
    bool below_ = true;
    QRect target_;
};
