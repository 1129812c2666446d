#pragma once

#include "library/Colorpalette.h"

#include <QWidget>

#include <cstdint>
#include <optional>

// The palette of the drop-down colour field: the same 13 x 8 colours as separate swatches, the
// one under the mouse and the chosen one outlined.
class TDLColorPalette : public QWidget {
    Q_OBJECT
public:
    explicit TDLColorPalette(QWidget* parent = nullptr);

    std::uint32_t colorValue() const { return colour_; }
    void setColorValue(std::uint32_t colour);  // no signal

    QRect cellRect(lib::PaletteCell cell) const;
    QSize sizeHint() const override;

signals:
    void OnChangeColor();  // a click chose another colour
    void picked();         // a click on any swatch, the same colour too: the drop-down closes

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    lib::PaletteCell cellAt(const QPoint& position) const;

    std::uint32_t colour_ = 0;
    std::optional<lib::PaletteCell> cell_;
    std::optional<lib::PaletteCell> hovered_;
};
