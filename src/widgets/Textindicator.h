#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

// A text (or a number) on a gradient inside a border: the state indicator of the main window
// among others. Every setter repaints only when the value changes, so a window may set the
// same text and colours on every refresh.
class TTextIndicator : public QWidget {
    Q_OBJECT
public:
    enum GradientDir { gdVertival, gdHorizontal };     // colour changing from top to bottom, or left to right
    enum TextDirection { tdVertival, tdHorizontal };   // vertical text reads from bottom to top
    Q_ENUM(GradientDir)
    Q_ENUM(TextDirection)

    explicit TTextIndicator(QWidget* parent = nullptr);

    // What the indicator shows: Text, or with UseValueProperty the Value with DecDigits decimals.
    void setText(const QString& text);
    QString text() const { return text_; }
    void setValue(double value);
    double value() const { return value_; }
    void setUseValueProperty(bool on);
    bool useValueProperty() const { return useValue_; }
    void setDecDigits(int digits);
    int decDigits() const { return decDigits_; }
    QString shownText() const;

    void setGradient(bool on);
    bool gradient() const { return gradient_; }
    void setGradientColor1(std::uint32_t colour);
    std::uint32_t gradientColor1() const { return gradientColour1_; }
    void setGradientColor2(std::uint32_t colour);
    std::uint32_t gradientColor2() const { return gradientColour2_; }
    void setGradientColors(std::uint32_t first, std::uint32_t second);
    void setGradientDir(GradientDir direction);
    GradientDir gradientDir() const { return gradientDir_; }

    void setBorderWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderColor(std::uint32_t colour);
    std::uint32_t borderColor() const { return borderColour_; }

    void setFontColor(std::uint32_t colour);
    std::uint32_t fontColor() const { return fontColour_; }
    void setTextShadow(bool on);
    bool textShadow() const { return textShadow_; }
    void setTextShadowColor(std::uint32_t colour);
    std::uint32_t textShadowColor() const { return textShadowColour_; }
    void setTextShadowSize(int size);
    int textShadowSize() const { return textShadowSize_; }

    // Horizontal placement: left (border + 1), right (width − text − border − 1) or centre.
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return alignment_; }
    void setTextDirection(TextDirection direction);
    TextDirection textDirection() const { return textDirection_; }

    // Kept for the window descriptions: the caption is not drawn, IndColor and LineColor are
    // the colours of the drilling indicators sharing the base, which this one does not use.
    void setCaption(const QString& caption) { caption_ = caption; }
    QString caption() const { return caption_; }
    void setIndColor(std::uint32_t colour) { indColour_ = colour; }
    std::uint32_t indColor() const { return indColour_; }
    void setLineColor(std::uint32_t colour) { lineColour_ = colour; }
    std::uint32_t lineColor() const { return lineColour_; }
    // Every widget paints off-screen first already; the flag only records the wish.
    void setDoubleBuffering(bool on) { doubleBuffering_ = on; }
    bool doubleBuffering() const { return doubleBuffering_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintText(QPainter& painter, const QRect& area) const;
    template <typename T>
    void setAndRepaint(T& field, T value);

    QString text_;
    double value_ = 1.0;
    bool useValue_ = false;
    int decDigits_ = 1;
    bool gradient_ = true;
    std::uint32_t gradientColour1_ = 0xEBEBEB;
    std::uint32_t gradientColour2_ = 0xFFDB9D;
    GradientDir gradientDir_ = gdHorizontal;
    int borderWidth_ = 2;
    std::uint32_t borderColour_ = 0xFF0000;
    std::uint32_t fontColour_ = 0;
    bool textShadow_ = true;
    std::uint32_t textShadowColour_ = 0x808080;
    int textShadowSize_ = 1;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    TextDirection textDirection_ = tdHorizontal;
    QString caption_;
    std::uint32_t indColour_ = 0x0000FF;
    std::uint32_t lineColour_ = 0;
    bool doubleBuffering_ = true;
};
