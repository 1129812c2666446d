#include "library/Colortext.h"
#include "widgets/Colorselector.h"
#include "widgets/Mygrid.h"
#include "widgets/Mygridcolorform.h"
#include "widgets/Mygridinplaceedit.h"
#include "widgets/Mygridpopuplist.h"
#include "widgets/Qtcolour.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int deadlineMs = 20'000;

// In every test column k holds cells of kind k; the rows below are for scrolling.
struct GridFixture : ::testing::Test {
    void SetUp() override
    {
        grid = std::make_unique<TMyGrid>();
        grid->setColCount(7);
        grid->setRowCount(4);
        grid->setTopStrings({"текст", "список+", "цвет", "список", "чтение", "кнопка+", "кнопка"});
        for (int column = 0; column < 7; ++column)
            grid->setColWidth(column, 80);
        grid->setOnGetCellProps([this](TMyGrid&, int column, int row, int& kind) {
            asked.push_back({column, row});
            kind = column;
        });
        grid->setOnGetPopupStrings([this](TMyGrid&, int column, QStringList& list, int row) {
            listAsked = {column, row};
            list = items;
        });
        for (int row = 1; row < 4; ++row) {
            grid->setCell(0, row, QStringLiteral("текст %1").arg(row));
            grid->setCell(1, row, "b");
            grid->setCell(2, row, "red");
            grid->setCell(3, row, "b");
            grid->setCell(4, row, "только");
            grid->setCell(5, row, "5");
            grid->setCell(6, row, "6");
        }
        grid->resize(620, 160);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
        grid->setFocus();
    }

    void TearDown() override { grid.reset(); }

    // The cell's rectangle in the viewport.
    QRect cellRect(int column, int row) const
    {
        return grid->visualRect(grid->model()->index(row - 1, column - grid->fixedCols()));
    }

    // The editor writes on Enter once the key has been handled, from the event loop.
    void enter()
    {
        QTest::keyClick(grid->focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->editing(); }, deadlineMs));
    }

    void pressCellButton()
    {
        QToolButton* button = grid->cellButton();
        ASSERT_TRUE(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    MyGridPopupList& openList(int column, int row)
    {
        grid->setCurrentCell(column, row);
        pressButtonAndCheck();
        return *grid->popupList();
    }

    void pressButtonAndCheck()
    {
        pressCellButton();
        ASSERT_NE(grid->popupList(), nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return grid->popupList()->isVisible(); }, deadlineMs));
    }

    std::unique_ptr<TMyGrid> grid;
    std::vector<std::pair<int, int>> asked;
    std::pair<int, int> listAsked{-1, -1};
    QStringList items{"a", "b", "c", "d"};
};

// As the operator's hand does it: a click, then the second click of the double click.
void doubleClick(QWidget& widget, const QPoint& position)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(&widget, Qt::LeftButton, {}, position);
}

// A picture of the grid with its pop-up windows where they are on the screen.
void savePicture(QWidget& window, const std::vector<QWidget*>& popups, const char* name)
{
    QRect area = window.frameGeometry();
    for (QWidget* popup : popups)
        area = area.united(popup->geometry());
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawPixmap(window.mapToGlobal(QPoint(0, 0)) - area.topLeft(), window.grab());
    for (QWidget* popup : popups)
        painter.drawPixmap(popup->geometry().topLeft() - area.topLeft(), popup->grab());
    painter.end();
    picture.save(QStringLiteral(NIVRA_GRID_PICTURES "/%1.png").arg(name));
}

struct KindCase {
    int kind;
    bool button;
    const char* caption;
    const char* hint;
};

TEST_F(GridFixture, KindAskedOnEveryCurrentCellChangeAndTheButtonFollowsIt)
{
    const KindCase cases[] = {
        {0, false, "", ""},
        {1, true, ">", " Выбор значений из списка "},
        {2, true, "...", " Выбор цвета "},
        {3, true, ">", " Выбор значений из списка "},
        {4, false, "", ""},
        {5, true, "...", " Выбор значения "},
        {6, true, "...", " Выбор значения "},
    };
    for (const KindCase& c : cases) {
        grid->setCurrentCell(c.kind, 2);
        EXPECT_EQ(grid->currentKind(), c.kind);
        const QToolButton* button = grid->cellButton();
        EXPECT_EQ(button->isVisible(), c.button) << c.kind;
        if (!c.button)
            continue;
        EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(c.hint));
        const QRect cell = cellRect(c.kind, 2);
        EXPECT_EQ(button->geometry().right(), cell.right()) << c.kind;
        EXPECT_EQ(button->geometry().top(), cell.top());
        EXPECT_EQ(button->geometry().height(), cell.height());
        EXPECT_LT(button->width(), cell.width());
    }

    // By keyboard as by program, and by a click.
    grid->setCurrentCell(0, 1);
    asked.clear();
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->currentKind(), 1);
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(1, 1)), asked.end());
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->currentRow(), 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellRect(4, 3).center());
    EXPECT_EQ(grid->currentColumn(), 4);
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(grid->currentKind(), 4);
    EXPECT_FALSE(grid->cellButton()->isVisible());
}

TEST_F(GridFixture, OnlyKindsZeroOneAndFiveAreTypedInto)
{
    QSignalSpy changes(grid.get(), &TMyGrid::OnChange);
    for (int kind = 0; kind < 7; ++kind) {
        const bool typed = kind == 0 || kind == 1 || kind == 5;
        const QString before = grid->cell(kind, 1);
        grid->setCurrentCell(kind, 1);

        QTest::keyClick(grid.get(), Qt::Key_X);
        EXPECT_EQ(grid->editing(), typed) << "typing, kind " << kind;
        EXPECT_EQ(grid->currentColumn(), kind) << "typing moved the cursor, kind " << kind;
        QTest::keyClick(grid->focusWidget(), Qt::Key_Escape);

        QTest::keyClick(grid.get(), Qt::Key_F2);
        EXPECT_EQ(grid->editing(), typed) << "F2, kind " << kind;
        QTest::keyClick(grid->focusWidget(), Qt::Key_Escape);

        doubleClick(*grid->viewport(), cellRect(kind, 1).center() - QPoint(20, 0));
        EXPECT_EQ(grid->editing(), typed) << "double click, kind " << kind;
        QTest::keyClick(grid->focusWidget(), Qt::Key_Escape);

        grid->edit(grid->currentIndex());
        EXPECT_EQ(grid->editing(), typed) << "program, kind " << kind;
        QTest::keyClick(grid->focusWidget(), Qt::Key_Escape);

        EXPECT_EQ(grid->cell(kind, 1), before) << kind;
    }
    EXPECT_EQ(changes.count(), 0);  // Escape drops what was typed

    grid->setCurrentCell(5, 2);
    QTest::keyClick(grid.get(), Qt::Key_4);
    QTest::keyClick(grid->focusWidget(), Qt::Key_2);
    ASSERT_TRUE(grid->editing());
    // The button stays visible beside the editor.
    EXPECT_TRUE(grid->cellButton()->isVisible());
    const QWidget* editor = grid->findChild<MyGridInplaceEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_LE(editor->geometry().right(), grid->cellButton()->geometry().left());
    enter();
    EXPECT_EQ(grid->cell(5, 2), "42");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0], (QList<QVariant>{5, 2}));

    // Entering the same text again is no change.
    grid->setCurrentCell(5, 2);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    enter();
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(GridFixture, ListChoiceFlashesThenWritesAndRaisesOnChangeOnce)
{
    QSignalSpy changes(grid.get(), &TMyGrid::OnChange);
    MyGridPopupList& list = openList(3, 2);
    EXPECT_EQ(listAsked, std::make_pair(3, 2));
    EXPECT_EQ(list.count(), 4);
    ASSERT_NE(list.currentItem(), nullptr);
    EXPECT_EQ(list.currentItem()->text(), "b");
    EXPECT_TRUE(list.currentItem()->isSelected());
    // Under the cell, at least as wide, tall enough for every item.
    const QRect cell = cellRect(3, 2);
    EXPECT_EQ(list.geometry().topLeft(), grid->viewport()->mapToGlobal(cell.bottomLeft() + QPoint(0, 1)));
    EXPECT_GE(list.width(), cell.width());
    EXPECT_FALSE(list.verticalScrollBar()->isVisible());

    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_TRUE(list.flashing());
    EXPECT_TRUE(list.selectedItems().isEmpty());  // first off
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(grid->cell(3, 2), "b");
    bool seenOnAgain = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            seenOnAgain = seenOnAgain || (list.flashing() && !list.selectedItems().isEmpty());
            return changes.count() > 0;
        },
        deadlineMs));
    EXPECT_TRUE(seenOnAgain);
    EXPECT_FALSE(list.isVisible());
    EXPECT_FALSE(list.flashing());
    EXPECT_EQ(grid->cell(3, 2), "c");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0], (QList<QVariant>{3, 2}));
    QTest::qWait(0);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(grid->editing());

    // By a click: keys typed while it flashes change nothing.
    openList(1, 3);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(3)).center());
    EXPECT_TRUE(list.flashing());
    QTest::keyClick(&list, Qt::Key_Up);
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() == 2; }, deadlineMs));
    EXPECT_EQ(grid->cell(1, 3), "d");
    EXPECT_EQ(changes[1], (QList<QVariant>{1, 3}));
    EXPECT_FALSE(list.flashing());  // nothing left that could write again
    QApplication::processEvents();
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(GridFixture, EscapeOrAClickElsewhereClosesTheListWithoutChange)
{
    QSignalSpy changes(grid.get(), &TMyGrid::OnChange);
    MyGridPopupList& list = openList(3, 1);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Escape);
    EXPECT_FALSE(list.isVisible());

    openList(3, 1);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(-20, -20));  // outside: delivered to the pop-up
    EXPECT_FALSE(list.isVisible());

    EXPECT_EQ(grid->cell(3, 1), "b");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(GridFixture, ListWithoutCurrentTextOrWithoutItems)
{
    grid->setCell(3, 1, "c ");
    MyGridPopupList& list = openList(3, 1);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    QTest::keyClick(&list, Qt::Key_Return);  // nothing chosen
    EXPECT_FALSE(list.flashing());
    QTest::keyClick(&list, Qt::Key_Escape);

    // A cell keeping the first word of an item finds its item.
    items = {"метан (C1)", "этан (C2)"};
    grid->setCell(3, 1, "этан");
    openList(3, 1);
    ASSERT_NE(list.currentItem(), nullptr);
    EXPECT_EQ(list.currentItem()->text(), "этан (C2)");
    QTest::keyClick(&list, Qt::Key_Escape);

    items.clear();
    pressCellButton();
    EXPECT_FALSE(list.isVisible());
}

TEST_F(GridFixture, ButtonFollowsTheCellWhenTheGridScrollsOrAColumnResizes)
{
    grid->setRowCount(60);
    grid->setCurrentCell(3, 5);
    const auto expectOnCell = [&](const char* when) {
        const QRect cell = cellRect(3, 5);
        EXPECT_EQ(grid->cellButton()->geometry().right(), cell.right()) << when;
        EXPECT_EQ(grid->cellButton()->geometry().top(), cell.top()) << when;
    };
    expectOnCell("at first");
    const int top = grid->cellButton()->y();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() + 3);
    expectOnCell("scrolled down");
    EXPECT_LT(grid->cellButton()->y(), top);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    expectOnCell("scrolled sideways");
    grid->setColWidth(1, 150);
    grid->setColWidth(3, 120);
    expectOnCell("columns resized");
    grid->resize(400, 300);
    QApplication::processEvents();
    expectOnCell("grid resized");
}

TEST_F(GridFixture, ButtonKindsRaiseOnBtnClickWithTypedTextCommittedFirst)
{
    QSignalSpy clicks(grid.get(), &TMyGrid::OnBtnClick);
    QSignalSpy changes(grid.get(), &TMyGrid::OnChange);
    grid->setCurrentCell(6, 1);
    pressCellButton();
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0], (QList<QVariant>{6, 1}));

    grid->setCurrentCell(5, 3);
    QString seen;
    QObject::connect(grid.get(), &TMyGrid::OnBtnClick, grid.get(), [&](int column, int row) { seen = grid->cell(column, row); });
    QTest::keyClicks(grid.get(), "7");
    pressCellButton();
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[1], (QList<QVariant>{5, 3}));
    EXPECT_EQ(seen, "7");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(grid->editing());

    // Alt+Down presses the button too.
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(GridFixture, ColourCellChoiceWritesNameOrHexAndRaisesOnChange)
{
    QSignalSpy changes(grid.get(), &TMyGrid::OnChange);
    grid->setCurrentCell(2, 2);
    EXPECT_FALSE(grid->editing());
    pressCellButton();
    TMyGridColorForm* form = grid->colorForm();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible() && !form->unrolling(); }, deadlineMs));
    EXPECT_EQ(form->selector()->colorValue(), 0x0000FFu);  // "red"
    EXPECT_EQ(form->geometry().topLeft(), grid->viewport()->mapToGlobal(cellRect(2, 2).topLeft()));
    EXPECT_EQ(form->closeButton()->text(), "X");
    EXPECT_NE(form->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(form->findChild<QLabel*>()->text(), "  Выбор цвета");

    TColorSelector& selector = *form->selector();
    QTest::mouseClick(&selector, Qt::LeftButton, {}, selector.cellRect({3, 4}).center());
    EXPECT_FALSE(form->isVisible());
    const std::uint32_t chosen = selector.colorValue();
    EXPECT_NE(chosen, 0x0000FFu);
    EXPECT_EQ(grid->cell(2, 2).toStdString(), lib::colourToText(chosen));
    EXPECT_TRUE(grid->cell(2, 2).startsWith('$'));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0], (QList<QVariant>{2, 2}));

    // A text that is no colour opens at black; "X" closes without change.
    grid->setCell(2, 3, "nonsense");
    grid->setCurrentCell(2, 3);
    pressCellButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, deadlineMs));
    EXPECT_EQ(form->selector()->colorValue(), 0u);
    QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(grid->cell(2, 3), "nonsense");
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(GridFixture, ColourFormUnrollsDownwardsInSteps)
{
    grid->setCurrentCell(2, 1);
    pressCellButton();
    TMyGridColorForm* form = grid->colorForm();
    ASSERT_NE(form, nullptr);
    const int top = form->y();
    std::vector<int> heights{form->height()};
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (heights.back() != form->height())
                heights.push_back(form->height());
            EXPECT_EQ(form->y(), top);
            return !form->unrolling();
        },
        deadlineMs));
    EXPECT_GT(heights.size(), 1u);
    EXPECT_TRUE(std::is_sorted(heights.begin(), heights.end()));
    EXPECT_LE(heights.front(), heights.back() / 10 + 1);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(GridFixture, ColourCellsAreDrawnFilledWithTheirColour)
{
    grid->setCell(2, 1, "lime");
    grid->setCell(2, 3, "$804020");
    grid->setCurrentCell(0, 1);
    const QImage picture = grid->viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(cellRect(2, 1).center()), qtColour(0x00FF00));
    EXPECT_EQ(picture.pixelColor(cellRect(2, 2).center()), qtColour(0x0000FF));
    EXPECT_EQ(picture.pixelColor(cellRect(2, 3).center()), qtColour(0x804020));
}

TEST_F(GridFixture, OwnersColoursUnlessTheCurrentCellTakesTheSelectionColours)
{
    grid->setOnGetDrawParams([](TMyGrid&, int column, int row, TMyGrid::DrawParams& params) {
        if (column == 4 && row > 1)
            params.background = 0x00FFFF;
    });
    grid->setCurrentCell(4, 2);
    const QPoint blank = cellRect(4, 2).bottomRight() - QPoint(3, 3);  // no text there
    const QPoint other = cellRect(4, 3).bottomRight() - QPoint(3, 3);
    const QColor highlight = grid->palette().color(QPalette::Highlight);
    QImage picture = grid->viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(blank), highlight);
    EXPECT_EQ(picture.pixelColor(other), qtColour(0x00FFFF));
    EXPECT_EQ(picture.pixelColor(cellRect(4, 1).bottomRight() - QPoint(3, 3)), grid->palette().color(QPalette::Base));

    grid->setUseSelColor(false);
    picture = grid->viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(blank), qtColour(0x00FFFF));
}

TEST_F(GridFixture, PropEditorModeKeepsTheNamesColumnFromBeingCurrent)
{
    grid->setPropEditorMode(true);
    grid->setCurrentCell(3, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellRect(0, 3).center());
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(grid->currentKind(), 1);

    QTest::keyClick(grid.get(), Qt::Key_Left);
    EXPECT_EQ(grid->currentColumn(), 1);
    QTest::keyClick(grid.get(), Qt::Key_Home);
    EXPECT_EQ(grid->currentColumn(), 1);
    grid->setCurrentCell(0, 1);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->currentRow(), 1);
    doubleClick(*grid->viewport(), cellRect(0, 2).center());
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->cell(0, 2), "текст 2");

    // A value whose name is read-only: neither typed into nor given a button.
    grid->setNameReadOnly(2, true);
    EXPECT_TRUE(grid->nameReadOnly(2));
    EXPECT_FALSE(grid->nameReadOnly(1));
    grid->setCurrentCell(1, 2);
    EXPECT_EQ(grid->currentKind(), TMyGrid::ckReadOnly);
    EXPECT_FALSE(grid->cellButton()->isVisible());
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QTest::keyClicks(grid.get(), "zz");
    EXPECT_FALSE(grid->editing());
    EXPECT_EQ(grid->cell(1, 2), "b");
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->currentKind(), 1);
}

TEST_F(GridFixture, FixedColumnStaysOutOfTheCursorAndKeepsItsTexts)
{
    grid->setFixedCols(1);
    EXPECT_EQ(grid->colCount(), 7);
    EXPECT_EQ(grid->cell(0, 2), "текст 2");  // the column kept its texts
    EXPECT_EQ(grid->cell(1, 2), "b");
    EXPECT_EQ(grid->cell(0, 0), "текст");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "список+");
    grid->setCell(0, 1, " 1");
    EXPECT_EQ(grid->cell(0, 1), " 1");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Vertical).toString(), " 1");
    EXPECT_EQ(grid->model()->headerData(2, Qt::Vertical).toString(), "текст 3");

    grid->setCurrentCell(2, 2);
    grid->setCurrentCell(0, 2);
    EXPECT_EQ(grid->currentColumn(), 2);
    QTest::keyClick(grid.get(), Qt::Key_Home);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->currentKind(), 1);
    grid->setColWidth(0, 50);
    EXPECT_EQ(grid->verticalHeader()->width(), 50);

    grid->setRowCount(6);
    EXPECT_EQ(grid->cell(0, 5), "");  // new rows are not numbered by themselves
    grid->setFixedCols(0);
    EXPECT_EQ(grid->cell(0, 1), " 1");
    EXPECT_EQ(grid->cell(6, 1), "6");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "текст");
    EXPECT_EQ(grid->cell(9, 1), "");
    EXPECT_EQ(grid->cell(0, 9), "");
}

TEST(MyGrid, RowHeightFollowsTheFontUnlessSetAndPropertiesHaveTheirDefaults)
{
    TMyGrid grid;
    EXPECT_EQ(grid.fixedAlignment(), Qt::AlignHCenter);
    EXPECT_EQ(grid.alignment(), Qt::AlignLeft);
    EXPECT_FALSE(grid.addCharasters());
    EXPECT_TRUE(grid.autoRowHeight());
    EXPECT_TRUE(grid.useSelColor());
    EXPECT_FALSE(grid.propEditorMode());
    EXPECT_EQ(grid.fixedCols(), 0);

    QFont large = grid.font();
    large.setPointSize(large.pointSize() * 2);
    grid.setFont(large);
    EXPECT_EQ(grid.defaultRowHeight(), QFontMetrics(large).height() + 4);
    grid.setAutoRowHeight(false);
    grid.setDefaultRowHeight(40);
    EXPECT_EQ(grid.defaultRowHeight(), 40);
    EXPECT_EQ(grid.rowHeight(0), 40);
}

// For people to look at: every kind with its button, the list and the colour pop-up open.
TEST_F(GridFixture, Pictures)
{
    grid->setFixedCols(1);
    grid->setTopStrings({" № ", "список+", "цвет", "список", "чтение", "кнопка+", "кнопка"});
    for (int row = 1; row < 4; ++row)
        grid->setCell(0, row, QString::number(row));
    grid->setCell(2, 2, "$20A0F0");
    grid->setCell(2, 3, "navy");
    grid->setOnGetCellProps([](TMyGrid&, int column, int, int& kind) { kind = column; });
    grid->setOnGetAlignment([](TMyGrid&, int column, int, Qt::Alignment& alignment) {
        if (column >= 5)
            alignment = Qt::AlignRight;
    });
    grid->setOnGetDrawParams([](TMyGrid&, int column, int, TMyGrid::DrawParams& params) {
        if (column == 4) {
            params.fontColor = 0x808080;
            params.bold = true;
        }
    });
    grid->resize(640, 130);
    for (int column = 1; column < 7; ++column) {
        grid->setCurrentCell(column, 2);
        savePicture(*grid, {}, QStringLiteral("grid-kind-%1").arg(column).toUtf8().constData());
    }
    grid->setCurrentCell(5, 1);
    QTest::keyClick(grid.get(), Qt::Key_1);
    QTest::keyClicks(grid->focusWidget(), "2,5");
    savePicture(*grid, {}, "grid-editing");
    enter();

    items = {"метан (C1)", "этан (C2)", "пропан (C3)", "бутан (C4)", "изопентан (C5i)"};
    grid->setCell(3, 2, "этан");
    MyGridPopupList& list = openList(3, 2);
    savePicture(*grid, {&list}, "grid-list");
    QTest::keyClick(&list, Qt::Key_Escape);

    grid->setCurrentCell(2, 2);
    pressCellButton();
    TMyGridColorForm* form = grid->colorForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible() && !form->unrolling(); }, deadlineMs));
    savePicture(*grid, {form}, "grid-colour");
    form->grab().save(QStringLiteral(NIVRA_GRID_PICTURES "/grid-colour-form.png"));
    QTest::keyClick(form, Qt::Key_Escape);
}

} // namespace
