#include "views/Historypage.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "library/Lockobject.h"
#include "results/History.h"
#include "results/Historydrawing.h"
#include "settings/Configuration.h"
#include "views/Paintersurface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr std::uint32_t curveMagenta = 0xFF00FF;
constexpr std::uint32_t gasGreen = 0x00A000;
const QColor frameBlue(0, 0, 255);

// Counts the paints of a widget; the page's own handling goes on behind it.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Five analyses of 20 s at 2 samples a second (kept as they are), each with one peak of 3 mV
// on a baseline of 0.5 mV in a window with a result.
class HistoryPageTest : public ::testing::Test {
protected:
    HistoryPageTest()
    {
        configuration.samplesPerSecond = 2;
        configuration.curveColor = curveMagenta;
        configuration.curveWidth = 2;
        configuration.fontName = "DejaVu Sans";
        gases.Gazes.clear();
        Gaz& gas = gases.Gazes.emplace_back();
        gas.name = "метан";
        gas.label = "C1";
        gas.colour = gasGreen;
        gas.nominalStart = gas.integrationStart = 6;
        gas.nominalEnd = gas.integrationEnd = 14;
        results = {CalculatedGaz::absolute(gas, 1.5, 2.0, 3.5)};
        CurvePoints samples;
        for (int i = 0; i < 40; ++i)
            samples.push_back(CurvePoint{0, 0.5 + 3.0 * std::exp(-std::pow((i - 20) / 3.0, 2)), i / 2, 0});
        live.setSamples(samples);
        for (int i = 0; i < 5; ++i)
            history.add(live);
    }

    void show()
    {
        page.resize(900, 600);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        ASSERT_TRUE(QTest::qWaitFor([this] { return page.pictures()->width() > 800; }, 20000));
        QApplication::processEvents();
    }

    QRect cell(std::size_t index) const
    {
        const GridRect r = History::entryRect(index, page.pictures()->width(), page.pictures()->height(), page.margin());
        return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    }

    void waitForPaint(const PaintCounter& counter, int before) const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 20000)) << "no repaint";
    }

    QImage image() const { return page.pictures()->grab().toImage(); }

    // How many pixels of the rectangle have the colour.
    static int count(const QImage& image, const QRect& area, const QColor& colour)
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += image.pixelColor(x, y) == colour ? 1 : 0;
        return found;
    }

    // The selection frame: blue just inside the cell's left edge, half-way down.
    static bool framed(const QImage& image, const QRect& cell)
    {
        return image.pixelColor(cell.left() + 1, cell.center().y()) == frameBlue;
    }

    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results;
    MyGraphics live;
    History history{configuration, gases, results};
    HistoryPage page{history, configuration, gases};
};

TEST_F(HistoryPageTest, AClickOnAPictureSelectsItAndMovesTheFrame)
{
    show();
    PaintCounter counter(*page.pictures());
    ASSERT_EQ(history.selected(), 0);
    EXPECT_TRUE(framed(image(), cell(0)));

    const int before = counter.paints;
    QTest::mouseClick(page.pictures(), Qt::LeftButton, {}, cell(4).center());
    EXPECT_EQ(history.selected(), 4);
    waitForPaint(counter, before);
    const QImage after = image();
    EXPECT_TRUE(framed(after, cell(4)));
    EXPECT_FALSE(framed(after, cell(0)));
}

TEST_F(HistoryPageTest, AClickBesideThePicturesKeepsTheSelectionAndRepaints)
{
    show();
    ASSERT_TRUE(history.select(2));
    PaintCounter counter(*page.pictures());
    const QPoint cases[] = {
        {(cell(0).right() + cell(1).left()) / 2, cell(0).center().y()},  // between two columns
        {cell(0).center().x(), (cell(0).bottom() + cell(3).top()) / 2},  // between two rows
        cell(7).center(),                                                // a cell without an entry
    };
    for (const QPoint& at : cases) {
        const int before = counter.paints;
        QTest::mouseClick(page.pictures(), Qt::LeftButton, {}, at);
        EXPECT_EQ(history.selected(), 2) << at.x() << "," << at.y();
        waitForPaint(counter, before);
    }
    QTest::mouseClick(page.pictures(), Qt::RightButton, {}, cell(1).center());
    EXPECT_EQ(history.selected(), 2) << "only the left button selects";
}

TEST_F(HistoryPageTest, ADoubleClickSelectsAndAsksToPrint)
{
    show();
    QSignalSpy requests(&page, &HistoryPage::printRequested);
    QTest::mouseDClick(page.pictures(), Qt::LeftButton, {}, cell(3).center());
    EXPECT_EQ(requests.count(), 1);
    EXPECT_EQ(history.selected(), 3);

    QTest::mouseDClick(page.pictures(), Qt::LeftButton, {}, cell(8).center());
    EXPECT_EQ(requests.count(), 1) << "nothing to print beside the pictures";
    EXPECT_EQ(history.selected(), 3);

    EXPECT_FALSE(page.printButton()->isEnabled());
    EXPECT_EQ(page.printButton()->text(), QStringLiteral("Печать..."));
}

TEST_F(HistoryPageTest, ThePicturesAreAsWideAsTheBox)
{
    show();
    for (const int width : {900, 500, 1300}) {
        page.resize(width, 600);
        QWidget* viewport = page.scrollArea()->viewport();
        ASSERT_TRUE(QTest::qWaitFor([&] { return page.pictures()->width() == viewport->width(); }, 20000))
            << width << ": " << page.pictures()->width() << " for " << viewport->width();
        EXPECT_GT(viewport->width(), width - 60);
        EXPECT_EQ(page.pictures()->height(), HistoryDrawing::pageHeight(viewport->width(), page.margin()));
        EXPECT_GT(page.pictures()->height(), viewport->height()) << "the pictures scroll";
    }
}

TEST_F(HistoryPageTest, ThePicturesShowTheCurvesAndTheFrame)
{
    show();
    const QImage shown = image();
    const QColor background = PainterSurface::colour(configuration.backgroundColor);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(count(shown, cell(i), PainterSurface::colour(curveMagenta)), 20) << "the curve";
        EXPECT_GE(count(shown, cell(i), PainterSurface::colour(gasGreen)), 10) << "the hatched peak";
        EXPECT_GE(count(shown, cell(i), QColor(255, 255, 0)), 20) << "the title's yellow";
    }
    EXPECT_EQ(count(shown, cell(5), background), 0) << "no picture without an entry";

    // Blue, white along the middle of the cell's edge, blue; the left and top edges are where
    // every device puts them.
    const QRect first = cell(0);
    const int y = first.center().y();
    EXPECT_EQ(shown.pixelColor(first.left() - 1, y), frameBlue);
    EXPECT_EQ(shown.pixelColor(first.left(), y), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(first.left() + 1, y), frameBlue);
    const int x = first.center().x();
    EXPECT_EQ(shown.pixelColor(x, first.top() - 1), frameBlue);
    EXPECT_EQ(shown.pixelColor(x, first.top()), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(x, first.top() + 1), frameBlue);
    EXPECT_FALSE(framed(shown, cell(1)));
}

// The page keeps each picture as drawn: an analysis added is drawn in the first cell and every
// kept picture moves one cell on with its entry.
TEST_F(HistoryPageTest, KeptPicturesMoveOnWithTheirEntries)
{
    show();
    static_cast<void>(image());
    const QColor white = PainterSurface::colour(configuration.backgroundColor);
    configuration.backgroundColor = 0xC0FFC0;
    const QColor green = PainterSurface::colour(configuration.backgroundColor);
    history.add(live);
    QApplication::processEvents();
    const QImage shown = image();
    const auto backgroundOf = [&](std::size_t index) {
        const QRect r = cell(index);
        return shown.pixelColor(r.right() - 10, r.center().y());
    };
    EXPECT_EQ(backgroundOf(0), green) << "the new analysis";
    for (std::size_t i = 1; i < 6; ++i)
        EXPECT_EQ(backgroundOf(i), white) << "older analysis " << i;
}

TEST_F(HistoryPageTest, FollowsTheHistoryOnlyWhileShown)
{
    PaintCounter counter(*page.pictures());
    history.add(live);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0) << "a hidden page is not drawn";

    show();
    struct Change {
        const char* what;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"an analysis added", [this] { history.add(live); }},
        {"another selection", [this] { history.select(3); }},
        {"the history loaded", [this] { history.loadFrom(history.fileContents()); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        QApplication::processEvents();
        const int before = counter.paints;
        change.make();
        waitForPaint(counter, before);
    }
}

} // namespace
