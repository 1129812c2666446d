#include "dialogs/Colorselectform.h"
#include "dialogs/Colorselectstrip.h"
#include "library/Colorpalette.h"
#include "widgets/Colorselector.h"
#include "widgets/Dlcolorpalette.h"
#include "widgets/Dlcolorselector.h"
#include "widgets/Dlcolorselectorfrm.h"
#include "widgets/Qtcolour.h"

#include <QApplication>
#include <QColorDialog>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "support/Modalanswer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using modal::answerModal;

using lib::PaletteCell;

const QString pictures = QStringLiteral(NIVRA_COLOUR_PICTURES);

QPoint centre(const QRect& rect)
{
    return rect.center();
}

void click(QWidget& widget, const QPoint& at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, at);
}

void doubleClick(QWidget& widget, const QPoint& at)
{
    QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, at);
}

QColor pixel(QWidget& widget, const QPoint& at)
{
    return widget.grab().toImage().pixelColor(at);
}

// ---- the palette

TEST(ColourSelector, AClickPicksTheCellUnderTheMouseAndSignalsOnlyAChange)
{
    TColorSelector selector;
    selector.resize(selector.sizeHint());
    selector.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&selector));
    QSignalSpy changes(&selector, &TColorSelector::OnChangeColor);

    struct ClickCase {
        PaletteCell cell;
        int changesAfter;
    };
    const ClickCase cases[] = {
        {{3, 2}, 1},
        {{3, 2}, 1},   // the same cell again: no change
        {{12, 7}, 2},  // black, the bottom-right corner
        {{0, 0}, 3},
        {{12, 0}, 4},
        {{12, 1}, 4},  // dark orange is dark red's colour: another cell, the same value
    };
    for (const auto& c : cases) {
        click(selector, centre(selector.cellRect(c.cell)));
        EXPECT_EQ(selector.colorValue(), lib::paletteColour(c.cell)) << c.cell.column << "," << c.cell.row;
        EXPECT_EQ(selector.selectedCell(), c.cell) << "the clicked cell is framed";
        EXPECT_EQ(changes.count(), c.changesAfter) << c.cell.column << "," << c.cell.row;
    }
    // The outermost pixels belong to the edge cells.
    click(selector, QPoint(selector.width() - 1, selector.height() - 1));
    EXPECT_EQ(selector.selectedCell(), (PaletteCell{12, 7}));

    selector.setColorValue(0x00FF00);
    EXPECT_EQ(selector.selectedCell(), (PaletteCell{7, 3}));
    selector.setColorValue(0x123456);
    EXPECT_EQ(selector.selectedCell(), std::nullopt) << "a colour not in the palette frames no cell";
    EXPECT_EQ(selector.colorValue(), 0x123456u);
    EXPECT_EQ(changes.count(), 5) << "setting the value raises nothing";
}

TEST(ColourSelector, DrawsTheCellsAndABlueFrameAroundTheChosenOne)
{
    TColorSelector selector;
    selector.resize(selector.sizeHint());
    selector.setColorValue(lib::paletteColour({5, 3}));
    const QRect chosen = selector.cellRect({5, 3});
    const QRect other = selector.cellRect({9, 6});
    EXPECT_EQ(pixel(selector, chosen.topLeft() + QPoint(1, 1)), qtColour(0xFF0000));
    EXPECT_EQ(pixel(selector, centre(chosen)), qtColour(lib::paletteColour({5, 3})));
    EXPECT_EQ(pixel(selector, centre(other)), qtColour(lib::paletteColour({9, 6})));
    // At the palette's corner the frame is pushed inside, not cut.
    selector.setColorValue(0x000000);
    const QImage image = selector.grab().toImage();
    EXPECT_EQ(image.pixelColor(selector.width() - 1, selector.height() - 1), qtColour(0xFF0000));
    EXPECT_EQ(image.pixelColor(selector.width() - 5, selector.height() - 5), qtColour(0xFF0000));
    selector.grab().save(pictures + "/colorselector.png");
}

TEST(ColourSelector, ADoubleClickPicksAndSignals)
{
    TColorSelector selector;
    selector.resize(selector.sizeHint());
    QSignalSpy changes(&selector, &TColorSelector::OnChangeColor);
    QSignalSpy doubles(&selector, &TColorSelector::doubleClicked);
    doubleClick(selector, centre(selector.cellRect({4, 4})));
    EXPECT_EQ(selector.colorValue(), lib::paletteColour({4, 4}));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
}

// ---- the colour selection window

struct Chosen {
    std::uint32_t colour;
    int width, fill, line;
};

void expectChosen(const TColorSelectForm& form, const Chosen& expected, const char* what)
{
    EXPECT_EQ(form.colour(), expected.colour) << what;
    EXPECT_EQ(form.lineWidth(), expected.width) << what;
    EXPECT_EQ(form.fillStyle(), expected.fill) << what;
    EXPECT_EQ(form.lineStyle(), expected.line) << what;
}

TEST(ColourSelectForm, DefaultsBeforeAnyRun)
{
    TColorSelectForm form;
    expectChosen(form, {0xFF0000, 1, 0, 0}, "defaults");
    EXPECT_EQ(form.mode(), 2);
}

TEST(ColourSelectForm, EscapeKeepsTheOldColourWidthAndStyles)
{
    TColorSelectForm form;
    const Chosen before{0x00FF00, 2, 3, 1};
    form.setColour(before.colour);
    form.setLineWidth(before.width);
    form.setFillStyle(before.fill);
    form.setLineStyle(before.line);
    for (const int mode : {1, 2}) {
        form.setMode(mode);
        bool startedAtColour = false;
        answerModal([&](QWidget&) {
            startedAtColour = form.selector()->colorValue() == before.colour;
            click(*form.selector(), centre(form.selector()->cellRect({1, 6})));
            for (TColorSelectStrip* strip : {form.lineWidthStrip(), form.lineStyleStrip(), form.fillStrip()})
                if (strip->isVisible())
                    click(*strip, centre(strip->cellRect(strip->cellCount() - 1)));
            QTest::keyClick(&form, Qt::Key_Escape);
        });
        EXPECT_FALSE(form.execute({}, false)) << mode;
        EXPECT_TRUE(startedAtColour) << "the palette starts at the current colour";
        expectChosen(form, before, "after Escape");
    }
}

TEST(ColourSelectForm, ADoubleClickOnThePaletteConfirmsTheColourUnderIt)
{
    TColorSelectForm form;
    form.setMode(0);
    answerModal([&](QWidget&) { doubleClick(*form.selector(), centre(form.selector()->cellRect({2, 4}))); });
    EXPECT_TRUE(form.execute(QStringLiteral("Метан"), false));
    EXPECT_EQ(form.colour(), lib::paletteColour({2, 4}));
    EXPECT_FALSE(form.isVisible());
}

TEST(ColourSelectForm, StripsSetWidthLineStyleAndFillAndConfirmOnADoubleClick)
{
    TColorSelectForm form;
    form.setMode(1);
    answerModal([&](QWidget&) {
        TColorSelectStrip& widths = *form.lineWidthStrip();
        click(widths, QPoint(widths.width() - 1, widths.height() / 2));  // the right end: width 5
        click(*form.selector(), centre(form.selector()->cellRect({7, 0})));
        TColorSelectStrip& styles = *form.lineStyleStrip();
        doubleClick(styles, centre(styles.cellRect(3)));
    });
    ASSERT_TRUE(form.execute({}, false));
    expectChosen(form, {0x0000FF, 5, 0, 3}, "mode 1");

    form.setMode(2);
    answerModal([&](QWidget&) {
        TColorSelectStrip& fills = *form.fillStrip();
        EXPECT_EQ(form.selector()->colorValue(), 0x0000FFu) << "starts at the colour chosen last";
        click(fills, QPoint(fills.width() - 1, 1));
        EXPECT_EQ(fills.value(), 7) << "the right end is the last fill";
        doubleClick(fills, centre(fills.cellRect(6)));
    });
    ASSERT_TRUE(form.execute({}, false));
    expectChosen(form, {0x0000FF, 5, 6, 3}, "mode 2");

    form.setMode(1);
    answerModal([&](QWidget&) {
        TColorSelectStrip& widths = *form.lineWidthStrip();
        EXPECT_EQ(widths.value(), 5) << "the strips start at the current values";
        doubleClick(widths, QPoint(0, widths.height() / 2));
    });
    ASSERT_TRUE(form.execute({}, false));
    expectChosen(form, {0x0000FF, 1, 6, 3}, "width 1 by a double click");
}

TEST(ColourSelectForm, CaptionPartsAndHeightFollowTheModeAndTheWindowIsCentred)
{
    struct ModeCase {
        int mode;
        QString title;
        bool titleIsCaption;
        QString caption;
        bool lines, fill;
        const char* picture;
    };
    const ModeCase cases[] = {
        {0, QString(), false, QStringLiteral(" Цвет"), false, false, "/colorselectform-0.png"},
        {1, QStringLiteral(" Этан "), false, QStringLiteral(" Цвет и толщина - ''Этан''"), true, false,
         "/colorselectform-1.png"},
        {2, QStringLiteral("Заливка пиков"), true, QStringLiteral("Заливка пиков"), false, true,
         "/colorselectform-2.png"},
    };
    TColorSelectForm form;
    int heights[3] = {};
    for (const auto& c : cases) {
        form.setMode(c.mode);
        form.setLineWidth(3);
        form.setLineStyle(2);
        form.setFillStyle(5);
        answerModal([&](QWidget&) {
            EXPECT_EQ(form.windowTitle(), c.caption) << c.mode;
            EXPECT_EQ(form.lineWidthStrip()->isVisible(), c.lines) << c.mode;
            EXPECT_EQ(form.lineStyleStrip()->isVisible(), c.lines) << c.mode;
            EXPECT_EQ(form.fillStrip()->isVisible(), c.fill) << c.mode;
            // Centred as far as the window frame, whose size is not known before it is shown.
            const QPoint off = form.geometry().center() - form.screen()->availableGeometry().center();
            EXPECT_LE(std::abs(off.x()), 4) << c.mode;
            EXPECT_LE(std::abs(off.y()), 4) << c.mode;
            heights[c.mode] = form.height();
            form.grab().save(pictures + c.picture);
            form.reject();
        });
        form.execute(c.title, c.titleIsCaption);
    }
    EXPECT_LT(heights[0], heights[2]);
    EXPECT_LT(heights[2], heights[1]) << "two strips are taller than one";
    EXPECT_EQ(form.lineWidthStrip()->toolTip(), QStringLiteral(" Выбор толщины линии "));
    EXPECT_EQ(form.lineStyleStrip()->toolTip(), QStringLiteral(" Выбор типа линии "));
    EXPECT_EQ(form.fillStrip()->toolTip(), QStringLiteral(" Выбор заливки "));
}

TEST(ColourSelectForm, StripsDrawContrastingSamplesBlueFillsAndFrameTheChoice)
{
    TColorSelectStrip fills(TColorSelectStrip::fillStyles);
    fills.resize(fills.sizeHint() * 2);
    fills.setValue(2);
    EXPECT_EQ(pixel(fills, centre(fills.cellRect(0))), qtColour(0xFF0000)) << "solid blue";
    EXPECT_EQ(pixel(fills, centre(fills.cellRect(1))), fills.palette().color(QPalette::Window)) << "clear";
    EXPECT_EQ(pixel(fills, fills.cellRect(2).topLeft() + QPoint(1, 1)), fills.palette().color(QPalette::Highlight));

    TColorSelectStrip widths(TColorSelectStrip::lineWidths);
    widths.resize(widths.sizeHint() * 2);
    for (const QColor window : {QColor(Qt::white), QColor(0, 0, 128)}) {
        QPalette palette = widths.palette();
        palette.setColor(QPalette::Window, window);
        widths.setPalette(palette);
        const QColor expected = window == QColor(Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
        EXPECT_EQ(pixel(widths, centre(widths.cellRect(4))), expected) << window.name().toStdString();
    }
}

// ---- the drop-down colour field

struct FieldWindow {
    QWidget window;
    TDLColorSelector* field = new TDLColorSelector(&window);

    explicit FieldWindow(const QPoint& at)
    {
        field->setGeometry(4, 4, 80, 22);
        window.setGeometry(QRect(at, QSize(88, 30)));
        window.show();
    }
};

TEST(DLColorSelector, DropsThePaletteUnrollingAndAChoiceBecomesTheValue)
{
    FieldWindow host(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window));
    TDLColorSelector& field = *host.field;
    field.setColorValue(0xFF0000);
    QSignalSpy changes(&field, &TDLColorSelector::OnChange);

    click(field, QPoint(10, 10));
    TDLColorSelectorFrm* drop = field.dropDownWindow();
    ASSERT_NE(drop, nullptr);
    EXPECT_TRUE(drop->isVisible());
    const int firstHeight = drop->height();
    ASSERT_TRUE(QTest::qWaitFor([drop] { return !drop->unrolling(); }, 20'000));
    EXPECT_LT(firstHeight, drop->height() / 5) << "unrolls, not shown at once";
    EXPECT_EQ(drop->geometry().top(), field.mapToGlobal(QPoint(0, field.height())).y()) << "under the field";
    EXPECT_EQ(drop->colourPalette()->colorValue(), 0xFF0000u);
    drop->grab().save(pictures + "/dlcolorselector-dropdown.png");

    TDLColorPalette& palette = *drop->colourPalette();
    click(palette, centre(palette.cellRect({7, 2})));
    EXPECT_EQ(field.colorValue(), 0x00FFFFu);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(pixel(field, QPoint(8, field.height() / 2)), qtColour(0x00FFFF)) << "the field shows the colour";
    host.window.grab().save(pictures + "/dlcolorselector.png");
    EXPECT_FALSE(drop->isVisible()) << "a choice closes the drop-down";

    // The platform's colour dialog behind "Доп...".
    field.dropDown();
    ASSERT_TRUE(drop->isVisible());
    EXPECT_EQ(drop->moreButton()->text(), QStringLiteral("Доп..."));
    answerModal([](QWidget& window) {
        auto* dialog = qobject_cast<QColorDialog*>(&window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->currentColor(), qtColour(0x00FFFF)) << "opens at the field's colour";
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    click(*drop->moreButton(), centre(drop->moreButton()->rect()));
    EXPECT_EQ(field.colorValue(), 0x030201u);
    EXPECT_EQ(changes.count(), 2);

    field.dropDown();
    answerModal([](QWidget& window) { static_cast<QDialog&>(window).reject(); });
    click(*drop->moreButton(), centre(drop->moreButton()->rect()));
    EXPECT_EQ(field.colorValue(), 0x030201u) << "cancelled: unchanged";
    EXPECT_EQ(changes.count(), 2);
}

TEST(DLColorSelector, AClickOutsideClosesTheDropDownAndOneOnTheFieldDoesNotReopenIt)
{
    FieldWindow host(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window));
    TDLColorSelector& field = *host.field;
    QSignalSpy changes(&field, &TDLColorSelector::OnChange);
    const QPoint outside(host.window.width() - 2, 1);  // above the drop-down
    for (QWidget* target : {static_cast<QWidget*>(&host.window), static_cast<QWidget*>(&field)}) {
        field.dropDown();
        TDLColorSelectorFrm* drop = field.dropDownWindow();
        ASSERT_TRUE(QTest::qWaitFor([drop] { return !drop->unrolling(); }, 20'000));
        ASSERT_TRUE(drop->isVisible());
        // Through the window system, as a real click comes: the pop-up sees it first.
        const QPoint at = target->mapTo(&host.window, target == &field ? QPoint(10, 10) : outside);
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_TRUE(QTest::qWaitFor([drop] { return !drop->isVisible(); }, 20'000));
        QApplication::processEvents();
        EXPECT_FALSE(drop->isVisible()) << "dropped again";
    }
    EXPECT_EQ(changes.count(), 0);
}

TEST(DLColorSelector, TheDropDownStaysOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corners[] = {screen.bottomRight() - QPoint(90, 32), screen.topLeft(),
                              QPoint(screen.right() - 90, screen.top())};
    for (const QPoint& corner : corners) {
        FieldWindow host(corner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window));
        host.field->dropDown();
        TDLColorSelectorFrm* drop = host.field->dropDownWindow();
        ASSERT_TRUE(QTest::qWaitFor([drop] { return !drop->unrolling(); }, 20'000));
        EXPECT_TRUE(screen.contains(drop->geometry())) << corner.x() << "," << corner.y();
        const QRect field(host.field->mapToGlobal(QPoint(0, 0)), host.field->size());
        EXPECT_FALSE(drop->geometry().intersects(field)) << "covers the field";
        drop->hide();
    }
}

} // namespace
