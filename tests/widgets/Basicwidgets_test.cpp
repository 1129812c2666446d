#include "widgets/Dlgradient.h"
#include "widgets/Dlrangeselector.h"
#include "widgets/Mybutton.h"
#include "widgets/Qtcolour.h"
#include "widgets/Textindicator.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "support/Modalanswer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using modal::answerModal;

const QString pictures = QStringLiteral(NIVRA_BASIC_PICTURES);

void showAndActivate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A window with an edit, a default button, a cancel button and a plain one.
struct ButtonWindow {
    explicit ButtonWindow(QWidget& window)
        : edit(new QLineEdit(&window)), ok(new TMyButton("OK", &window)), cancel(new TMyButton("Отмена", &window)),
          other(new TMyButton("Другая", &window))
    {
        auto* layout = new QHBoxLayout(&window);
        for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(ok), static_cast<QWidget*>(cancel),
                           static_cast<QWidget*>(other)})
            layout->addWidget(w);
        ok->setDefault(true);
        cancel->setCancel(true);
    }
    QLineEdit* edit;
    TMyButton* ok;
    TMyButton* cancel;
    TMyButton* other;
};

TEST(MyButtonKeys, EnterClicksTheDefaultButtonUnlessATMyButtonHasTheFocus)
{
    QWidget window;
    ButtonWindow w(window);
    QSignalSpy okClicks(w.ok, &QAbstractButton::clicked);
    QSignalSpy otherClicks(w.other, &QAbstractButton::clicked);
    QSignalSpy cancelClicks(w.cancel, &QAbstractButton::clicked);
    showAndActivate(window);

    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_Return);
    QTest::keyClick(w.edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(okClicks.count(), 2);

    w.other->setFocus();
    QTest::keyClick(w.other, Qt::Key_Return);
    EXPECT_EQ(otherClicks.count(), 1) << "Enter on the focused button clicks it";
    EXPECT_EQ(okClicks.count(), 2);
    QTest::keyClick(&window, Qt::Key_Return);   // even when the window itself gets the key
    EXPECT_EQ(okClicks.count(), 2);

    w.edit->setFocus();
    w.ok->setEnabled(false);
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(okClicks.count(), 2) << "a disabled default button is not clicked";

    QTest::keyClick(w.edit, Qt::Key_Escape);
    w.other->setFocus();
    QTest::keyClick(w.other, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks.count(), 2);
}

TEST(MyButtonKeys, TheWindowIsFoundWhenTheButtonIsPlacedAfterItWasMadeDefault)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* group = new QWidget;
    TMyButton ok("OK");
    ok.setDefault(true);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(&ok);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(group);
    QSignalSpy clicks(&ok, &QAbstractButton::clicked);
    showAndActivate(window);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    inner->removeWidget(&ok);
    ok.setParent(nullptr);   // leaves the window before the window goes
}

TEST(MyButtonDialog, EscapeRunsTheCancelButtonExactlyOnce)
{
    for (const auto result : {TMyButton::mbmrCancel, TMyButton::mbmrNone}) {
        QDialog dialog;
        ButtonWindow w(dialog);
        w.cancel->setModalResult(result);
        int handled = 0;
        QObject::connect(w.cancel, &QAbstractButton::clicked, [&] { ++handled; });
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        answerModal([&](QWidget&) {
            w.edit->setFocus();
            QTest::keyClick(w.edit, Qt::Key_Escape);
            // Without a modal result the handler decides; the dialog stays open.
            if (dialog.isVisible())
                QTimer::singleShot(0, &dialog, [&] { dialog.done(42); });
        });
        const int code = dialog.exec();
        EXPECT_EQ(handled, 1) << result;
        if (result == TMyButton::mbmrCancel) {
            EXPECT_EQ(code, QDialog::Rejected);
            EXPECT_EQ(rejected.count(), 1);
        } else {
            EXPECT_EQ(code, 42) << "Escape must not also reject the dialog";
            EXPECT_EQ(rejected.count(), 0);
        }
    }
}

TEST(MyButtonDialog, AModalResultClosesTheDialogBeforeTheClickHandlerRuns)
{
    struct Case {
        TMyButton::ModalResult result;
        int code;
        bool byEnter;
    };
    const Case cases[] = {
        {TMyButton::mbmrOk, QDialog::Accepted, false},
        {TMyButton::mbmrOk, QDialog::Accepted, true},
        {TMyButton::mbmrCancel, QDialog::Rejected, false},
        {TMyButton::mbmrAbort, 103, false},
        {TMyButton::mbmrAll, 108, false},
    };
    for (const auto& c : cases) {
        QDialog dialog;
        ButtonWindow w(dialog);
        w.ok->setModalResult(c.result);
        int resultSeenByHandler = -1;
        QObject::connect(w.ok, &QAbstractButton::clicked, [&] { resultSeenByHandler = dialog.result(); });
        answerModal([&](QWidget&) {
            if (c.byEnter) {
                w.edit->setFocus();
                QTest::keyClick(w.edit, Qt::Key_Return);
            } else {
                QTest::mouseClick(w.ok, Qt::LeftButton);
            }
        });
        EXPECT_EQ(dialog.exec(), c.code) << c.result;
        EXPECT_EQ(resultSeenByHandler, c.code) << c.result;
    }
}

TEST(MyButtonLook, RoundRectMaskFollowsTheSizeAndTheDefaultFrameIsDrawn)
{
    QWidget window;
    auto* button = new TMyButton("Пуск", &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    button->resize(100, 25);
    EXPECT_EQ(button->sizeHint(), QSize(100, 25).expandedTo(button->minimumSizeHint()));
    EXPECT_FALSE(button->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(button->mask().contains(QPoint(50, 12)));
    EXPECT_TRUE(button->mask().contains(QPoint(99, 12)));
    button->resize(120, 60);
    EXPECT_TRUE(button->mask().contains(QPoint(119, 30)));
    EXPECT_FALSE(button->mask().contains(QPoint(1, 1))) << "radius 10 at 60 pixels high";
    button->setType(TMyButton::mbtSimple);
    EXPECT_TRUE(button->mask().isEmpty());

    EXPECT_EQ(button->effectiveGradient(), (lib::GradientColours{0xFFFFFF, 0x808080}));
    button->setColor(0x404080);
    EXPECT_EQ(button->effectiveGradient(), lib::automaticGradient(0x404080));
    button->setAutoGradientColors(false);
    button->setGradientColor1(0x0000FF);
    EXPECT_EQ(button->effectiveGradient(), (lib::GradientColours{0x0000FF, 0x808080}));

    button->setDefault(true);
    button->setGradientType(TMyButton::mbgtNone);
    QEvent leave(QEvent::Leave);   // the offscreen cursor may rest on it: no hover look
    QApplication::sendEvent(button, &leave);
    const QImage picture = button->grab().toImage();
    EXPECT_EQ(picture.pixelColor(60, 0), qtColour(0xFF0000)) << "default frame";
    EXPECT_EQ(picture.pixelColor(15, 30), qtColour(0x404080)) << "without a gradient: the button colour";
}

TEST(Gradient, DiagonalStripsLeaveNoGapsAndStayInside)
{
    for (const auto type : {lib::GradientType::diagonal1, lib::GradientType::diagonal2}) {
        QImage image(140, 60, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            QPainter painter(&image);
            TDLGradient::fill(painter, QRect(10, 5, 117, 43), type, 0xFFFFFF, 0x404040);
        }
        int gaps = 0;
        int outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = QRect(10, 5, 117, 43).contains(x, y);
                const bool untouched = image.pixelColor(x, y) == QColor(Qt::magenta);
                gaps += inside && untouched;
                outside += !inside && !untouched;
            }
        EXPECT_EQ(gaps, 0);
        EXPECT_EQ(outside, 0);
        const QPoint light = type == lib::GradientType::diagonal1 ? QPoint(10, 5) : QPoint(126, 5);
        EXPECT_EQ(image.pixelColor(light), QColor(Qt::white));
    }
}

// The box of the pixels of one colour.
QRect boxOf(const QImage& image, const QColor& colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(TextIndicator, GradientEndsBorderAndCentredText)
{
    TTextIndicator indicator;
    indicator.resize(200, 30);
    indicator.setGradientColors(0x0000FF, 0x000080);
    indicator.setFontColor(0xFFFFFF);
    QFont bold = indicator.font();
    bold.setBold(true);
    indicator.setFont(bold);
    indicator.setText("Р А Б О Т А");
    QImage image = indicator.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), qtColour(0xFF0000)) << "border";
    EXPECT_EQ(image.pixelColor(1, 29), qtColour(0xFF0000));
    EXPECT_EQ(image.pixelColor(2, 15), QColor(255, 0, 0)) << "first gradient colour";
    EXPECT_NEAR(image.pixelColor(197, 15).red(), 131, 3) << "running to the second";
    const QRect text = boxOf(image, Qt::white);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 100, 3);
    EXPECT_NEAR(text.center().y(), 15, 3);

    indicator.setAlignment(Qt::AlignLeft);
    EXPECT_NEAR(boxOf(indicator.grab().toImage(), Qt::white).left(), 3, 2);
    indicator.setAlignment(Qt::AlignRight);
    EXPECT_NEAR(boxOf(indicator.grab().toImage(), Qt::white).right(), 196, 2);

    indicator.setUseValueProperty(true);
    indicator.setDecDigits(2);
    indicator.setValue(12.5);
    EXPECT_TRUE(indicator.shownText() == "12,50" || indicator.shownText() == "12.50") << indicator.shownText().toStdString();

    indicator.setUseValueProperty(false);
    indicator.setTextDirection(TTextIndicator::tdVertival);
    indicator.resize(30, 200);
    const QRect vertical = boxOf(indicator.grab().toImage(), Qt::white);
    EXPECT_GT(vertical.height(), 3 * vertical.width());
    EXPECT_NEAR(vertical.center().x(), 15, 3);
}

TEST(TextIndicator, SettingWhatItAlreadyShowsDoesNotRepaint)
{
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    TTextIndicator indicator;
    indicator.resize(120, 24);
    indicator.setText("Г О Т О В");
    indicator.setGradientColors(0x808080, 0x4E4E4E);
    indicator.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&indicator));
    QApplication::processEvents();
    indicator.installEventFilter(&counter);

    indicator.setText("Г О Т О В");
    indicator.setGradientColors(0x808080, 0x4E4E4E);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    indicator.setText("Р А Б О Т А");
    indicator.setGradientColors(0x0000FF, 0x000080);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 10'000));
}

TEST(RangeSelector, DraggingASliderRaisesOnChangeWithClampedValues)
{
    TDLRangeSelector selector;
    selector.resize(200, 40);
    selector.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&selector));
    EXPECT_EQ(selector.value1(), 25);
    EXPECT_EQ(selector.value2(), 75);
    QSignalSpy changes(&selector, &TDLRangeSelector::OnChange);
    const RangeScale& scale = selector.scale();
    const int y = 30;

    QTest::mousePress(&selector, Qt::LeftButton, Qt::NoModifier, QPoint(scale.xOf(75) + 2, y));
    QTest::mouseMove(&selector, QPoint(400, y));    // beyond the control: Max
    QTest::mouseRelease(&selector, Qt::LeftButton, Qt::NoModifier, QPoint(400, y));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<QObject*>(), &selector);
    EXPECT_EQ(changes[0][1].toInt(), 25);
    EXPECT_EQ(changes[0][2].toInt(), 100);

    QTest::mousePress(&selector, Qt::LeftButton, Qt::NoModifier, QPoint(scale.xOf(25), y));
    QTest::mouseMove(&selector, QPoint(scale.xOf(50), y));
    QTest::mouseMove(&selector, QPoint(400, y));    // past slider 2
    QTest::mouseMove(&selector, QPoint(420, y));    // held there: nothing new
    QTest::mouseRelease(&selector, Qt::LeftButton, Qt::NoModifier, QPoint(420, y));
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes[1][1].toInt(), 50);
    EXPECT_EQ(changes[2][1].toInt(), 99);
    EXPECT_EQ(changes[2][2].toInt(), 100);
    EXPECT_EQ(selector.value1(), 99);

    QTest::mouseMove(&selector, QPoint(10, y));     // released: moving changes nothing
    EXPECT_EQ(changes.count(), 3);
}

TEST(RangeSelector, HoveringASliderShowsTheSplitCursor)
{
    TDLRangeSelector selector;
    selector.resize(200, 40);
    selector.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&selector));
    QTest::mouseMove(&selector, QPoint(selector.scale().xOf(75), 30));
    EXPECT_EQ(selector.cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(&selector, QPoint(selector.scale().xOf(50), 30));
    EXPECT_EQ(selector.cursor().shape(), Qt::ArrowCursor);
}

// Every control in its looks, for people to look at: basic-widgets.png in the build folder.
TEST(Pictures, EveryControlInItsLooks)
{
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    auto* grid = new QGridLayout(&sheet);
    int row = 0;
    const std::pair<const char*, TMyButton::GradientType> gradients[] = {
        {"Диагональ 1", TMyButton::mbgtDiagonal1}, {"Диагональ 2", TMyButton::mbgtDiagonal2},
        {"Вертикальный", TMyButton::mbgtVertical}, {"Горизонтальный", TMyButton::mbgtHorizontal},
        {"Без градиента", TMyButton::mbgtNone},
    };
    for (const auto& [caption, type] : gradients) {
        auto* button = new TMyButton(caption);
        button->setGradientType(type);
        grid->addWidget(button, row, 0);
        ++row;
    }
    auto* byDefault = new TMyButton("По умолчанию");
    byDefault->setDefault(true);
    auto* disabled = new TMyButton("Недоступна");
    disabled->setEnabled(false);
    auto* shadowed = new TMyButton("С тенью");
    shadowed->setTextShadow(true);
    shadowed->setColor(0xC08040);
    shadowed->setFontColor(0xFFFFFF);
    auto* left = new TMyButton("Влево");
    left->setAlignment(Qt::AlignLeft);
    left->setType(TMyButton::mbtSimple);
    auto* pressed = new TMyButton("Нажата");
    pressed->setDown(true);
    auto* focused = new TMyButton("В фокусе");
    row = 0;
    for (TMyButton* button : {byDefault, disabled, shadowed, left, pressed, focused})
        grid->addWidget(button, row++, 1);

    auto* working = new TTextIndicator;
    working->setGradientColors(0x0000FF, 0x000080);
    working->setText("Р А Б О Т А");
    auto* ready = new TTextIndicator;
    ready->setGradientColors(0x808080, 0x4E4E4E);
    ready->setText("Г О Т О В");
    for (TTextIndicator* state : {working, ready}) {
        QFont bold = state->font();
        bold.setBold(true);
        state->setFont(bold);
        state->setFontColor(0xFFFFFF);
        state->setMinimumSize(140, 26);
    }
    auto* plain = new TTextIndicator;
    plain->setUseValueProperty(true);
    plain->setValue(3.14159);
    plain->setDecDigits(3);
    auto* vertical = new TTextIndicator;
    vertical->setText("Вертикально");
    vertical->setTextDirection(TTextIndicator::tdVertival);
    vertical->setGradientDir(TTextIndicator::gdVertival);
    vertical->setMinimumSize(26, 120);
    grid->addWidget(working, 0, 2);
    grid->addWidget(ready, 1, 2);
    grid->addWidget(plain, 2, 2);
    grid->addWidget(vertical, 0, 3, 4, 1);

    auto* range = new TDLRangeSelector;
    auto* wide = new TDLRangeSelector;
    wide->setMinimumWidth(320);
    auto* off = new TDLRangeSelector;
    off->setEnabled(false);
    grid->addWidget(range, row, 0);
    grid->addWidget(wide, row, 1, 1, 2);
    grid->addWidget(off, row + 1, 1, 1, 2);

    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    focused->setFocus();
    QApplication::processEvents();
    const QImage image = sheet.grab().toImage();
    EXPECT_TRUE(image.save(pictures + "/basic-widgets.png"));
    EXPECT_GE(range->height(), 25);
}

} // namespace
