#pragma once

#include "library/Colorpalette.h"

#include <QWidget>

#include <cstdint>
#include <optional>

// The palette of 13 x 8 colour cells; the chosen cell is framed in blue.
class TColorSelector : public QWidget {
    Q_OBJECT
public:
    explicit TColorSelector(QWidget* parent = nullptr);

    std::uint32_t colorValue() const { return colour_; }
    void setColorValue(std::uint32_t colour);  // no signal; a colour not in the palette frames no cell

    // The framed cell, none when the colour is not in the palette.
    std::optional<lib::PaletteCell> selectedCell() const { return cell_; }
    // Where a cell lies, for the windows that place the selector and for their tests.
    QRect cellRect(lib::PaletteCell cell) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void OnChangeColor();  // the operator picked another cell
    void doubleClicked();  // a double click on the palette (dialogs confirm with it)

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void pick(const QPoint& position);

    std::uint32_t colour_ = 0;
    std::optional<lib::PaletteCell> cell_;
};
