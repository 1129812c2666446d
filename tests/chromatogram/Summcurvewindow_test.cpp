#include "chromatogram/Summcurvewindow.h"

#include "chromatogram/Summcurve.h"
#include "library/Mytime.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAreArray;
using ::testing::Optional;

constexpr double second = 1.0 / 86400;
constexpr double minute = 1.0 / 1440;
constexpr double hour = 1.0 / 24;
// Half a millisecond: whole seconds as day counts carry rounding far below it.
constexpr double close = 0.0005 * second;

double at(int year, int month, int day, int hour, int minute, int second)
{
    return lib::toDateTime(lib::toLocalSeconds(year, month, day, hour, minute, second));
}

const double october3 = at(2007, 10, 3, 0, 0, 0);

TEST(SummCurveWindow, ListsTheSixteenTimeScalesWithTheirLengths)
{
    struct Expected {
        const char* caption;
        double minutes;
    };
    const std::vector<Expected> expected{
        {"1 минута", 1},   {"3 минуты", 3},   {"5 минут", 5},     {"10 минут", 10},
        {"15 минут", 15},  {"20 минут", 20},  {"30 минут", 30},   {"1 час", 60},
        {"2 часа", 120},   {"3 часа", 180},   {"4 часа", 240},    {"6 часов", 360},
        {"12 часов", 720}, {"1 сутки", 1440}, {"2", 2 * 1440},    {"3", 3 * 1440},
    };
    ASSERT_EQ(SummCurveWindow::timeScales.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(SummCurveWindow::timeScales[i].caption, expected[i].caption);
        EXPECT_NEAR(SummCurveWindow::timeScales[i].days, expected[i].minutes * minute, 1e-12);
    }
}

TEST(SummCurveWindow, StoredScaleOutsideTheListSelectsTheFirstEntry)
{
    const std::vector<std::pair<std::int32_t, std::size_t>> cases{
        {0, 0}, {1, 1}, {15, 15}, {16, 0}, {-1, 0}, {std::numeric_limits<std::int32_t>::min(), 0}};
    for (const auto& [stored, index] : cases)
        EXPECT_EQ(SummCurveWindow::scaleIndex(stored), index) << stored;
}

// One point a second over two hours, seen through a window of one minute.
class SummCurveWindowScrolling : public ::testing::Test {
protected:
    SummCurveWindowScrolling()
    {
        window.setExtent(first, last);
    }

    static constexpr std::size_t oneMinute = 0;
    static constexpr std::size_t oneHour = 7;
    const double first = october3 + 10 * hour;
    const double last = first + 2 * hour;
    SummCurveWindow window;
};

TEST_F(SummCurveWindowScrolling, StartsAtTheNewestReadingAndScrollsByTheSecond)
{
    EXPECT_EQ(window.maxPosition(), 2 * 3600 - 60);
    EXPECT_EQ(window.position(), window.maxPosition());
    EXPECT_THAT(window.bottom(), DoubleNear(last, close));
    EXPECT_THAT(window.top(), DoubleNear(last - minute, close));
    EXPECT_EQ(window.pageStep(), 60);
    EXPECT_EQ(window.singleStep(), 6);

    window.setPosition(0);
    EXPECT_THAT(window.top(), DoubleNear(first, close));
    window.setPosition(90);
    EXPECT_THAT(window.top(), DoubleNear(first + 90 * second, close));
    window.setPosition(-5);
    EXPECT_EQ(window.position(), 0);
    window.setPosition(window.maxPosition() + 100);
    EXPECT_EQ(window.position(), window.maxPosition());
}

TEST_F(SummCurveWindowScrolling, FollowsNewReadingsOnlyWithinFivePositionsOfTheEnd)
{
    struct Case {
        int distanceFromEnd;
        bool follows;
    };
    for (const Case c : {Case{0, true}, Case{3, true}, Case{5, true}, Case{6, false}, Case{600, false}}) {
        SCOPED_TRACE(c.distanceFromEnd);
        SummCurveWindow scrolled;
        scrolled.setExtent(first, last);
        scrolled.setPosition(scrolled.maxPosition() - c.distanceFromEnd);
        const double topBefore = scrolled.top();

        scrolled.setExtent(first, last + 2 * second);

        if (c.follows) {
            EXPECT_EQ(scrolled.position(), scrolled.maxPosition());
            EXPECT_THAT(scrolled.bottom(), DoubleNear(last + 2 * second, close));
        } else {
            EXPECT_THAT(scrolled.top(), DoubleNear(topBefore, close));
        }
    }
}

TEST_F(SummCurveWindowScrolling, ATrendShorterThanTheWindowStartsAtTheTop)
{
    SummCurveWindow window;
    window.setScale(oneHour);
    window.setExtent(first, first + 10 * minute);
    EXPECT_EQ(window.maxPosition(), 0);
    EXPECT_THAT(window.top(), DoubleNear(first, close));
    EXPECT_THAT(window.bottom(), DoubleNear(first + hour, close));

    // Once it outgrows the window the newest reading is kept at the bottom.
    window.setExtent(first, first + hour + 30 * second);
    EXPECT_EQ(window.maxPosition(), 30);
    EXPECT_THAT(window.bottom(), DoubleNear(first + hour + 30 * second, close));
}

TEST_F(SummCurveWindowScrolling, ANewScaleKeepsTheMiddleInViewOrStaysAtTheEnd)
{
    window.setPosition(3600);  // 11:00 to 11:01
    const double middle = first + hour + 30 * second;
    window.setScale(oneHour);
    EXPECT_THAT(window.length(), DoubleNear(hour, 1e-12));
    EXPECT_THAT((window.top() + window.bottom()) / 2, DoubleNear(middle, close));

    // Scrolled to the end it stays there.
    window.setPosition(window.maxPosition());
    window.setScale(oneMinute);
    EXPECT_THAT(window.bottom(), DoubleNear(last, close));

    // Near the start the window is held at the first reading.
    window.setPosition(0);
    window.setScale(oneHour);
    EXPECT_THAT(window.top(), DoubleNear(first, close));
}

TEST_F(SummCurveWindowScrolling, IgnoresATrendWithoutUsableTimes)
{
    const double top = window.top();
    window.setExtent(std::nan(""), last);
    window.setExtent(first, std::numeric_limits<double>::infinity());
    EXPECT_THAT(window.top(), DoubleNear(top, close));
    // A last point before the first (a clock set back) gives a trend of no length.
    window.setExtent(first, first - hour);
    EXPECT_EQ(window.maxPosition(), 0);
    EXPECT_THAT(window.top(), DoubleNear(first, close));
}

std::vector<SummCurvePoint> pointsEverySecond(double start, int count)
{
    std::vector<SummCurvePoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        points[static_cast<std::size_t>(i)].time = start + i * second;
        points[static_cast<std::size_t>(i)].value = static_cast<float>(i);
    }
    return points;
}

TEST(SummCurveWindow, FindsThePointsInsideAWindowBothEndsIncluded)
{
    const double start = october3 + 12 * hour;
    const std::vector<SummCurvePoint> points = pointsEverySecond(start, 10);
    struct Case {
        const char* what;
        double from;
        double to;
        SummCurveWindow::IndexRange range;
    };
    const std::vector<Case> cases{
        {"all", start - hour, start + hour, {0, 10}},
        {"exact ends", start + 3 * second, start + 5 * second, {3, 6}},
        {"between two points", start + 3.2 * second, start + 3.8 * second, {4, 4}},
        {"before the first", start - hour, start - minute, {0, 0}},
        {"after the last", start + hour, start + 2 * hour, {10, 10}},
        {"one instant", start + 9 * second, start + 9 * second, {9, 10}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SummCurveWindow::indexRange(points, c.from, c.to), c.range) << c.what;
    EXPECT_EQ(SummCurveWindow::indexRange({}, start, start + hour), (SummCurveWindow::IndexRange{0, 0}));
}

TEST(SummCurveWindow, TheReadingAtATimeIsTheNearestWithinAMinute)
{
    const double start = october3 + 12 * hour;
    std::vector<SummCurvePoint> points = pointsEverySecond(start, 3);
    SummCurvePoint afterGap;
    afterGap.time = start + 10 * minute;
    points.push_back(afterGap);

    EXPECT_THAT(SummCurveWindow::readingAt(points, start + 0.4 * second), Optional(0u));
    EXPECT_THAT(SummCurveWindow::readingAt(points, start + 1.6 * second), Optional(2u));
    EXPECT_THAT(SummCurveWindow::readingAt(points, start - 59 * second), Optional(0u));
    EXPECT_THAT(SummCurveWindow::readingAt(points, start + 2 * second + minute), Optional(2u));
    EXPECT_THAT(SummCurveWindow::readingAt(points, start + 9.5 * minute), Optional(3u));
    EXPECT_EQ(SummCurveWindow::readingAt(points, start + 5 * minute), std::nullopt);
    EXPECT_EQ(SummCurveWindow::readingAt(points, start - 2 * minute), std::nullopt);
    EXPECT_EQ(SummCurveWindow::readingAt({}, start), std::nullopt);
}

TEST(SummCurveWindow, ChoosesTheShortestReadableTickStep)
{
    struct Case {
        double span;
        int maxTicks;
        double stepSeconds;
    };
    const std::vector<Case> cases{
        {minute, 60, 1}, {minute, 10, 10}, {minute, 5, 15}, {3 * minute, 10, 30}, {hour, 10, 600},
        {hour, 4, 900},  {3, 10, 43200},   {3, 4, 86400},   {30, 5, 6 * 86400},   {minute, 0, 60},
    };
    for (const Case& c : cases) {
        const SummCurveWindow::TickStep step = SummCurveWindow::tickStep(c.span, c.maxTicks);
        EXPECT_NEAR(step.days * 86400, c.stepSeconds, 1e-6) << c.span << " days, " << c.maxTicks << " ticks";
        // Ticks counted from day 0 must fall on round clock times.
        if (c.stepSeconds <= 86400) {
            EXPECT_EQ(86400 % static_cast<int>(c.stepSeconds), 0);
        }
    }
}

TEST(SummCurveWindow, LabelsTicksWithClockTimesAndMidnightWithTheDate)
{
    struct Case {
        double time;
        double step;
        const char* label;
    };
    const std::vector<Case> cases{
        {at(2007, 10, 3, 16, 20, 5), 5 * second, "16:20:05"},
        {at(2007, 10, 3, 16, 20, 0), 5 * minute, "16:20"},
        {at(2007, 10, 3, 6, 0, 0), 6 * hour, "06:00"},
        {october3, 6 * hour, "03.10"},
        {october3, 10 * second, "03.10"},
        // A tick computed as a multiple of its step misses the second by rounding only.
        {at(2007, 10, 3, 16, 20, 0) - 1e-11, 10 * second, "16:20:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SummCurveWindow::tickLabel(c.time, c.step), c.label);
}

TEST(SummCurveWindow, WritesTimesAndDepthsForTheCursorBox)
{
    test::DecimalSeparatorScope comma(',');
    EXPECT_EQ(SummCurveWindow::timeText(at(2007, 10, 3, 16, 20, 5)), "03.10 16:20:05");
    EXPECT_EQ(SummCurveWindow::timeText(39144.5), "03.03 12:00:00");
    EXPECT_EQ(SummCurveWindow::depthText(1234.3f), "1234,3");
    EXPECT_EQ(SummCurveWindow::depthText(850), "850");
    EXPECT_EQ(SummCurveWindow::depthText(0), "");
}

TEST(SummCurveWindow, CursorBoxShowsTheTimeTheDepthAheadAndTheNearestReading)
{
    test::DecimalSeparatorScope comma(',');
    const double start = october3 + 12 * hour;
    TSummCurve trend;
    for (int i = 0; i < 120; ++i)
        trend.append(start + i * second, i == 100 ? 1520.5f : 0, 0.125f * static_cast<float>(i));
    trend.append(start + hour, 1530, 4);  // after a gap of an hour

    const auto inside = SummCurveWindow::cursorTexts(trend, start + 50 * second, 2);
    EXPECT_EQ(inside.time, "03.10 12:00:50");
    EXPECT_EQ(inside.depth, "1520,5");  // 50 s before the point with a depth
    EXPECT_EQ(inside.value, "6,25");

    const auto early = SummCurveWindow::cursorTexts(trend, start + 30 * second, 3);
    EXPECT_EQ(early.depth, "");  // more than a minute of points without depth first
    EXPECT_EQ(early.value, "3,750");

    const auto gap = SummCurveWindow::cursorTexts(trend, start + 30 * minute, 2);
    EXPECT_EQ(gap.value, "");
    EXPECT_EQ(gap.depth, "1530");  // the next point with a depth, however far
}

TEST(SummCurveWindow, KeepsOnlyASensiblePlacement)
{
    struct RangeCase {
        double min, max, expectedMin, expectedMax;
    };
    const double nan = std::nan("");
    for (const RangeCase c : {RangeCase{0, 5, 0, 5}, RangeCase{-1, 12.5, -1, 12.5}, RangeCase{2, 2, 0, 5},
                              RangeCase{5, 0, 0, 5}, RangeCase{nan, 5, 0, 5},
                              RangeCase{0, std::numeric_limits<double>::infinity(), 0, 5}}) {
        const auto range = SummCurveWindow::valueRange(c.min, c.max);
        EXPECT_EQ(range.min, c.expectedMin) << c.min << " … " << c.max;
        EXPECT_EQ(range.max, c.expectedMax) << c.min << " … " << c.max;
    }
    EXPECT_EQ(SummCurveWindow::restoredWidth(260), 260);
    EXPECT_EQ(SummCurveWindow::restoredWidth(0), 200);
    EXPECT_EQ(SummCurveWindow::restoredWidth(-40), 200);
    EXPECT_EQ(SummCurveWindow::storedWidth(310, 200), 310);
    EXPECT_EQ(SummCurveWindow::storedWidth(0, 260), 260);  // collapsed: the stored width stays
}

} // namespace
