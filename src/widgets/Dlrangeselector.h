#pragma once

#include "library/Rangescale.h"
#include "widgets/Dlgradient.h"

#include <QWidget>

#include <cstdint>

// Two sliders on a labelled scale choosing an interval Value1 … Value2 inside Min … Max. The
// operator drags them; the setters change nothing but the picture and raise no signal.
class TDLRangeSelector : public QWidget {
    Q_OBJECT
public:
    explicit TDLRangeSelector(QWidget* parent = nullptr);

    // Values are moved into the new range.
    void setMin(int min);
    int min() const { return scale_.min(); }
    void setMax(int max);
    int max() const { return scale_.max(); }
    // Clamped to Min … Max.
    void setValue1(int value);
    int value1() const { return scale_.value1(); }
    void setValue2(int value);
    int value2() const { return scale_.value2(); }
    void setScalesCount(int count);
    int scalesCount() const { return scale_.scalesCount(); }

    void setSliderColor(std::uint32_t colour);
    std::uint32_t sliderColor() const { return sliderColour_; }
    void setIntervalColor(std::uint32_t colour);
    std::uint32_t intervalColor() const { return intervalColour_; }
    // The background: white, filled by the gradient unless its type is dlgtNone (the default here).
    void setColor(std::uint32_t colour);
    std::uint32_t color() const { return colour_; }
    void setGradient(const TDLGradient& gradient);
    const TDLGradient& gradient() const { return gradient_; }
    void setBorderWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderColor(std::uint32_t colour);
    std::uint32_t borderColor() const { return borderColour_; }

    // The geometry the control is drawn and dragged with (its width and font height).
    const RangeScale& scale() const { return scale_; }

    QSize sizeHint() const override;

signals:
    void OnChange(QObject* sender, int value1, int value2);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Layout;
    Layout layout() const;
    void paintScale(QPainter& painter, const Layout& layout) const;
    void paintSlider(QPainter& painter, const Layout& layout, int x) const;

    RangeScale scale_;
    std::uint32_t sliderColour_ = 0x00FF00;
    std::uint32_t intervalColour_ = 0xDEDEDE;
    std::uint32_t colour_ = 0xFFFFFF;
    TDLGradient gradient_;
    int borderWidth_ = 1;
    std::uint32_t borderColour_;
};
