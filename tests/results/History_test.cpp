#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "results/History.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"
#include "chromatogram/Curvebytes.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace curvebytes;
namespace fs = std::filesystem;

CurvePoint at(double value, std::int32_t second)
{
    CurvePoint point;
    point.value = value;
    point.second = second;
    return point;
}

const std::string historyHeader = std::string("NivraHistory\x01", 13);

// One stored entry as add() makes it from the fixture's live curve.
std::string storedEntry(std::string_view title, std::uint32_t background, std::uint32_t frame)
{
    return header(title, background, frame) + le32(2) + point(1.5, 0) + point(-2.0, 1) + le32(1)
        + mark(0x0000FF, -1, 3, 0.25, 1, "\xEC\xE5\xF2\xE0\xED", " 1,5% ");
}

// What a history page hears, in order.
void listen(History& history, std::vector<std::string>& heard)
{
    history.historyChanged.connect([&heard] { heard.push_back("history"); });
    history.selectionChanged.connect(
        [&heard](int selected) { heard.push_back("selected " + std::to_string(selected)); });
    history.loaded.connect([&heard] { heard.push_back("loaded"); });
}

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest()
    {
        configuration.samplesPerSecond = 2;  // step 1: copies keep the samples
        configuration.currentDepth = 1234.5;
        configuration.backgroundColor = 0x00FFFF;
        gases.Gazes.clear();
        Gaz& gas = gases.Gazes.emplace_back();
        gas.name = "метан";
        gas.colour = 0x0000FF;
        gas.nominalStart = gas.integrationStart = 0;
        gas.nominalEnd = gas.integrationEnd = 1;
        results = {CalculatedGaz::absolute(gas, 1.5, 2.0, 0.25)};
        live.setSamples({at(1.5, 0), at(-2.0, 1), at(7, 1)});
        history.setClock([this] { return now; });
        history.historyChanged.connect([this] {
            ++changes;
            selectedWhenChanged = history.selected();
        });
        listen(history, heard);
    }

    void addAnalyses(int count)
    {
        for (int i = 1; i <= count; ++i) {
            configuration.currentDepth = i;
            history.add(live);
        }
    }

    test::DecimalSeparatorScope separator{','};
    test::TemporaryDirectory dir;
    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results;
    History history{configuration, gases, results};
    MyGraphics live;
    lib::LocalSeconds now = lib::toLocalSeconds(2007, 10, 3, 9, 5, 0);
    int changes = 0;
    int selectedWhenChanged = -2;
    std::vector<std::string> heard;
};

TEST_F(HistoryTest, SavesTheFixtureByteForByte)
{
    history.add(live);
    now = lib::toLocalSeconds(2007, 10, 3, 14, 30, 0);
    configuration.currentDepth = 1240;
    configuration.backgroundColor = 0x800000;  // dark blue: white captions
    history.add(live);

    ASSERT_TRUE(history.save(dir / "nivra2.history"));
    EXPECT_EQ(test::readFile(dir / "nivra2.history"),
              historyHeader + le32(2) + storedEntry("14:30, 1240,00", 0x800000, 0xFFFFFF)
                  + storedEntry("9:05, 1234,50", 0x00FFFF, 0x000000));
}

TEST_F(HistoryTest, LoadsTheFixtureAsArchivedEntries)
{
    test::writeFile(dir / "nivra2.history",
                    historyHeader + le32(2) + storedEntry("14:30, 1240,00", 0x800000, 0xFFFFFF)
                        + storedEntry("9:05, 1234,50", 0x00FFFF, 0));
    history.load(dir / "nivra2.history");

    ASSERT_EQ(history.entryCount(), 2u);
    EXPECT_EQ(history.selected(), 0);
    EXPECT_EQ(history.selectedEntry(), &history.entry(0));
    const MyGraphics& newest = history.entry(0);
    EXPECT_EQ(newest.title(), "14:30, 1240,00");
    EXPECT_EQ(newest.backgroundColour(), 0x800000u);
    EXPECT_EQ(newest.frameColour(), 0xFFFFFFu);
    EXPECT_TRUE(newest.archived());
    EXPECT_EQ(newest.pointCount(), 2);
    EXPECT_EQ(newest.samples(), (CurvePoints{at(1.5, 0), at(-2.0, 1)}));
    EXPECT_EQ(newest.marks(), (std::vector<GazArea>{GazArea{0x0000FF, -1, 3, "метан", " 1,5% ", 0.25, true}}));
    EXPECT_EQ(history.entry(1).title(), "9:05, 1234,50");
    EXPECT_TRUE(history.entry(1).archived());
    EXPECT_THROW(history.entry(2), std::out_of_range);
}

TEST_F(HistoryTest, WhatIsSavedLoadsBackTheSame)
{
    addAnalyses(3);
    ASSERT_TRUE(history.save(dir / "h"));
    History other(configuration, gases, results);
    other.load(dir / "h");
    ASSERT_EQ(other.entryCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(other.entry(i).title(), history.entry(i).title());
        EXPECT_EQ(other.entry(i).samples(), history.entry(i).samples());
        EXPECT_EQ(other.entry(i).marks(), history.entry(i).marks());
    }
    EXPECT_EQ(other.fileContents(), history.fileContents());
}

TEST_F(HistoryTest, TheTwentyFifthAnalysisPushesOutTheOldest)
{
    addAnalyses(25);
    ASSERT_EQ(history.entryCount(), 24u);
    EXPECT_EQ(history.entry(0).title(), "9:05, 25,00");
    EXPECT_EQ(history.entry(23).title(), "9:05, 2,00");
    EXPECT_EQ(changes, 25);
}

TEST_F(HistoryTest, TheFirstEntryIsSelectedWhenTheChangeIsAnnounced)
{
    EXPECT_EQ(history.selectedEntry(), nullptr);
    history.add(live);
    EXPECT_EQ(selectedWhenChanged, 0);
    addAnalyses(5);
    ASSERT_TRUE(history.hitTest(110, 110, 300, 800, 5));  // cell 4
    history.add(live);
    EXPECT_EQ(history.selected(), 4);
}

TEST_F(HistoryTest, AnAddAnnouncesTheListAndThenTheSelection)
{
    history.add(live);
    EXPECT_THAT(heard, testing::ElementsAre("history", "selected 0"));
    addAnalyses(2);
    ASSERT_TRUE(history.select(2));
    heard.clear();
    history.add(live);  // the third cell now holds a newer entry
    EXPECT_THAT(heard, testing::ElementsAre("history", "selected 2"));
}

TEST_F(HistoryTest, SelectChoosesAnEntryAndIgnoresIndicesOutsideTheList)
{
    struct Case {
        int index;
        bool isEntry;
        int selected;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {3, true, 3, {"selected 3"}},
        {4, true, 4, {"selected 4"}},
        {0, true, 0, {}},  // already selected
        {-1, false, 0, {}},
        {5, false, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        History pictures(configuration, gases, results);
        std::vector<std::string> got;
        listen(pictures, got);
        for (int i = 0; i < 5; ++i)
            pictures.add(live);
        got.clear();
        EXPECT_EQ(pictures.select(c.index), c.isEntry);
        EXPECT_EQ(pictures.selected(), c.selected);
        EXPECT_EQ(got, c.heard);
    }
}

TEST_F(HistoryTest, AClickAnnouncesOnlyAnotherSelection)
{
    addAnalyses(5);
    heard.clear();
    ASSERT_TRUE(history.hitTest(150, 150, 300, 800, 5));  // cell 4
    ASSERT_TRUE(history.hitTest(150, 150, 300, 800, 5));
    ASSERT_FALSE(history.hitTest(100, 50, 300, 800, 5));  // between the cells
    EXPECT_THAT(heard, testing::ElementsAre("selected 4"));
}

TEST_F(HistoryTest, LoadingAnnouncesTheNewListAndThenTheSelection)
{
    struct Case {
        const char* what;
        int entriesBefore;
        std::string file;
        std::vector<std::string> heard;
    };
    const std::string twoEntries = historyHeader + le32(2) + storedEntry("a", 1, 2) + storedEntry("b", 3, 4);
    const Case cases[] = {
        {"entries over entries", 3, twoEntries, {"loaded", "selected 0"}},
        {"entries into an empty history", 0, twoEntries, {"loaded", "selected 0"}},
        {"nothing over entries", 3, "", {"loaded", "selected -1"}},
        {"nothing into an empty history", 0, "", {"loaded"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        History pictures(configuration, gases, results);
        std::vector<std::string> got;
        listen(pictures, got);
        for (int i = 0; i < c.entriesBefore; ++i)
            pictures.add(live);
        test::writeFile(dir / "nivra2.history", c.file);
        got.clear();
        pictures.load(dir / "nivra2.history");
        EXPECT_EQ(got, c.heard);
    }
}

TEST_F(HistoryTest, CopiesAreThinnedByHalfTheSampleRate)
{
    configuration.samplesPerSecond = 4;  // step 2, marks at 2 points per second
    live.setSamples({at(1, 0), at(3, 0), at(5, 1), at(7, 1), at(9, 2)});
    history.add(live);
    const MyGraphics& copy = history.entry(0);
    EXPECT_EQ(copy.samples(), (CurvePoints{at(2, 0), at(6, 1)}));
    EXPECT_EQ(copy.marks()[0].lastIndex, 3);
    EXPECT_TRUE(copy.archived());
    EXPECT_EQ(copy.results(), nullptr);
}

struct TitleCase {
    int hour;
    int minute;
    double depth;
    char separator;
    const char* title;
};

class HistoryTitle : public HistoryTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(HistoryTitle, ShowsTimeAndDepth)
{
    const TitleCase& c = GetParam();
    const test::DecimalSeparatorScope scope(c.separator);
    now = lib::toLocalSeconds(2020, 2, 29, c.hour, c.minute, 59);
    configuration.currentDepth = c.depth;
    history.add(live);
    EXPECT_EQ(history.entry(0).title(), c.title);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistoryTitle,
                         ::testing::Values(TitleCase{9, 5, 1234.5, ',', "9:05, 1234,50"},
                                           TitleCase{0, 0, 0, '.', "0:00, 0.00"},
                                           TitleCase{23, 59, -3.456, '.', "23:59, -3.46"},
                                           TitleCase{12, 10, 0.005, ',', "12:10, 0,01"}));

struct ColourCase {
    std::uint32_t background;
    std::uint32_t frame;
};

class HistoryColours : public HistoryTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(HistoryColours, FrameContrastsWithTheBackground)
{
    configuration.backgroundColor = GetParam().background;
    history.add(live);
    EXPECT_EQ(history.entry(0).backgroundColour(), GetParam().background);
    EXPECT_EQ(history.entry(0).frameColour(), GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistoryColours,
                         ::testing::Values(ColourCase{0xFFFFFF, 0}, ColourCase{0x000000, 0xFFFFFF},
                                           ColourCase{0x00FF00, 0},         // green alone is light
                                           ColourCase{0x0000FF, 0xFFFFFF},  // red alone is dark
                                           ColourCase{0xFF0000, 0xFFFFFF},  // so is blue
                                           ColourCase{0x787878, 0},         // brightness exactly 120
                                           ColourCase{0x777777, 0xFFFFFF}));

// ---- Damaged files ----

struct DamagedHistory {
    const char* name;
    std::string bytes;
    std::size_t entries;
};

class DamagedHistoryFile : public HistoryTest, public ::testing::WithParamInterface<DamagedHistory> {};

TEST_P(DamagedHistoryFile, KeepsOnlyTheEntriesReadInFull)
{
    addAnalyses(3);
    test::writeFile(dir / "nivra2.history", GetParam().bytes);
    history.load(dir / "nivra2.history");
    EXPECT_EQ(history.entryCount(), GetParam().entries);
    EXPECT_EQ(history.selected(), GetParam().entries > 0 ? 0 : -1);
    for (std::size_t i = 0; i < history.entryCount(); ++i)
        EXPECT_TRUE(history.entry(i).archived());
}

const std::string entryA = storedEntry("a", 1, 2);
const std::string entryB = storedEntry("b", 3, 4);
const std::string emptyEntry = header("", 0, 0) + le32(0) + le32(0);

std::string manyEntries(std::size_t count)
{
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += emptyEntry;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedHistoryFile,
    ::testing::Values(
        DamagedHistory{"ZeroLength", "", 0},
        DamagedHistory{"ShorterThanTheMagic", "NivraHist", 0},
        DamagedHistory{"ForeignMagic", std::string("NivraGazCurve\x01", 14) + le32(1) + entryA, 0},
        DamagedHistory{"OtherVersion", std::string("NivraHistory\x02", 13) + le32(1) + entryA, 0},
        DamagedHistory{"NoCount", historyHeader + "\x01\x00", 0},
        DamagedHistory{"ZeroCount", historyHeader + le32(0) + entryA, 0},
        DamagedHistory{"NegativeCount", historyHeader + le32(0xFFFFFFFF) + entryA, 0},
        DamagedHistory{"HugeCountWithTwoEntries", historyHeader + le32(0x7FFFFFFF) + entryA + entryB, 2},
        DamagedHistory{"SecondEntryCutShort", historyHeader + le32(2) + entryA + entryB.substr(0, 40), 1},
        DamagedHistory{"TitleWithoutZeroByte", historyHeader + le32(1) + std::string(300, 'x'), 0},
        DamagedHistory{"LiveCurveOf2001Samples",
                       historyHeader + le32(3) + entryA + header("", 0, 0) + le32(2001)
                           + std::string(2001 * 24, '\0') + le32(0) + entryB,
                       1},
        DamagedHistory{"MoreThanThePageHolds", historyHeader + le32(30) + manyEntries(30), 24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, AMissingFileGivesAnEmptyHistory)
{
    addAnalyses(2);
    history.load(dir / "none");
    EXPECT_EQ(history.entryCount(), 0u);
    EXPECT_EQ(history.selectedEntry(), nullptr);
}

TEST_F(HistoryTest, SavingIntoAMissingFolderFailsQuietly)
{
    addAnalyses(1);
    EXPECT_FALSE(history.save(dir / "missing" / "nivra2.history"));
}

// ---- Grid ----

TEST(HistoryGridGeometry, CellsFollowTheMarginAndIntegerDivision)
{
    EXPECT_EQ(History::entryRect(0, 300, 800, 5), (GridRect{5, 5, 98, 99}));
    EXPECT_EQ(History::entryRect(4, 300, 800, 5), (GridRect{103, 104, 196, 198}));
    EXPECT_EQ(History::entryRect(23, 300, 800, 5), (GridRect{201, 700, 295, 795}));
    EXPECT_EQ(History::entryRect(2, 2000000000, 2000000000, 0), (GridRect{1333333333, 0, 2000000000, 250000000}));
}

struct Click {
    const char* name;
    int x;
    int y;
    int selected;
};

class HistoryClick : public HistoryTest, public ::testing::WithParamInterface<Click> {};

TEST_P(HistoryClick, SelectsTheEntryUnderThePointerOnly)
{
    addAnalyses(5);
    ASSERT_TRUE(history.hitTest(250, 50, 300, 800, 5));  // cell 2 selected to begin with
    history.hitTest(GetParam().x, GetParam().y, 300, 800, 5);
    EXPECT_EQ(history.selected(), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistoryClick,
                         ::testing::Values(Click{"TopLeftCorner", 5, 5, 0}, Click{"BottomRightCorner", 98, 99, 0},
                                           Click{"SecondRow", 150, 150, 4},
                                           Click{"MarginBetweenColumns", 100, 50, 2},
                                           Click{"MarginBetweenRows", 50, 101, 2},
                                           Click{"OuterMargin", 2, 2, 2},
                                           Click{"CellWithoutEntry", 250, 150, 2},
                                           Click{"OutsideTheArea", -10, 5000, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
