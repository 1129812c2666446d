#include "chromatogram/Summcurve.h"

#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

std::string fromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

const std::string magicAndVersion = std::string("NivraSummCurv2") + '\x01';

// Two points: 3 March 2007 12:00, 1234.5 m, 0.25, label shown; 18:00, no depth, 1.5.
const std::string twoPointFile = magicAndVersion
    + fromHex("02 00 00 00"
              "00 00 00 00 10 1d e3 40  00 50 9a 44  00 00 80 3e  01  00 00 00 00 00 00 00"
              "00 00 00 00 18 1d e3 40  00 00 00 00  00 00 c0 3f  00  00 00 00 00 00 00 00");

// The same file as another program might leave it: any byte in the flag and the reserved bytes.
const std::string twoPointFileWithNoise = magicAndVersion
    + fromHex("02 00 00 00"
              "00 00 00 00 10 1d e3 40  00 50 9a 44  00 00 80 3e  07  aa bb cc dd ee ff 11"
              "00 00 00 00 18 1d e3 40  00 00 00 00  00 00 c0 3f  00  01 02 03 04 05 06 07");

constexpr double march3Noon = 39144.5;
constexpr double march3Evening = 39144.75;
constexpr double second = 1.0 / 86400;

TSummCurve twoPointCurve()
{
    TSummCurve curve;
    curve.append(march3Noon, 1234.5f, 0.25f);
    curve.append(march3Evening, 0, 1.5f);
    curve.setMarkShown(0, true);
    return curve;
}

std::string countField(std::int32_t count)
{
    return std::string(reinterpret_cast<const char*>(&count), sizeof count);
}

TEST(SummCurve, AppendReturnsTheIndexAndKeepsTheTimesForScrolling)
{
    TSummCurve curve;
    EXPECT_EQ(curve.append(march3Noon, 10, 1), 0u);
    EXPECT_EQ(curve.append(march3Noon + second, 10, 2), 1u);
    EXPECT_EQ(curve.firstTime(), march3Noon);
    EXPECT_EQ(curve.lastTime(), march3Noon + second);
    EXPECT_FALSE(curve.markShown(1));
}

TEST(SummCurve, MarkFlagsToggleAndIgnoreIndexesOutsideTheTrend)
{
    TSummCurve curve = twoPointCurve();
    EXPECT_TRUE(curve.markShown(0));
    curve.setMarkShown(0, false);
    curve.setMarkShown(1, true);
    EXPECT_FALSE(curve.markShown(0));
    EXPECT_TRUE(curve.markShown(1));

    curve.setMarkShown(2, true);
    EXPECT_FALSE(curve.markShown(2));
    EXPECT_EQ(curve.size(), 2u);
}

TEST(SummCurveFile, SaveWritesTheLayoutByteForByte)
{
    test::TemporaryDirectory dir;
    ASSERT_TRUE(twoPointCurve().save(dir / "gsumm.dat"));
    EXPECT_EQ(test::readFile(dir / "gsumm.dat"), twoPointFile);
}

TEST(SummCurveFile, LoadReadsTheLayoutAndSavesItBackUnchanged)
{
    test::TemporaryDirectory dir;
    test::writeFile(dir / "gsumm.dat", twoPointFile);
    TSummCurve curve;
    curve.load(dir / "gsumm.dat");
    EXPECT_EQ(curve.points(), twoPointCurve().points());
    EXPECT_EQ(curve.firstTime(), march3Noon);
    EXPECT_EQ(curve.lastTime(), march3Evening);

    ASSERT_TRUE(curve.save(dir / "again.dat"));
    EXPECT_EQ(test::readFile(dir / "again.dat"), twoPointFile);
}

TEST(SummCurveFile, ForeignFlagAndReservedBytesAreWrittenBackClean)
{
    test::TemporaryDirectory dir;
    test::writeFile(dir / "gsumm.dat", twoPointFileWithNoise);
    TSummCurve curve;
    curve.load(dir / "gsumm.dat");
    EXPECT_TRUE(curve.markShown(0));
    EXPECT_FALSE(curve.markShown(1));

    ASSERT_TRUE(curve.save(dir / "gsumm.dat"));
    EXPECT_EQ(test::readFile(dir / "gsumm.dat"), twoPointFile);
}

TEST(SummCurveFile, AnEmptyTrendWritesNothing)
{
    test::TemporaryDirectory dir;
    test::writeFile(dir / "gsumm.dat", "previous run");
    const TSummCurve empty;
    EXPECT_FALSE(empty.save(dir / "gsumm.dat"));
    EXPECT_FALSE(empty.save(dir / "new.dat"));
    EXPECT_EQ(test::readFile(dir / "gsumm.dat"), "previous run");
    EXPECT_FALSE(std::filesystem::exists(dir / "new.dat"));
}

TEST(SummCurveFile, UnusableFilesLoadNothingAndOnlyForeignOnesAreDeleted)
{
    struct Case {
        const char* what;
        std::string contents;
        bool deleted;
    };
    const std::string onePoint = twoPointFile.substr(19, 24);
    const Case cases[] = {
        {"wrong magic", "NivraSummCurv1" + twoPointFile.substr(14), true},
        {"another program's text", "just some text that is long enough", true},
        {"version 2", "NivraSummCurv2" + std::string(1, '\x02') + twoPointFile.substr(15), false},
        {"version 0", "NivraSummCurv2" + std::string(1, '\0') + twoPointFile.substr(15), false},
        {"negative count", magicAndVersion + countField(-1) + onePoint, false},
        {"count above thirty days", magicAndVersion + countField(2'592'001) + onePoint, false},
        {"largest count", magicAndVersion + countField(0x7fffffff) + onePoint, false},
        {"count longer than the file", magicAndVersion + countField(3) + onePoint + onePoint, false},
        {"last point cut short", twoPointFile.substr(0, twoPointFile.size() - 1), false},
        {"count cut short", magicAndVersion + "\x02", false},
        {"magic and version only", magicAndVersion, false},
        {"magic only", "NivraSummCurv2", false},
        {"start of the magic only", "NivraSumm", false},
        {"empty file", "", false},
    };
    for (const auto& c : cases) {
        test::TemporaryDirectory dir;
        test::writeFile(dir / "gsumm.dat", c.contents);
        TSummCurve curve = twoPointCurve();
        curve.load(dir / "gsumm.dat");
        EXPECT_EQ(curve.points(), twoPointCurve().points()) << c.what;
        EXPECT_EQ(std::filesystem::exists(dir / "gsumm.dat"), !c.deleted) << c.what;
    }
}

TEST(SummCurveFile, LoadReplacesTheTrendWithTheFileCount)
{
    test::TemporaryDirectory dir;
    test::writeFile(dir / "trailing.dat", twoPointFile + "trailing bytes are not points");
    test::writeFile(dir / "none.dat", magicAndVersion + countField(0));

    TSummCurve curve;
    curve.append(1, 2, 3);
    curve.load(dir / "trailing.dat");
    EXPECT_EQ(curve.points(), twoPointCurve().points());
    curve.load(dir / "none.dat");
    EXPECT_EQ(curve.size(), 0u);
}

TEST(SummCurveFile, MissingFileOrFolderLeavesTheTrendAsItWas)
{
    test::TemporaryDirectory dir;
    std::filesystem::create_directory(dir / "gsumm.dat");
    TSummCurve curve = twoPointCurve();
    curve.load(dir / "missing.dat");
    curve.load(dir / "gsumm.dat");
    EXPECT_EQ(curve.points(), twoPointCurve().points());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "gsumm.dat"));
}

TEST(SummCurveFile, ALongTrendKeepsItsNewestThirtyDays)
{
    constexpr std::size_t total = 2'600'000;
    constexpr std::size_t kept = TSummCurve::maxFilePoints;
    TSummCurve curve;
    for (std::size_t i = 0; i < total; ++i)
        curve.append(march3Noon + static_cast<double>(i) * second, static_cast<float>(i % 1000),
                     static_cast<float>(i) * 0.5f);
    curve.setMarkShown(total - 1, true);

    test::TemporaryDirectory dir;
    ASSERT_TRUE(curve.save(dir / "gsumm.dat"));
    EXPECT_EQ(std::filesystem::file_size(dir / "gsumm.dat"), 19 + kept * 24);

    TSummCurve loaded;
    loaded.load(dir / "gsumm.dat");
    ASSERT_EQ(loaded.size(), kept);
    EXPECT_TRUE(std::equal(loaded.points().begin(), loaded.points().end(), curve.points().begin() + (total - kept)));
    EXPECT_EQ(loaded.firstTime(), curve.points()[total - kept].time);
    EXPECT_TRUE(loaded.markShown(kept - 1));
}

// One point a second, depth only at the point 100 seconds in.
TSummCurve trendWithOneDepth()
{
    TSummCurve curve;
    for (int i = 0; i < 200; ++i)
        curve.append(march3Noon + i * second, i == 100 ? 1520.5f : 0.0f, 1);
    return curve;
}

TEST(SummCurveDepth, TheNextDepthWithinAMinuteOfZeroDepths)
{
    const TSummCurve curve = trendWithOneDepth();
    const double depthTime = march3Noon + 100 * second;
    struct Case {
        const char* what;
        double time;
        float expected;
    };
    const Case cases[] = {
        {"61 s before: a minute of points without depth comes first", depthTime - 61 * second, 0},
        {"60 s before", depthTime - 60 * second, 1520.5f},
        {"30 s before", depthTime - 30 * second, 1520.5f},
        {"half a second before", depthTime - 0.5 * second, 1520.5f},
        {"at the point: only later points count", depthTime, 0},
        {"after the point, to the end of the list", depthTime + 30 * second, 0},
        {"after the last point", march3Noon + 1000 * second, 0},
        {"long before the trend", march3Noon - 3600 * second, 0},
        {"just before the trend, within a minute of no depth", march3Noon - 0.5 * second, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(curve.depthAt(c.time), c.expected) << c.what;
}

TEST(SummCurveDepth, NegativeDepthsNeitherAnswerNorEndTheScan)
{
    TSummCurve curve;
    curve.append(march3Noon + 10 * second, -5, 1);
    curve.append(march3Noon + 100 * second, -5, 1);
    curve.append(march3Noon + 101 * second, 42, 1);
    EXPECT_EQ(curve.depthAt(march3Noon), 42);
}

TEST(SummCurveDepth, AClockSetBackStillScansInListOrder)
{
    TSummCurve curve;
    curve.append(march3Noon + 30 * second, 700, 1);
    curve.append(march3Noon + 10 * second, 0, 1);
    curve.append(march3Noon + 20 * second, 0, 1);
    EXPECT_EQ(curve.depthAt(march3Noon + 25 * second), 700);

    test::TemporaryDirectory dir;
    ASSERT_TRUE(curve.save(dir / "gsumm.dat"));
    TSummCurve loaded;
    loaded.load(dir / "gsumm.dat");
    EXPECT_EQ(loaded.depthAt(march3Noon + 25 * second), 700);
}

struct SeriesPoint {
    double value;
    double time;
    std::string label;
    bool operator==(const SeriesPoint&) const = default;
};

class RecordingSeries : public SummCurveSeries {
public:
    void clear() override { points.clear(); }
    void add(double value, double time, std::string_view label) override
    {
        points.push_back({value, time, std::string(label)});
    }
    std::vector<SeriesPoint> points;
};

TEST(SummCurveChart, FillSeriesReplacesThePointsWithDepthLabels)
{
    const test::DecimalSeparatorScope comma(',');
    TSummCurve curve;
    curve.append(march3Noon, 1234.3f, 0.25f);
    curve.append(march3Noon + second, 1234.3f, 0.5f);
    curve.append(march3Noon + 2 * second, 0, 1);
    curve.append(march3Noon + 3 * second, 1300, 2);

    RecordingSeries series;
    series.points.push_back({9, 9, "stale"});
    curve.fillSeries(series);
    EXPECT_THAT(series.points, ElementsAre(SeriesPoint{0.25, march3Noon, "1234,3"},
                                           SeriesPoint{0.5, march3Noon + second, "1234,3"},
                                           SeriesPoint{1, march3Noon + 2 * second, ""},
                                           SeriesPoint{2, march3Noon + 3 * second, "1300"}));
    EXPECT_EQ(curve.firstTime(), march3Noon);
    EXPECT_EQ(curve.lastTime(), march3Noon + 3 * second);
}

// A chart that shows only some labels gets the others empty, and the ones it shows right even
// when the depth did not change since a label it left out.
TEST(SummCurveChart, OnlyTheLabelsASeriesShowsAreMade)
{
    const test::DecimalSeparatorScope comma(',');
    TSummCurve curve;
    curve.append(march3Noon, 1234.5f, 0.25f);
    curve.append(march3Noon + second, 1234.5f, 0.5f);
    curve.append(march3Noon + 2 * second, 1300, 1);

    class SecondLabelOnly : public RecordingSeries {
    public:
        bool showsLabel(std::size_t index) const override { return index == 1; }
    } series;
    curve.fillSeries(series);
    EXPECT_THAT(series.points, ElementsAre(SeriesPoint{0.25, march3Noon, ""},
                                           SeriesPoint{0.5, march3Noon + second, "1234,5"},
                                           SeriesPoint{1, march3Noon + 2 * second, ""}));
}

TEST(SummCurveChart, AnEmptyTrendLeavesTheSeriesAlone)
{
    RecordingSeries series;
    series.points.push_back({9, 9, "kept"});
    TSummCurve curve;
    curve.fillSeries(series);
    EXPECT_EQ(series.points.size(), 1u);
}

} // namespace
