#pragma once

#include "library/Myfunctions.h"

#include <QAbstractButton>
#include <QPointer>

#include <cstdint>
#include <initializer_list>

// The station's gradient push button. Clicking it with a modal result closes its dialog with that
// result before clicked() reaches anyone else. Enter in its window clicks the Default button
// unless a TMyButton has the focus; Escape clicks the Cancel button (a dialog then does not
// reject on its own as well).
class QHBoxLayout;

class TMyButton : public QAbstractButton {
    Q_OBJECT
public:
    enum ModalResult { mbmrNone, mbmrOk, mbmrCancel, mbmrAbort, mbmrRetry, mbmrIgnore, mbmrYes, mbmrNo, mbmrAll };
    enum GradientType { mbgtNone, mbgtVertical, mbgtHorizontal, mbgtDiagonal1, mbgtDiagonal2 };
    enum ButtonType { mbtSimple, mbtRoundRect };
    Q_ENUM(ModalResult)
    Q_ENUM(GradientType)
    Q_ENUM(ButtonType)

    explicit TMyButton(const QString& caption = {}, QWidget* parent = nullptr);
    // The pair every dialog of the station ends with: "OK", the default button closing it with
    // OK, and "Отмена", the cancel button (Escape) closing it without.
    static TMyButton* okButton(QWidget* parent = nullptr);
    static TMyButton* cancelButton(QWidget* parent = nullptr);
    // "Справка", which the station's dialogs carry beside them.
    static TMyButton* helpButton(QWidget* parent = nullptr);
    // The buttons at the right end of a row, as a dialog's bottom line has them.
    static QHBoxLayout* rowAtRight(std::initializer_list<TMyButton*> buttons);
    ~TMyButton() override;

    void setModalResult(ModalResult result) { modalResult_ = result; }
    ModalResult modalResult() const { return modalResult_; }
    void setDefault(bool on);
    bool isDefault() const { return default_; }
    void setCancel(bool on);
    bool isCancel() const { return cancel_; }

    // The button colour (the button face unless set) that the automatic gradient and border
    // derive from, and the tint (ColorHue) they take.
    void setColor(std::uint32_t face);
    std::uint32_t color() const { return face_; }
    void setColorHue(std::uint32_t hue);
    std::uint32_t colorHue() const { return hue_; }
    void setFontColor(std::uint32_t text);
    std::uint32_t fontColor() const { return fontColour_; }

    void setGradientType(GradientType type);
    GradientType gradientType() const { return gradientType_; }
    void setGradientColor1(std::uint32_t colour);
    std::uint32_t gradientColor1() const { return gradientColour1_; }
    void setGradientColor2(std::uint32_t colour);
    std::uint32_t gradientColor2() const { return gradientColour2_; }
    void setAutoGradientColors(bool on);
    bool autoGradientColors() const { return autoGradient_; }

    void setBorderFrame(bool on);
    bool borderFrame() const { return borderFrame_; }
    void setBorderWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderColor(std::uint32_t colour);
    std::uint32_t borderColor() const { return borderColour_; }
    void setAutoBorderColor(bool on);
    bool autoBorderColor() const { return autoBorder_; }
    void setFrameColor(std::uint32_t colour);
    std::uint32_t frameColor() const { return frameColour_; }
    void setDefaultColor(std::uint32_t colour);
    std::uint32_t defaultColor() const { return defaultColour_; }

    // Horizontal placement of the caption (left, right or centre); always centred vertically.
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return alignment_; }
    void setTextShadow(bool on);
    bool textShadow() const { return textShadow_; }
    void setTextShadowColor(std::uint32_t colour);
    std::uint32_t textShadowColor() const { return textShadowColour_; }

    void setType(ButtonType type);
    ButtonType type() const { return type_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The colours the button is drawn with when neither pressed nor hovered: the gradient ends
    // (both the button colour without a gradient) and the border.
    lib::GradientColours effectiveGradient() const;
    std::uint32_t effectiveBorderColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyModalResult();
    void updateShape();
    // Watches the keys that reach the window while this button is Default or Cancel.
    void watchWindow();
    bool handleWindowKey(int key, bool autoRepeat);
    bool tmyButtonHasFocus() const;
    template <typename T>
    void setAndRepaint(T& field, T value);

    ModalResult modalResult_ = mbmrNone;
    bool default_ = false;
    bool cancel_ = false;
    std::uint32_t face_ = lib::systemColour(lib::scButtonFace);
    std::uint32_t hue_ = 0;
    std::uint32_t fontColour_ = lib::systemColour(lib::scButtonText);
    GradientType gradientType_ = mbgtDiagonal1;
    std::uint32_t gradientColour1_ = 0xFFFFFF;
    std::uint32_t gradientColour2_ = 0x808080;
    bool autoGradient_ = true;
    bool borderFrame_ = true;
    int borderWidth_ = 2;
    std::uint32_t borderColour_ = 0x808080;
    bool autoBorder_ = true;
    std::uint32_t frameColour_ = lib::systemColour(lib::scWindowFrame);
    std::uint32_t defaultColour_ = 0xFF0000;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    bool textShadow_ = false;
    std::uint32_t textShadowColour_ = 0x808080;
    ButtonType type_ = mbtRoundRect;
    bool hovered_ = false;
    QPointer<QWidget> watchedWindow_;
};
