#pragma once

#include <QWidget>

// One strip of the colour selection window: the line widths, the line styles or the fills, in
// equal cells, the chosen one framed.
class TColorSelectStrip : public QWidget {
    Q_OBJECT
public:
    enum Kind { lineWidths, lineStyles, fillStyles };

    explicit TColorSelectStrip(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    int cellCount() const;
    // Width 1 … 5, or the style 0 … 4 / 0 … 7; out-of-range values are clamped.
    int value() const { return value_; }
    void setValue(int value);
    QRect cellRect(int cell) const;

    QSize sizeHint() const override;

signals:
    void changed();        // a click chose another value
    void doubleClicked();  // the window confirms with it

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void pick(int x);
    int valueAt(int x) const;
    int cellOf(int value) const;
    void drawSample(QPainter& painter, int cell, const QRect& area) const;

    Kind kind_;
    int value_ = 0;
};
