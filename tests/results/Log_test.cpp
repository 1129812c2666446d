#include "results/Log.h"

#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <string>

namespace {

using ::testing::ElementsAre;

class LogTest : public ::testing::Test {
protected:
    std::filesystem::path journalPath() const { return dir / "события.txt"; }

    test::TemporaryDirectory dir;
    lib::LocalSeconds now = lib::toLocalSeconds(2007, 3, 3, 9, 5, 7);
    Log journal{[this] { return now; }};
};

TEST_F(LogTest, StampHasNoLeadingZeroInHourDayAndYear)
{
    struct Case {
        lib::LocalTimeFields time;
        const char* expected;
    };
    const Case cases[] = {
        {{2007, 3, 3, 9, 5, 7}, "[9:05:07 3.03.2007]     "},
        {{2024, 12, 31, 23, 59, 59}, "[23:59:59 31.12.2024]     "},
        {{2010, 1, 1, 0, 0, 0}, "[0:00:00 1.01.2010]     "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Log::stamp(c.time), c.expected);
}

TEST_F(LogTest, AddStampsTextAndLeavesAnEmptyLineBare)
{
    journal.open(journalPath());
    journal.add(Log::programStarted);
    journal.add("");
    EXPECT_THAT(journal.lines(), ElementsAre("[9:05:07 3.03.2007]     Запуск программы", ""));
}

TEST_F(LogTest, ALineBreakInTheTextStaysOneLine)
{
    journal.add("first\r\nsecond\nthird");
    EXPECT_THAT(journal.lines(), ElementsAre("[9:05:07 3.03.2007]     first  second third"));
}

TEST_F(LogTest, SaveWritesWindows1251WithCrLf)
{
    journal.open(journalPath());
    journal.add(Log::programStarted);
    journal.add("");
    journal.save();
    EXPECT_EQ(test::readFile(journalPath()),
              "[9:05:07 3.03.2007]     \xc7\xe0\xef\xf3\xf1\xea \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb\r\n"
              "\r\n");
}

TEST_F(LogTest, OpenReadsWindows1251WithEitherLineEnd)
{
    test::writeFile(journalPath(), "\xc6\xf3\xf0\xed\xe0\xeb\r\nlf only\n\r\nno end");
    journal.add("from before");
    journal.open(journalPath());
    EXPECT_THAT(journal.lines(), ElementsAre("Журнал", "lf only", "", "no end"));
}

TEST_F(LogTest, AMissingFileGivesAnEmptyJournal)
{
    journal.add("from before");
    journal.open(journalPath());
    EXPECT_TRUE(journal.lines().empty());
    EXPECT_EQ(journal.path(), journalPath());
}

TEST_F(LogTest, ALongJournalLoadsWholeAndIsTrimmedOnTheNextAddition)
{
    std::string file;
    for (int i = 0; i < 300; ++i)
        file += "line " + std::to_string(i) + "\r\n";
    test::writeFile(journalPath(), file);

    journal.open(journalPath());
    EXPECT_EQ(journal.lines().size(), 300u);
    journal.add("new");
    ASSERT_EQ(journal.lines().size(), 257u);
    EXPECT_EQ(journal.lines().front(), "line 44");
    EXPECT_EQ(journal.lines()[255], "line 299");
    EXPECT_EQ(journal.lines().back(), "[9:05:07 3.03.2007]     new");

    journal.add("");
    EXPECT_EQ(journal.lines().size(), 257u);
    EXPECT_EQ(journal.lines().front(), "line 45");
}

TEST_F(LogTest, ClearEmptiesTheListButNotTheFile)
{
    test::writeFile(journalPath(), "old\r\n");
    journal.open(journalPath());
    journal.clear();
    journal.add(Log::journalCleared);
    EXPECT_THAT(journal.lines(), ElementsAre("[9:05:07 3.03.2007]     Очищен журнал"));
    EXPECT_EQ(test::readFile(journalPath()), "old\r\n");
}

TEST_F(LogTest, EveryChangeIsAnnouncedOnce)
{
    int changes = 0;
    journal.changed.connect([&changes] { ++changes; });
    journal.open(journalPath());
    journal.add("one");
    journal.add("");
    journal.clear();
    EXPECT_EQ(changes, 4);
}

TEST_F(LogTest, AFailedSaveIsIgnored)
{
    journal.open(dir / "missing" / "события.txt");
    journal.add("text");
    EXPECT_NO_THROW(journal.save());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    Log neverOpened;
    neverOpened.add("text");
    EXPECT_NO_THROW(neverOpened.save());
}

} // namespace
