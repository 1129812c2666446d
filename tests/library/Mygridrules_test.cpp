#include "library/Mygridrules.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using lib::GridButtonAction;

struct KindCase {
    int kind;
    bool textEditor;
    GridButtonAction button;
    const char* caption;
    const char* hint;
};

TEST(GridCellKind, EditorAndButtonPerKindUnknownIsReadOnly)
{
    const KindCase cases[] = {
        {0, true, GridButtonAction::none, "", ""},
        {1, true, GridButtonAction::list, ">", " Выбор значений из списка "},
        {2, false, GridButtonAction::colour, "...", " Выбор цвета "},
        {3, false, GridButtonAction::list, ">", " Выбор значений из списка "},
        {4, false, GridButtonAction::none, "", ""},
        {5, true, GridButtonAction::value, "...", " Выбор значения "},
        {6, false, GridButtonAction::value, "...", " Выбор значения "},
        {7, false, GridButtonAction::none, "", ""},
        {-1, false, GridButtonAction::none, "", ""},
    };
    for (const KindCase& c : cases) {
        const lib::GridCellKind& kind = lib::gridCellKind(c.kind);
        EXPECT_EQ(kind.textEditor, c.textEditor) << c.kind;
        EXPECT_EQ(kind.button, c.button) << c.kind;
        EXPECT_EQ(kind.caption, c.caption) << c.kind;
        EXPECT_EQ(kind.hint, c.hint) << c.kind;
    }
    EXPECT_EQ(lib::gridKindOfValue(0, true), lib::gridReadOnlyKind);
    EXPECT_EQ(lib::gridKindOfValue(3, false), 3);
}

TEST(GridListFlash, ThreeTimesOffThenOnFiftyMillisecondsEach)
{
    const auto steps = lib::listChoiceFlash();
    ASSERT_EQ(steps.size(), 6u);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].selectionShown, i % 2 == 1);
        EXPECT_EQ(steps[i].milliseconds, 50);
    }
}

struct PopupCase {
    const char* what;
    lib::ScreenBox cell;
    int width;
    int height;
    lib::ScreenBox expected;
};

TEST(GridPopupPlacement, UnderTheCellInsideTheScreen)
{
    const lib::ScreenBox screen{0, 0, 800, 600};
    const PopupCase cases[] = {
        {"room below", {100, 100, 80, 20}, 120, 200, {100, 120, 120, 200}},
        {"exactly to the bottom", {100, 380, 80, 20}, 120, 200, {100, 400, 120, 200}},
        {"no room below: above", {100, 500, 80, 20}, 120, 200, {100, 300, 120, 200}},
        {"fits neither, more below: cut below", {100, 250, 80, 20}, 120, 500, {100, 270, 120, 330}},
        {"fits neither, more above: cut above", {100, 400, 80, 20}, 120, 500, {100, 0, 120, 400}},
        {"right edge: moved left", {750, 100, 40, 20}, 120, 100, {680, 120, 120, 100}},
        {"left of the screen: moved right", {-30, 100, 40, 20}, 120, 100, {0, 120, 120, 100}},
        {"wider than the screen", {10, 100, 40, 20}, 900, 100, {0, 120, 800, 100}},
    };
    for (const PopupCase& c : cases)
        EXPECT_EQ(lib::popupUnderCell(c.cell, c.width, c.height, screen), c.expected) << c.what;

    const lib::ScreenBox offset{1000, 50, 800, 600};  // a second screen
    EXPECT_EQ(lib::popupUnderCell({1100, 100, 80, 20}, 120, 200, offset), (lib::ScreenBox{1100, 120, 120, 200}));
}

TEST(GridPopupPlacement, WindowKeptInsideTheScreen)
{
    const lib::ScreenBox screen{0, 0, 800, 600};
    EXPECT_EQ(lib::placeInside(100, 100, 200, 150, screen), (lib::ScreenBox{100, 100, 200, 150}));
    EXPECT_EQ(lib::placeInside(700, 500, 200, 150, screen), (lib::ScreenBox{600, 450, 200, 150}));
    EXPECT_EQ(lib::placeInside(-20, -5, 200, 150, screen), (lib::ScreenBox{0, 0, 200, 150}));
    EXPECT_EQ(lib::placeInside(50, 50, 1000, 700, screen), (lib::ScreenBox{0, 0, 1000, 700}));
}

TEST(GridColourUnroll, TenStepsToTheFullHeight)
{
    EXPECT_EQ(lib::unrolledHeight(150, 1), 15);
    EXPECT_EQ(lib::unrolledHeight(150, 5), 75);
    EXPECT_EQ(lib::unrolledHeight(155, 10), 155);
    EXPECT_EQ(lib::unrolledHeight(155, 12), 155);
    EXPECT_EQ(lib::unrolledHeight(155, 0), 0);
    EXPECT_EQ(lib::unrollSteps * lib::unrollStepMilliseconds, 100);
}

} // namespace
