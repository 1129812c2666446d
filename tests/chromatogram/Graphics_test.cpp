#include "analysis/Gazopts.h"
#include "library/Bytereader.h"
#include "library/Bytewriter.h"
#include "chromatogram/Graphics.h"
#include "device/Linkstatus.h"
#include "device/Samplebuffer.h"
#include "library/Mytime.h"
#include "testsupport/Recordingnotifier.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"
#include "chromatogram/Curvebytes.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
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

CurvePoints ramp(std::size_t count)
{
    CurvePoints points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(at(static_cast<double>(i), static_cast<std::int32_t>(i / 8)));
    return points;
}

std::string repeated(std::string_view text, std::size_t times)
{
    std::string result;
    for (std::size_t i = 0; i < times; ++i)
        result += text;
    return result;
}

std::string serialised(const MyGraphics& curve)
{
    ByteWriter out;
    curve.writeTo(out);
    return out.take();
}

class GasTableTest : public ::testing::Test {
protected:
    void useWindows(std::vector<std::pair<float, float>> windows)
    {
        static const char* names[] = {"метан", "этан", "пропан", "бутан"};
        gases.Gazes.clear();
        for (std::size_t i = 0; i < windows.size(); ++i) {
            Gaz& gas = gases.Gazes.emplace_back();
            gas.name = names[i];
            gas.label = "C" + std::to_string(i + 1);
            gas.colour = 0x0000FF + static_cast<std::uint32_t>(i);
            gas.nominalStart = gas.integrationStart = windows[i].first;
            gas.nominalEnd = gas.integrationEnd = windows[i].second;
        }
    }

    test::DecimalSeparatorScope separator{','};
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
};

// ---- Serialisation ----

// Title "Тест", two samples, one mark of "метан" with its result, all spelled out byte by byte.
const std::string curveFixture = std::string(
    "\xD2\xE5\xF1\xF2\x00"                     // title, CP1251, zero byte
    "\xDD\xEE\xFF\x00"                         // background 0x00FFEEDD
    "\x33\x22\x11\x00"                         // frame 0x00112233
    "\x02\x00\x00\x00"                         // two samples
    "\x00\x00\x00\x00\x00\x00\x00\x00"         //   reserved
    "\x00\x00\x00\x00\x00\x00\xF8\x3F"         //   1.5 mV
    "\x03\x00\x00\x00"                         //   3 s
    "\x00\x00\x00\x00"                         //   reserved
    "\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\xC0"         //   -2.0 mV
    "\x04\x00\x00\x00"
    "\x00\x00\x00\x00"
    "\x01\x00\x00\x00"                         // one mark
    "\xFF\x00\x00\x00"                         //   colour red
    "\xFF\xFF\xFF\xFF"                         //   first index -1
    "\x79\x00\x00\x00"                         //   last index 121
    "\x00\x00\x00\x00\x00\x00\xD0\x3F"         //   peak maximum 0.25
    "\x01"                                     //   has a result
    "\xEC\xE5\xF2\xE0\xED\x00"                 //   "метан"
    " 1,5% \x00",                              //   result text
    5 + 4 + 4 + 4 + 2 * 24 + 4 + 4 + 4 + 4 + 8 + 1 + 6 + 7);

MyGraphics fixtureCurve()
{
    MyGraphics curve;
    curve.setTitle("Тест");
    curve.setBackgroundColour(0x00FFEEDD);
    curve.setFrameColour(0x00112233);
    curve.setSamples({at(1.5, 3), at(-2.0, 4)});
    curve.setMarks({GazArea{0xFF, -1, 121, "метан", " 1,5% ", 0.25, true}});
    return curve;
}

TEST(CurveSerialisation, WritesTheFixtureByteForByte)
{
    EXPECT_EQ(serialised(fixtureCurve()), curveFixture);
}

TEST(CurveSerialisation, ReadsTheFixtureIntoEveryField)
{
    MyGraphics curve;
    ByteReader in(curveFixture);
    ASSERT_TRUE(curve.readFrom(in));
    const MyGraphics expected = fixtureCurve();
    EXPECT_EQ(curve.title(), expected.title());
    EXPECT_EQ(curve.backgroundColour(), expected.backgroundColour());
    EXPECT_EQ(curve.frameColour(), expected.frameColour());
    EXPECT_EQ(curve.samples(), expected.samples());
    EXPECT_EQ(curve.marks(), expected.marks());
    EXPECT_EQ(curve.pointCount(), 2);
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(CurveSerialisation, ReservedBytesAreWrittenAsZerosWhateverTheyHeld)
{
    MyGraphics curve;
    CurvePoint point = at(1.5, 3);
    point.reserved = 0xFFFFFFFFFFFFFFFF;
    point.reservedTail = -1;
    curve.setSamples({point});
    EXPECT_EQ(serialised(curve), header("", 0xFFFFFF, 0) + le32(1) + curvebytes::point(1.5, 3) + le32(0));
}

TEST(CurveSerialisation, TextsLongerThanAReaderTakesAreCutSoTheStreamStaysReadable)
{
    MyGraphics curve;
    curve.setTitle(std::string(300, 'x'));
    curve.setMarks({GazArea{0, 0, 0, std::string("ab\0cd", 5), repeated("я", 256), 0, false}});
    const std::string bytes = serialised(curve);

    MyGraphics back;
    ByteReader in(bytes);
    ASSERT_TRUE(back.readFrom(in));
    EXPECT_EQ(back.title(), std::string(255, 'x'));
    ASSERT_EQ(back.marks().size(), 1u);
    EXPECT_EQ(back.marks()[0].gasName, "ab");
    EXPECT_EQ(back.marks()[0].resultText.size(), 255u * 2);  // 255 Cyrillic letters in UTF-8
}

TEST(CurveSerialisation, ATextOf255CharactersIsReadAnd256AreNot)
{
    const std::string longestBytes = header(std::string(255, 'a'), 1, 2) + le32(0) + le32(0);
    const std::string tooLongBytes = header(std::string(256, 'a'), 1, 2) + le32(0) + le32(0);
    MyGraphics curve;
    ByteReader longest(longestBytes);
    EXPECT_TRUE(curve.readFrom(longest));
    EXPECT_EQ(curve.title().size(), 255u);

    MyGraphics other;
    ByteReader tooLong(tooLongBytes);
    EXPECT_FALSE(other.readFrom(tooLong));
    EXPECT_EQ(other.title(), "");
    EXPECT_EQ(other.backgroundColour(), 0xFFFFFFu);
}

TEST(CurveSerialisation, ACurveOf2001SamplesKeepsItsTitleAndColoursAndNoSamples)
{
    MyGraphics live;
    live.setTitle("живая");
    live.setBackgroundColour(0x123456);
    live.setFrameColour(0xFFFFFF);
    live.setSamples(ramp(2001));
    const std::string bytes = serialised(live);

    MyGraphics back;
    ByteReader in(bytes);
    EXPECT_FALSE(back.readFrom(in));
    EXPECT_EQ(back.title(), "живая");
    EXPECT_EQ(back.backgroundColour(), 0x123456u);
    EXPECT_EQ(back.frameColour(), 0xFFFFFFu);
    EXPECT_EQ(back.sampleCount(), 0u);
    EXPECT_EQ(back.pointCount(), 0);
    EXPECT_TRUE(in.stopped());

    live.setSamples(ramp(2000));
    const std::string fullBytes = serialised(live);
    ByteReader full(fullBytes);
    EXPECT_TRUE(back.readFrom(full));
    EXPECT_EQ(back.sampleCount(), 2000u);
}

// A damaged stream stops the reading at the damaged field; the fields not read keep the
// values they had.
struct DamagedStream {
    const char* name;
    std::string bytes;
    bool titleRead;
    bool coloursRead;
    bool samplesRead;
};

class DamagedCurveStream : public ::testing::TestWithParam<DamagedStream> {};

TEST_P(DamagedCurveStream, KeepsTheFieldsItCouldNotRead)
{
    const DamagedStream& c = GetParam();
    MyGraphics curve;
    curve.setTitle("прежний");
    curve.setBackgroundColour(7);
    curve.setFrameColour(8);
    curve.setSamples({at(9, 9)});
    curve.setPointCount(77);
    const std::vector<GazArea> oldMarks{GazArea{1, 2, 3, "x", "y", 4, true}};
    curve.setMarks(oldMarks);

    ByteReader in(c.bytes);
    EXPECT_FALSE(curve.readFrom(in));
    EXPECT_EQ(curve.title(), c.titleRead ? "новый" : "прежний");
    EXPECT_EQ(curve.backgroundColour(), c.coloursRead ? 0x10u : 7u);
    EXPECT_EQ(curve.frameColour(), c.coloursRead ? 0x20u : 8u);
    EXPECT_EQ(curve.samples(), c.samplesRead ? CurvePoints{at(1, 1)} : CurvePoints{at(9, 9)});
    EXPECT_EQ(curve.pointCount(), c.samplesRead ? 1 : 77);
    EXPECT_EQ(curve.marks(), oldMarks);
}

const std::string newTitle = "\xED\xEE\xE2\xFB\xE9";  // "новый"
const std::string goodHeader = header(newTitle, 0x10, 0x20);
const std::string goodSamples = le32(1) + point(1, 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedCurveStream,
    ::testing::Values(
        DamagedStream{"ZeroLength", "", false, false, false},
        DamagedStream{"TitleWithoutZeroByte", newTitle, false, false, false},
        DamagedStream{"TitleLongerThan255", std::string(400, 'a'), false, false, false},
        DamagedStream{"EndsInTheBackgroundColour", text(newTitle) + "\x10\x00", true, false, false},
        DamagedStream{"EndsBeforeTheSampleCount", goodHeader, true, true, false},
        DamagedStream{"NegativeSampleCount", goodHeader + le32(0xFFFFFFFF) + le32(0), true, true, false},
        DamagedStream{"SampleCountAbove2000", goodHeader + le32(2001) + std::string(2001 * 24, '\0'), true, true, false},
        DamagedStream{"HugeSampleCount", goodHeader + le32(0x7FFFFFFF), true, true, false},
        DamagedStream{"FewerSamplesThanCounted", goodHeader + le32(3) + point(1, 1) + point(2, 2), true, true, false},
        DamagedStream{"EndsBeforeTheMarkCount", goodHeader + goodSamples, true, true, true},
        DamagedStream{"MarkCountAbove2000", goodHeader + goodSamples + le32(2001), true, true, true},
        DamagedStream{"NegativeMarkCount", goodHeader + goodSamples + le32(0x80000000), true, true, true},
        DamagedStream{"FewerMarksThanCounted",
                      goodHeader + goodSamples + le32(2) + mark(1, 2, 3, 4, 1, "a", "b"), true, true, true},
        DamagedStream{"MarkNameWithoutZeroByte",
                      goodHeader + goodSamples + le32(1) + mark(1, 2, 3, 4, 1, "a", "b").substr(0, 22), true,
                      true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Samples, range ----

class CurveFromBuffer : public ::testing::Test {
protected:
    SampleBuffer buffer;
    MyGraphics curve;
};

TEST_F(CurveFromBuffer, TakesOnlyTheNewSamplesWithTheZeroShiftRemoved)
{
    buffer.setZeroShift(0.5);
    buffer.append(at(1.0, 0));
    buffer.append(at(2.0, 0));
    curve.appendSamples(buffer);
    EXPECT_EQ(curve.samples(), (CurvePoints{at(0.5, 0), at(1.5, 0)}));

    buffer.append(at(3.0, 1));
    buffer.setZeroShift(1.0);
    curve.appendSamples(buffer);
    // Samples already taken keep the shift they were taken with.
    EXPECT_EQ(curve.samples(), (CurvePoints{at(0.5, 0), at(1.5, 0), at(2.0, 1)}));
    EXPECT_EQ(curve.sample(2).second, 1);

    curve.appendSamples(buffer);
    EXPECT_EQ(curve.sampleCount(), 3u);
}

TEST_F(CurveFromBuffer, StartsAgainAfterClearing)
{
    buffer.append(at(1.0, 0));
    curve.appendSamples(buffer);
    curve.clearSamples();
    buffer.clear();
    buffer.append(at(4.0, 0));
    curve.appendSamples(buffer);
    EXPECT_EQ(curve.samples(), CurvePoints{at(4.0, 0)});
    EXPECT_THROW(curve.sample(1), std::out_of_range);
}

TEST(CurveRange, ManualMaximumWinsOverTheAutomaticOne)
{
    MyGraphics curve;
    curve.setAutoMaximum(0.4);
    EXPECT_EQ(curve.range(), (MyGraphics::SignalRange{0, 0.4}));
    curve.setManualRange(0, 0.04);
    EXPECT_EQ(curve.range(), (MyGraphics::SignalRange{0, 0.04}));
    curve.setManualRange(0.01, 0);
    EXPECT_EQ(curve.range(), (MyGraphics::SignalRange{0.01, 0.4}));
}

// ---- Range handles ----

using Handle = MyGraphics::RangeHandle;

struct HandleDrag {
    const char* what;
    MyGraphics::SignalRange before;  // a manual range
    Handle handle;
    int dy;
    int panelHeight;
    bool accepted;
    MyGraphics::SignalRange after;
};

class RangeHandleDrags : public ::testing::TestWithParam<HandleDrag> {};

TEST_P(RangeHandleDrags, MoveTheRangeSoTheCurveFollowsTheMouse)
{
    const HandleDrag& c = GetParam();
    MyGraphics curve;
    curve.setManualRange(c.before.minimum, c.before.maximum);
    EXPECT_EQ(curve.dragRange(c.handle, c.dy, c.panelHeight), c.accepted);
    EXPECT_NEAR(curve.range().minimum, c.after.minimum, 1e-12);
    EXPECT_NEAR(curve.range().maximum, c.after.maximum, 1e-12);
    EXPECT_FALSE(curve.automatic());
}

// A panel of 200 pixels over 0 … 0.4 mV: one pixel is 0.002 mV.
INSTANTIATE_TEST_SUITE_P(Cases, RangeHandleDrags, ::testing::Values(
    HandleDrag{"upper down", {0, 0.4}, Handle::upper, 20, 200, true, {0, 0.44}},
    HandleDrag{"upper up", {0, 0.4}, Handle::upper, -50, 200, true, {0, 0.3}},
    HandleDrag{"middle down", {0, 0.4}, Handle::middle, 20, 200, true, {0.04, 0.44}},
    HandleDrag{"middle up", {0, 0.4}, Handle::middle, -20, 200, true, {-0.04, 0.36}},
    HandleDrag{"lower down", {0, 0.4}, Handle::lower, 20, 200, true, {0.04, 0.4}},
    HandleDrag{"lower up", {0, 0.4}, Handle::lower, -20, 200, true, {-0.04, 0.4}},
    HandleDrag{"upper up to 0 stops at the smallest maximum", {0, 0.4}, Handle::upper, -200, 200, true, {0, 0.0001}},
    HandleDrag{"middle far up keeps the height at the smallest maximum", {0, 0.4}, Handle::middle, -300, 200, true,
               {-0.3999, 0.0001}},
    HandleDrag{"upper below a raised minimum", {0.1, 0.5}, Handle::upper, -200, 200, false, {0.1, 0.5}},
    HandleDrag{"lower up to the maximum", {0, 0.4}, Handle::lower, 200, 200, false, {0, 0.4}},
    HandleDrag{"lower past the maximum", {0, 0.4}, Handle::lower, 300, 200, false, {0, 0.4}},
    HandleDrag{"no panel", {0, 0.4}, Handle::middle, 20, 0, false, {0, 0.4}},
    HandleDrag{"no movement", {0, 0.4}, Handle::upper, 0, 200, true, {0, 0.4}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
        return name;
    });

TEST(RangeHandles, OnAnAutomaticCurveOnlyTheLowerHandleKeepsTheMaximumAutomatic)
{
    MyGraphics curve;
    curve.setAutoMaximum(0.4);
    ASSERT_TRUE(curve.dragRange(Handle::lower, 20, 200));
    EXPECT_TRUE(curve.automatic());
    EXPECT_EQ(curve.range(), (MyGraphics::SignalRange{0.04, 0.4}));

    for (const Handle handle : {Handle::upper, Handle::middle}) {
        MyGraphics moved;
        moved.setAutoMaximum(0.4);
        ASSERT_TRUE(moved.dragRange(handle, -20, 200));
        EXPECT_FALSE(moved.automatic());
        EXPECT_NEAR(moved.range().maximum, 0.36, 1e-12);
    }
}

// ---- Marks ----

struct MarkWindow {
    float start;
    float end;
    std::int32_t rate;
    std::int32_t first;
    std::int32_t last;
};

class MarkIndices : public GasTableTest, public ::testing::WithParamInterface<MarkWindow> {};

TEST_P(MarkIndices, AreTheTruncatedWindowEdges)
{
    const MarkWindow& c = GetParam();
    useWindows({{c.start, c.end}});
    MyGraphics curve;
    curve.buildMarks(gases, nullptr, c.rate);
    ASSERT_EQ(curve.marks().size(), 1u);
    EXPECT_EQ(curve.marks()[0].firstIndex, c.first);
    EXPECT_EQ(curve.marks()[0].lastIndex, c.last);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkIndices,
                         ::testing::Values(MarkWindow{10, 15, 8, 79, 121},
                                           MarkWindow{0, 5, 8, -1, 41},       // window at 0 s
                                           MarkWindow{0.05f, 2.5f, 8, 0, 21},  // -0.6 truncates to 0
                                           MarkWindow{2.9f, 3.3f, 1, 1, 4},
                                           MarkWindow{10, 15, 4, 39, 61},
                                           MarkWindow{1e30f, 2e30f, 8, 2147483647, 2147483647}));

TEST_F(GasTableTest, MarksTakeTheResultsOfTheGasesThatHaveOne)
{
    useWindows({{10, 15}, {17, 20}, {34, 40}});
    const CalculatedGazes results{CalculatedGaz::absolute(gases.gas(0), 1.5, 30, 0.7)};
    MyGraphics curve;
    curve.buildMarks(gases, &results, 8);

    ASSERT_EQ(curve.marks().size(), 3u);
    EXPECT_EQ(curve.marks()[0], (GazArea{0x0000FF, 79, 121, "метан", " 1,5% ", 0.7, true}));
    EXPECT_EQ(curve.marks()[1], (GazArea{0x000100, 135, 161, "этан", "", 0, false}));
    EXPECT_FALSE(curve.marks()[2].hasResult);
    EXPECT_EQ(curve.results(), &results);
}

TEST_F(GasTableTest, TheTotalIsNeverTakenForTheResultOfAGas)
{
    // A gas added to the table after the list was completed finds the total at its index.
    useWindows({{10, 15}});
    const CalculatedGazes results{CalculatedGaz::absolute(gases.gas(0), 1.5, 30, 0.7), CalculatedGaz::total(1.5)};
    useWindows({{10, 15}, {17, 20}});
    MyGraphics curve;
    curve.buildMarks(gases, &results, 8);
    EXPECT_TRUE(curve.marks()[0].hasResult);
    EXPECT_FALSE(curve.marks()[1].hasResult);
    EXPECT_EQ(curve.marks()[1].resultText, "");
}

// ---- Archive copy ----

TEST_F(GasTableTest, ArchiveCopyAveragesBlocksAndDropsTheBlockThatReachesTheEnd)
{
    useWindows({{1, 2}});
    MyGraphics live;
    live.setTitle("ошибка");
    live.setSamples({at(1, 0), at(3, 0), at(5, 0), at(7, 1), at(2, 1), at(4, 1), at(6, 2), at(8, 2), at(0, 3),
                     at(0, 3)});
    const CalculatedGazes results{CalculatedGaz::absolute(gases.gas(0), 2, 3, 4)};
    live.buildMarks(gases, &results, 8);

    const auto copy = live.makeArchiveCopy(8, gases, &results);  // step 4
    EXPECT_EQ(copy->samples(), (CurvePoints{at(4, 1), at(5, 2)}));
    EXPECT_EQ(copy->pointCount(), 2);
    EXPECT_TRUE(copy->archived());
    EXPECT_EQ(copy->title(), "");
    ASSERT_EQ(copy->marks().size(), 1u);
    EXPECT_EQ(copy->marks()[0].firstIndex, 1);  // 1 s at 2 points per second, less one
    EXPECT_EQ(copy->marks()[0].lastIndex, 5);
    EXPECT_TRUE(copy->marks()[0].hasResult);
    EXPECT_EQ(copy->results(), nullptr);
}

struct ArchiveStep {
    std::int32_t rate;
    std::int32_t step;
    std::size_t pointsFrom10;
};

class ArchiveSteps : public GasTableTest, public ::testing::WithParamInterface<ArchiveStep> {};

TEST_P(ArchiveSteps, FollowTheSamplesPerSecond)
{
    const ArchiveStep& c = GetParam();
    EXPECT_EQ(MyGraphics::archiveStep(c.rate), c.step);
    MyGraphics live;
    live.setSamples(ramp(10));
    EXPECT_EQ(live.makeArchiveCopy(c.rate, gases, nullptr)->sampleCount(), c.pointsFrom10);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArchiveSteps,
                         ::testing::Values(ArchiveStep{1, 1, 9},  // no averaging
                                           ArchiveStep{2, 1, 9}, ArchiveStep{3, 1, 9}, ArchiveStep{8, 4, 2},
                                           ArchiveStep{9, 4, 2}, ArchiveStep{0, 1, 9}, ArchiveStep{-5, 1, 9},
                                           ArchiveStep{40, 20, 0}));

TEST_F(GasTableTest, ArchiveCopyOfAnEmptyCurveIsEmpty)
{
    MyGraphics live;
    const auto copy = live.makeArchiveCopy(8, gases, nullptr);
    EXPECT_EQ(copy->sampleCount(), 0u);
    EXPECT_EQ(copy->pointCount(), 0);
}

// ---- The ".rzg" file ----

class AnalysisFileTest : public GasTableTest {
protected:
    AnalysisFileTest()
    {
        fs::create_directory(dir / "Analiz");
        useWindows({{0, 1}, {2, 3}});
        results = {CalculatedGaz::absolute(gases.gas(0), 1.5, 2.0, 0.25)};
        curve.setSamples({at(1.5, 3)});
        curve.buildMarks(gases, &results, 1);
        curve.setAnalysisFileSource({&gases, &results, [this] { return scienceValues; }, dir.path(),
                                     [this] { return now; }});
    }

    fs::path expectedPath() const { return dir / "Analiz" / "2007-10-03" / "16-20.rzg"; }

    test::TemporaryDirectory dir;
    CalculatedGazes results;
    bool scienceValues = true;
    lib::LocalSeconds now = lib::toLocalSeconds(2007, 10, 3, 16, 20, 59);
    MyGraphics curve;
};

TEST_F(AnalysisFileTest, WritesTheFixtureByteForByte)
{
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    const std::string expected = std::string("NivraGazCurve\x01", 14)
        + header("", 0xFFFFFF, 0) + le32(1) + point(1.5, 3) + le32(2)
        + mark(0x0000FF, -1, 2, 0.25, 1, "\xEC\xE5\xF2\xE0\xED", " 1,5% ")
        + mark(0x000100, 1, 4, 0, 0, "\xFD\xF2\xE0\xED", "")
        + std::string("CALC\0", 5) + le32(2)
        + leDouble(1.5) + leDouble(2.0) + leDouble(0.25)
        + leDouble(0) + leDouble(0) + leDouble(0);  // the gas without a result
    EXPECT_EQ(test::readFile(expectedPath()), expected);
}

TEST_F(AnalysisFileTest, TheEndMarkerCountsAsANormalEnd)
{
    EXPECT_TRUE(curve.saveAnalysisFile(endedNormally(statusEndOfCycle)));
    EXPECT_TRUE(fs::exists(expectedPath()));
}

TEST_F(AnalysisFileTest, TheSecondAnalysisOfTheSameMinuteReplacesTheFirst)
{
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    curve.setTitle("второй");
    now = lib::toLocalSeconds(2007, 10, 3, 16, 20, 1);
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    const std::string contents = test::readFile(expectedPath());
    EXPECT_EQ(contents.substr(14, 7), "\xE2\xF2\xEE\xF0\xEE\xE9" + std::string(1, '\0'));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Analiz" / "2007-10-03"), fs::directory_iterator()), 1);
}

TEST_F(AnalysisFileTest, AnotherMinuteAndAnotherDayGetTheirOwnNames)
{
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    now = lib::toLocalSeconds(2007, 10, 3, 16, 21, 0);
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    now = lib::toLocalSeconds(2008, 1, 2, 3, 4, 5);
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    EXPECT_TRUE(fs::exists(dir / "Analiz" / "2007-10-03" / "16-21.rzg"));
    EXPECT_TRUE(fs::exists(dir / "Analiz" / "2008-01-02" / "03-04.rzg"));
}

struct NoFileCase {
    const char* name;
    std::int32_t status;
    bool scienceValues;
    bool withResults;
};

class AnalysisFileNotWritten : public AnalysisFileTest, public ::testing::WithParamInterface<NoFileCase> {};

TEST_P(AnalysisFileNotWritten, CreatesNeitherFolderNorFile)
{
    const NoFileCase& c = GetParam();
    scienceValues = c.scienceValues;
    if (!c.withResults)
        results.clear();
    EXPECT_FALSE(curve.saveAnalysisFile(endedNormally(c.status)));
    EXPECT_TRUE(fs::is_empty(dir / "Analiz"));
}

INSTANTIATE_TEST_SUITE_P(Cases, AnalysisFileNotWritten,
                         ::testing::Values(NoFileCase{"ScienceValuesOff", statusOk, false, true},
                                           NoFileCase{"NoResults", statusOk, true, false},
                                           NoFileCase{"ConnectionLost", statusNoAnswer, true, true},
                                           NoFileCase{"ShortFrame", statusShortFrame, true, true},
                                           NoFileCase{"PortFailed", statusPortFailed, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnalysisFileTest, WithoutTheAnalizFolderNothingIsCreated)
{
    fs::remove(dir / "Analiz");
    EXPECT_FALSE(curve.saveAnalysisFile(true));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(AnalysisFileTest, ACurveWithoutSourceWritesNothing)
{
    MyGraphics unbound;
    unbound.setSamples({at(1, 1)});
    EXPECT_FALSE(unbound.saveAnalysisFile(true));
}

TEST_F(AnalysisFileTest, ALongLiveCurveIsWrittenWhole)
{
    curve.setSamples(ramp(3000));
    ASSERT_TRUE(curve.saveAnalysisFile(true));
    EXPECT_GT(test::readFile(expectedPath()).size(), 3000u * 24);
}

} // namespace
