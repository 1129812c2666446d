#include "analysis/Gaztimeedit.h"

#include "analysis/Gazopts.h"
#include "library/Lockobject.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace {

using Window = GazTimeEdit::Window;

TEST(GazTimeEdit, RoundsToTheNearestWholeSecond)
{
    struct Case {
        float seconds;
        int whole;
    };
    const Case cases[] = {
        {10.4f, 10}, {15.6f, 16}, {12.5f, 13}, {12.0f, 12}, {0.0f, 0}, {-0.7f, -1}, {-5.0f, -5}, {99.49f, 99},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {1e30f, std::numeric_limits<int>::max()}, {-1e30f, std::numeric_limits<int>::min()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GazTimeEdit::wholeSeconds(c.seconds), c.whole) << c.seconds;
}

class GazTimeEditTable : public ::testing::Test {
protected:
    Gaz& methane() { return table.Gazes[0]; }

    lib::lock_object bufferLock;
    GazOptions table{bufferLock};
    GazTimeEdit edit{table};
    int timesChanged = 0;
    boost::signals2::scoped_connection counting = table.gazTimesChanged.connect([this] { ++timesChanged; });
};

TEST_F(GazTimeEditTable, ListsEveryGasByNameAndLabelInTableOrder)
{
    EXPECT_THAT(GazTimeEdit::lines(table),
                ::testing::ElementsAre("метан (C1)", "этан (C2)", "пропан (C3)", "бутан (C4)", "пентан (C5)", "гексан (C6)"));
}

TEST_F(GazTimeEditTable, ShowsTheCorrectedWorkingWindowInWholeSeconds)
{
    methane().integrationStart = 10.4f;
    methane().integrationEnd = 15.6f;
    ASSERT_TRUE(edit.shown(0));
    EXPECT_EQ(*edit.shown(0), (Window{10, 16}));
    EXPECT_EQ(GazTimeEdit::sliders(methane()), (Window{10, 16}));
    EXPECT_EQ(GazTimeEdit::text(*edit.shown(0)), "10 - 16");
}

TEST_F(GazTimeEditTable, StoresTheSlidersAsNominalAndWorkingWindowAndAnnouncesIt)
{
    methane().integrationStart = 10.4f;
    methane().integrationEnd = 15.6f;
    EXPECT_EQ(edit.store(0, {11, 16}), (Window{11, 16}));
    EXPECT_FLOAT_EQ(methane().nominalStart, 11);
    EXPECT_FLOAT_EQ(methane().integrationStart, 11);
    EXPECT_FLOAT_EQ(methane().nominalEnd, 16);
    EXPECT_FLOAT_EQ(methane().integrationEnd, 16);
    EXPECT_EQ(timesChanged, 1);
    EXPECT_FLOAT_EQ(table.Gazes[1].nominalStart, 17) << "the other gases keep their windows";
}

// The list is filled once; a table that shrank since has no gas behind its last lines.
TEST_F(GazTimeEditTable, ALineWithoutGasShowsAndStoresNothing)
{
    for (int line : {-1, 6, 100}) {
        EXPECT_FALSE(edit.shown(line)) << line;
        EXPECT_FALSE(edit.store(line, {1, 2})) << line;
    }
    EXPECT_EQ(timesChanged, 0);
}

TEST_F(GazTimeEditTable, AWindowBeyondTheScaleIsShownAtItsEndAndKeptWhereNotMoved)
{
    Gaz& hexane = table.Gazes[5];
    hexane.integrationStart = hexane.nominalStart = 90;
    hexane.integrationEnd = hexane.nominalEnd = 130;
    EXPECT_EQ(GazTimeEdit::sliders(hexane), (Window{90, 100}));
    EXPECT_EQ(GazTimeEdit::text(*edit.shown(5)), "90 - 130");

    EXPECT_EQ(edit.store(5, {85, 100}), (Window{85, 130})) << "only the first slider moved";
    EXPECT_FLOAT_EQ(hexane.nominalEnd, 130);
    EXPECT_EQ(edit.store(5, {85, 99}), (Window{85, 99})) << "the second slider moved onto the scale";
    EXPECT_FLOAT_EQ(hexane.nominalEnd, 99);
    EXPECT_FLOAT_EQ(hexane.integrationEnd, 99);

    hexane.integrationStart = hexane.nominalStart = -5;
    EXPECT_EQ(GazTimeEdit::sliders(hexane), (Window{0, 99}));
    EXPECT_EQ(edit.store(5, {0, 98}), (Window{-5, 98}));
}

} // namespace
