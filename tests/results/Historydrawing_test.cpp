#include "results/Historydrawing.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "results/History.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingsurface.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Kind = RecordingSurface::Kind;
using ::testing::ElementsAre;

// The page of the history tests: 300 × 800 with a margin of 5, so cell 0 is (5, 5)–(98, 99)
// and cell 4 is (103, 104)–(196, 198).
constexpr int pageWidth = 300;
constexpr int pageHeight = 800;
constexpr int margin = 5;
constexpr Surface::Rect wholePage{0, 0, pageWidth - 1, pageHeight - 1};
constexpr std::uint32_t darkBlue = 0x800000;

Surface::Rect cell(std::size_t index)
{
    const GridRect r = History::entryRect(index, pageWidth, pageHeight, margin);
    return {r.left, r.top, r.right, r.bottom};
}

class HistoryDrawingTest : public ::testing::Test {
protected:
    HistoryDrawingTest()
    {
        configuration.samplesPerSecond = 2;  // step 1: copies keep the samples
        configuration.backgroundColor = darkBlue;
        configuration.fontSize = 12;
        gases.Gazes.clear();
        Gaz& gas = gases.Gazes.emplace_back();
        gas.name = "метан";
        gas.label = "C1";
        gas.colour = 0x0000FF;
        gas.nominalStart = gas.integrationStart = 1;
        gas.nominalEnd = gas.integrationEnd = 3;
        results = {CalculatedGaz::absolute(gas, 1.5, 2.0, 0.25)};
        CurvePoints samples;
        for (int i = 0; i < 10; ++i)
            samples.push_back(CurvePoint{0, i == 4 ? 3.0 : 0.5, i / 2, 0});
        live.setSamples(samples);
        history.setClock([] { return lib::toLocalSeconds(2007, 10, 3, 9, 5, 0); });
        style = ChromatogramDrawing::Style::from(configuration, gases);
    }

    // Entry i of n analyses is the one at depth n − i.
    void addAnalyses(int count)
    {
        for (int i = 1; i <= count; ++i) {
            configuration.currentDepth = i;
            history.add(live);
        }
    }

    RecordingSurface paint(const Surface::Rect& repaint) const
    {
        RecordingSurface surface;
        HistoryDrawing(history, style).paint(surface, pageWidth, pageHeight, margin, repaint);
        return surface;
    }

    // The title of every picture drawn, by the cell it was written in.
    static std::map<std::size_t, std::string> titlesByCell(const RecordingSurface& surface)
    {
        std::map<std::size_t, std::string> titles;
        for (const auto& call : surface.callsOf(Kind::text)) {
            if (call.text.rfind("9:05, ", 0) != 0)
                continue;
            const Surface::Point at = call.points[0];
            for (std::size_t i = 0; i < HistoryGrid::cellCount; ++i)
                if (History::entryRect(i, pageWidth, pageHeight, margin).contains(at.x, at.y))
                    titles[i] = call.text;
        }
        return titles;
    }

    test::DecimalSeparatorScope separator{','};
    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results;
    History history{configuration, gases, results};
    MyGraphics live;
    ChromatogramDrawing::Style style;
};

TEST_F(HistoryDrawingTest, DrawsOnlyThePicturesMeetingTheRepaintedArea)
{
    struct Case {
        const char* what;
        Surface::Rect repaint;
        std::set<std::size_t> drawn;
    };
    const Case cases[] = {
        {"the whole page", wholePage, {0, 1, 2, 3, 4}},
        {"inside one cell", {120, 120, 130, 130}, {4}},
        {"the margin between two cells", {99, 10, 102, 20}, {}},
        {"a cell's right edge", {98, 10, 98, 10}, {0}},
        {"across two rows and columns", {50, 90, 150, 110}, {0, 1, 3, 4}},
        {"a cell without an entry", {210, 110, 290, 190}, {}},
        {"outside the page", {400, 0, 500, 799}, {}},
    };
    addAnalyses(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RecordingSurface surface = paint(c.repaint);
        std::set<std::size_t> titled;
        for (const auto& [index, title] : titlesByCell(surface))
            titled.insert(index);
        EXPECT_EQ(titled, c.drawn);
        // Each picture first fills its own cell with the background, and nothing else is filled
        // with it.
        std::set<std::size_t> filled;
        for (const auto& call : surface.callsOf(Kind::fillRect)) {
            if (call.brush.colour != darkBlue)
                continue;
            bool isCell = false;
            for (std::size_t i = 0; i < 5; ++i) {
                if (call.points == std::vector<Surface::Point>{{cell(i).left, cell(i).top}, {cell(i).right, cell(i).bottom}}) {
                    filled.insert(i);
                    isCell = true;
                }
            }
            EXPECT_TRUE(isCell) << call.points[0].x << "," << call.points[0].y;
        }
        EXPECT_EQ(filled, c.drawn);
    }
}

TEST_F(HistoryDrawingTest, TheSelectedPictureGetsItsFrameLast)
{
    addAnalyses(5);
    ASSERT_TRUE(history.select(4));
    const RecordingSurface surface = paint(wholePage);

    const auto frames = surface.callsOf(Kind::frameRect);
    ASSERT_EQ(frames.size(), 3u);
    const std::vector<Surface::Point> corners{{103, 104}, {196, 198}};
    const std::pair<std::uint32_t, int> expected[] = {{0xFF0000, 3}, {0xFF0000, 2}, {0xFFFFFF, 1}};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(frames[k].points, corners);
        EXPECT_EQ(frames[k].pen.colour, expected[k].first);
        EXPECT_EQ(frames[k].pen.width, expected[k].second);
        EXPECT_EQ(frames[k].pen.style, Surface::PenStyle::solid);
    }
    const auto& calls = surface.calls();
    ASSERT_GE(calls.size(), 3u);
    for (std::size_t k = calls.size() - 3; k < calls.size(); ++k)
        EXPECT_EQ(calls[k].kind, Kind::frameRect) << "drawn over every picture";

    // A repaint of other cells still draws the frame: the device clips what lies outside.
    EXPECT_EQ(paint({120, 5, 130, 20}).callsOf(Kind::frameRect).size(), 3u);
}

TEST_F(HistoryDrawingTest, AnEmptyHistoryDrawsNothing)
{
    EXPECT_TRUE(paint(wholePage).calls().empty());
}

TEST_F(HistoryDrawingTest, PicturesUseTwoThirdsOfThePageFontInTheirFrameColour)
{
    addAnalyses(1);
    const RecordingSurface surface = paint(wholePage);
    std::vector<int> sizes;
    for (const auto& call : surface.callsOf(Kind::text)) {
        if (call.text == "Время, с " || call.text == "4 мВ") {
            sizes.push_back(call.fontSize);
            EXPECT_EQ(call.fontColour, 0xFFFFFFu) << "white captions on dark blue: " << call.text;
        }
    }
    EXPECT_THAT(sizes, ElementsAre(8, 8));
    // The title, one and a half times that, centred at the top of the cell.
    const auto titles = surface.callsOf(Kind::text);
    const auto title = std::find_if(titles.begin(), titles.end(), [](const auto& c) { return c.text == "9:05, 1,00"; });
    ASSERT_NE(title, titles.end());
    EXPECT_EQ(title->fontSize, 12);
    EXPECT_EQ(title->points[0].y, cell(0).top + 1);
    // Hatched peak, as the printed and the live drawing show it.
    EXPECT_EQ(surface.callsOf(Kind::hatchedPolygon).size(), 1u);
}

TEST_F(HistoryDrawingTest, TheTwentyFifthAnalysisLeavesTheNewestTopLeft)
{
    addAnalyses(25);
    const auto titles = titlesByCell(paint(wholePage));
    ASSERT_EQ(titles.size(), 24u);
    EXPECT_EQ(titles.at(0), "9:05, 25,00");
    EXPECT_EQ(titles.at(1), "9:05, 24,00");
    EXPECT_EQ(titles.at(23), "9:05, 2,00");
}

TEST(HistoryPageGeometry, MarginAndHeightFollowTheScreenAndTheWidth)
{
    EXPECT_EQ(HistoryDrawing::marginFor(96), 4);
    EXPECT_EQ(HistoryDrawing::marginFor(119), 5);
    EXPECT_EQ(HistoryDrawing::marginFor(0), 0);
    // 1280 wide: cells 421 wide and 168 high.
    EXPECT_EQ(HistoryDrawing::pageHeight(1280, 4), 4 + 8 * (168 + 4));
    const GridRect first = History::entryRect(0, 1280, HistoryDrawing::pageHeight(1280, 4), 4);
    EXPECT_EQ(first.bottom - first.top, 168);
    // A narrow page keeps readable pictures.
    EXPECT_EQ(HistoryDrawing::pageHeight(300, 4), 4 + 8 * (HistoryDrawing::minimumCellHeight + 4));
    EXPECT_EQ(HistoryDrawing::pageHeight(0, 4), 4 + 8 * (HistoryDrawing::minimumCellHeight + 4));
}

} // namespace
