#include "analysis/Etalonstorage.h"

#include "library/Codepage.h"
#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Entry = std::vector<GazEtalPoint>;  // one point per gas, as {concentration, area}

void setEntries(EtalonStorage& storage, const std::vector<Entry>& entries)
{
    storage.entries.clear();
    for (const Entry& points : entries)
        storage.entries.emplace_back().points = points;
}

std::vector<double> pointsOf(const GazEtalLine& entry)
{
    std::vector<double> values;
    for (const auto& point : entry.points) {
        values.push_back(point.concentration);
        values.push_back(point.area);
    }
    return values;
}

constexpr std::int32_t polynomial = 0;

struct ConcentrationCase {
    const char* what;
    std::vector<Entry> entries;
    std::int32_t interType;
    double degKoeff;
    double response;
    double expected;
};

const std::vector<Entry> oneEntry{{{2, 50}}};
const std::vector<Entry> twoEntries{{{1, 10}}, {{3, 30}}};

TEST(EtalonStorage, ConcentrationFromTheCalibrationEntries)
{
    const ConcentrationCase cases[] = {
        {"no entries", {}, 1, 1, 25, 0},
        {"one entry, half the response", oneEntry, 1, 1, 25, 1},
        {"one entry, twice the response", oneEntry, 1, 1, 100, 4},
        {"one entry is a line through the origin under either rule", oneEntry, polynomial, 1, 100, 4},
        {"degassing coefficient doubles the response", oneEntry, 1, 2, 25, 2},
        {"linear between two entries", twoEntries, 1, 1, 20, 2},
        {"linear at response 0: no segment starts below it", twoEntries, 1, 1, 0, 0},
        {"linear beyond the last entry", twoEntries, 1, 1, 40, 4},
        {"linear below the first entry, through the origin", twoEntries, 1, 1, 5, 0.5},
        {"polynomial between two entries", twoEntries, polynomial, 1, 20, 2},
        {"polynomial on an entry", twoEntries, polynomial, 1, 10, 1},
        {"polynomial through three entries", {{{1, 1}}, {{4, 2}}, {{9, 3}}}, polynomial, 1, 4, 16},
        {"polynomial under any rule number but 1", {{{1, 1}}, {{4, 2}}, {{9, 3}}}, 7, 1, 4, 16},
        {"linear through the same three entries", {{{1, 1}}, {{4, 2}}, {{9, 3}}}, 1, 1, 4, 14},
        {"linear through the entries in stored order, unsorted", {{{3, 30}}, {{1, 20}}}, 1, 1, 10, 1},
    };
    for (const auto& c : cases) {
        EtalonStorage storage;
        setEntries(storage, c.entries);
        storage.interType = c.interType;
        storage.degKoeff = c.degKoeff;
        EXPECT_NEAR(storage.concentration(0, c.response), c.expected, 1e-12) << c.what;
    }
}

TEST(EtalonStorage, EachGasReadsItsOwnColumnAndAMissingPointCountsAsZero)
{
    EtalonStorage storage;
    // The second entry was saved when the table had one gas.
    setEntries(storage, {{{1, 10}, {2, 20}}, {{3, 30}}});
    storage.interType = polynomial;
    EXPECT_DOUBLE_EQ(storage.concentration(0, 20), 2);
    EXPECT_DOUBLE_EQ(storage.concentration(1, 10), 1);  // through (20, 2) and (0, 0)
    storage.interType = 1;
    EXPECT_DOUBLE_EQ(storage.concentration(1, 10), 1);
    for (const std::size_t gas : {std::size_t{2}, std::size_t{1000}, std::numeric_limits<std::size_t>::max()}) {
        EXPECT_EQ(storage.concentration(gas, 10), 0) << gas;
        storage.interType = polynomial;
        EXPECT_EQ(storage.concentration(gas, 10), 0) << gas;
        storage.interType = 1;
    }
}

struct OddCase {
    const char* what;
    std::vector<Entry> entries;
    std::int32_t interType;
    double degKoeff;
    double response;
    bool nanWentIn;
};

TEST(EtalonStorage, InfiniteAndNotANumberValuesGiveNaNOnlyWhenNaNWentIn)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const OddCase cases[] = {
        {"infinite response, linear", twoEntries, 1, 1, inf, false},
        {"negative infinite response, linear", twoEntries, 1, 1, -inf, false},
        {"infinite response along a flat segment", {{{1, 10}}, {{1, 30}}}, 1, 1, inf, false},
        {"infinite response, polynomial", twoEntries, polynomial, 1, inf, false},
        {"infinite response times a zero coefficient", twoEntries, polynomial, 0, inf, false},
        {"infinite stored area", {{{1, inf}}, {{3, 30}}}, 1, 1, 20, false},
        {"infinite stored area, polynomial", {{{1, inf}}, {{3, 30}}}, polynomial, 1, 20, false},
        {"both areas infinite", {{{1, inf}}, {{3, inf}}}, 1, 1, inf, false},
        {"polynomial that overflows", {{{1, 1e200}}, {{2, -1e200}}, {{3, 1e-200}}}, polynomial, 1, 1e300, false},
        {"largest response with a falling segment", {{{3, -1e308}}, {{1, 1e308}}}, 1, 1, 1.7e308, false},
        {"NaN response, linear", twoEntries, 1, 1, nan, true},
        {"NaN response, polynomial", twoEntries, polynomial, 1, nan, true},
        {"NaN coefficient", twoEntries, polynomial, nan, 20, true},
        {"NaN stored concentration", {{{nan, 10}}, {{3, 30}}}, 1, 1, 20, true},
        {"NaN stored area", {{{1, nan}}, {{3, 30}}}, polynomial, 1, 20, true},
    };
    for (const auto& c : cases) {
        EtalonStorage storage;
        setEntries(storage, c.entries);
        storage.interType = c.interType;
        storage.degKoeff = c.degKoeff;
        double value = 0;
        EXPECT_NO_THROW(value = storage.concentration(0, c.response)) << c.what;
        if (!c.nanWentIn) {
            EXPECT_FALSE(std::isnan(value)) << c.what;
        }
    }
}

TEST(EtalonStorage, SavesTheListFirstThenMainWithItsBinaryForms)
{
    const test::DecimalSeparatorScope comma(',');
    EtalonStorage storage;
    setEntries(storage, {{{0.5, 10}, {3, 30.25}}, {}});
    storage.entries[0].dilution = "1:10";
    storage.entries[0].repeats = 3;
    storage.entries[1].dilution = "без разбавления";
    storage.degKoeff = 1.5;
    auto ini = lib::IniFile::inMemory();
    storage.save(ini);
    EXPECT_EQ(ini.text(), lib::toCp1251("[calibration]\r\n"
                                        "size=2\r\n"
                                        "item1=\"1:10 3 2 0,5 10 3 30,25\"\r\n"
                                        "item2=\"\"без разбавления\" 0 0\"\r\n"
                                        "\r\n"
                                        "[main]\r\n"
                                        "inter_type=01000000\r\n"
                                        "Date=00000000C0D5E140\r\n"
                                        "deg_koeff=1,5\r\n"));
}

TEST(EtalonStorage, FileRoundTripKeepsEveryField)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / EtalonStorage::defaultFileName;
    EtalonStorage saved;
    setEntries(saved, {{{0.1, 12.5}, {2, 40}}, {{0.3, 37.5}, {4, 80}}});
    saved.entries[1].dilution = "1 к 5";
    saved.entries[1].repeats = -2;
    saved.interType = 0;
    saved.date = 45321.6875;
    saved.degKoeff = 0.8;
    saved.save(path);
    EXPECT_EQ(saved.fileName, path.string());

    EtalonStorage loaded;
    loaded.load(path);
    EXPECT_EQ(loaded.fileName, path.string());
    ASSERT_EQ(loaded.entries.size(), 2u);
    EXPECT_EQ(loaded.entries[1].dilution, "1 к 5");
    EXPECT_EQ(loaded.entries[1].repeats, -2);
    EXPECT_THAT(pointsOf(loaded.entries[0]), ::testing::ElementsAre(0.1, 12.5, 2, 40));
    EXPECT_THAT(pointsOf(loaded.entries[1]), ::testing::ElementsAre(0.3, 37.5, 4, 80));
    EXPECT_EQ(loaded.interType, 0);
    EXPECT_EQ(loaded.date, 45321.6875);
    EXPECT_EQ(loaded.degKoeff, 0.8);
}

struct MainCase {
    const char* what;
    const char* section;
    std::int32_t interType;
    double date;
    double degKoeff;
};

TEST(EtalonStorage, MainKeysReadTheirBinaryFormsAndKeepDefaultsOtherwise)
{
    const test::DecimalSeparatorScope comma(',');
    const MainCase cases[] = {
        {"no section", "", 1, 36526.0, 1.0},
        {"stored values", "inter_type=00000000\r\nDate=000000000000F03F\r\ndeg_koeff=2,5\r\n", 0, 1.0, 2.5},
        {"hexadecimal byte order", "inter_type=02010000\r\n", 0x102, 36526.0, 1.0},
        {"odd extra digit tolerated", "inter_type=000000000\r\n", 0, 36526.0, 1.0},
        {"too short", "inter_type=0000\r\nDate=00000000\r\n", 1, 36526.0, 1.0},
        {"too long", "inter_type=0000000000\r\nDate=000000000000F03F00\r\n", 1, 36526.0, 1.0},
        {"point where the separator is a comma", "deg_koeff=2.5\r\n", 1, 36526.0, 1.0},
        {"coefficient no number", "deg_koeff=inf\r\n", 1, 36526.0, 1.0},
    };
    for (const auto& c : cases) {
        EtalonStorage storage;
        auto ini = lib::IniFile::inMemory(std::string("[main]\r\n") + c.section);
        storage.load(ini);
        EXPECT_EQ(storage.interType, c.interType) << c.what;
        EXPECT_EQ(storage.date, c.date) << c.what;
        EXPECT_EQ(storage.degKoeff, c.degKoeff) << c.what;
    }
}

struct EntryCase {
    const char* what;
    const char* text;
    const char* dilution;
    std::int32_t repeats;
    std::vector<double> points;
};

TEST(EtalonStorage, EntryTextSurvivesDamage)
{
    const test::DecimalSeparatorScope comma(',');
    const EntryCase cases[] = {
        {"whole entry", "1:5 2 2 1 10 2,5 20", "1:5", 2, {1, 10, 2.5, 20}},
        {"quoted dilution and point separator", "\"два слова\" 1 1 1.5 10", "два слова", 1, {1.5, 10}},
        {"fewer points than stated", "a 1 3 1 10 2 20", "a", 1, {1, 10, 2, 20}},
        {"last area missing", "a 1 3 1 10 2", "a", 1, {1, 10, 2, 0}},
        {"huge count, few tokens", "a 1 2147483647 1 10", "a", 1, {1, 10}},
        {"huge count, no tokens", "a 1 1000000000", "a", 1, {}},
        {"negative count", "a 1 -5 1 10", "a", 1, {}},
        {"count no number", "a 1 many 1 10", "a", 1, {}},
        {"more points than stated", "a 1 1 1 10 2 20", "a", 1, {1, 10}},
        {"garbage numbers", "a x 2 abc 10 2 def", "a", 0, {0, 10, 2, 0}},
        {"out of range and non-finite numbers", "a 1 2 1e400 nan inf -inf", "a", 1, {0, 0, 0, 0}},
        {"empty", "", "", 0, {}},
    };
    for (const auto& c : cases) {
        GazEtalLine entry;
        entry.points.resize(4, {9, 9});
        entry.fromText(c.text);
        EXPECT_EQ(entry.dilution, c.dilution) << c.what;
        EXPECT_EQ(entry.repeats, c.repeats) << c.what;
        EXPECT_EQ(pointsOf(entry), c.points) << c.what;
    }
}

TEST(EtalonStorage, QuotesTypedIntoTheDilutionDoNotShiftTheNumbers)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"1:5", "'1:5"},
        {"1 к \"5\"", "1 к '5'"},
        {"\"\"", "''"},
        {"a\"b", "a'b"},
    };
    for (const auto& [typed, stored] : cases) {
        EtalonStorage saved;
        setEntries(saved, {{{1, 10}, {2, 20}}});
        saved.entries[0].dilution = typed;
        saved.entries[0].repeats = 4;
        auto ini = lib::IniFile::inMemory();
        saved.save(ini);
        EtalonStorage loaded;
        loaded.load(ini);
        ASSERT_EQ(loaded.entries.size(), 1u) << typed;
        EXPECT_EQ(loaded.entries[0].dilution, stored);
        EXPECT_EQ(loaded.entries[0].repeats, 4) << typed;
        EXPECT_THAT(pointsOf(loaded.entries[0]), ::testing::ElementsAre(1, 10, 2, 20)) << typed;
    }
}

std::string calibrationWithEntries(int count)
{
    std::string file = "[calibration]\r\nsize=" + std::to_string(count) + "\r\n";
    for (int i = 1; i <= count; ++i)
        file += "item" + std::to_string(i) + "=\"e " + std::to_string(i) + " 999999999 " + std::to_string(i) + " "
              + std::to_string(i * 10) + "\"\r\n";
    return file;
}

TEST(EtalonStorage, DamagedCalibrationFileLoadsWithoutHarm)
{
    EtalonStorage storage;
    storage.gasCount = [] { return 2; };
    auto ini = lib::IniFile::inMemory(calibrationWithEntries(EtalonStorage::maximumEntries));
    storage.load(ini);
    ASSERT_EQ(storage.entries.size(), 1000u);
    EXPECT_THAT(pointsOf(storage.entries[999]), ::testing::ElementsAre(1000, 10000, 0, 0));
    EXPECT_DOUBLE_EQ(storage.concentration(0, 25), 2.5);

    // Sizes a calibration cannot have leave the entries as they were.
    auto thousands = lib::IniFile::inMemory(calibrationWithEntries(5000));
    storage.load(thousands);
    EXPECT_EQ(storage.entries.size(), 1000u);
    for (const char* size : {"-1", "-7", "1001", "100001", "2147483647", "много"}) {
        auto damaged = lib::IniFile::inMemory(std::string("[calibration]\r\nsize=") + size + "\r\n");
        storage.load(damaged);
        EXPECT_EQ(storage.entries.size(), 1000u) << size;
    }
    auto empty = lib::IniFile::inMemory("[calibration]\r\nsize=0\r\n");
    storage.load(empty);
    EXPECT_TRUE(storage.entries.empty());
    EXPECT_EQ(storage.concentration(0, 25), 0);
}

TEST(EtalonStorage, LoadingFitsShortEntriesToTheGasTable)
{
    auto ini = lib::IniFile::inMemory("[calibration]\r\nsize=2\r\nitem1=\"a 1 3 1 10 2 20 3 30\"\r\n"
                                      "item2=\"b 1 7 1 1 2 2 3 3 4 4 5 5 6 6 7 7\"\r\n");
    EtalonStorage storage;
    storage.gasCount = [] { return 6; };
    storage.load(ini);
    ASSERT_EQ(storage.entries.size(), 2u);
    EXPECT_THAT(pointsOf(storage.entries[0]), ::testing::ElementsAre(1, 10, 2, 20, 3, 30, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(storage.entries[1].points.size(), 7u);  // longer entries stay as they are
}

TEST(EtalonStorage, FitToGasTableOnDemand)
{
    EtalonStorage storage;
    setEntries(storage, {{{1, 10}}, {}});
    storage.fitToGasTable();  // not bound to a gas table yet: nothing to fit to
    EXPECT_EQ(storage.entries[0].points.size(), 1u);

    int gases = -3;
    storage.gasCount = [&] { return gases; };
    storage.fitToGasTable();
    EXPECT_EQ(storage.entries[1].points.size(), 0u);

    gases = 3;  // a gas table that grew
    storage.fitToGasTable();
    EXPECT_THAT(pointsOf(storage.entries[0]), ::testing::ElementsAre(1, 10, 0, 0, 0, 0));
    EXPECT_THAT(pointsOf(storage.entries[1]), ::testing::ElementsAre(0, 0, 0, 0, 0, 0));

    gases = 1;  // and shrank again
    storage.fitToGasTable();
    EXPECT_EQ(storage.entries[0].points.size(), 3u);
}

TEST(EtalonStorage, MissingFileOrSizeKeepsWhatIsThere)
{
    const test::TemporaryDirectory dir;
    EtalonStorage storage;
    setEntries(storage, {{{1, 10}}});
    storage.degKoeff = 3;
    storage.fileName = "kept";
    storage.load("  ");
    storage.save("");
    EXPECT_EQ(storage.fileName, "kept");

    storage.load(dir / "none.ini");
    EXPECT_EQ(storage.entries.size(), 1u);
    EXPECT_EQ(storage.degKoeff, 3);

    auto withoutSize = lib::IniFile::inMemory("[calibration]\r\nitem1=\"a 1 1 5 50\"\r\n[main]\r\ndeg_koeff=2\r\n");
    storage.load(withoutSize);
    ASSERT_EQ(storage.entries.size(), 1u);
    EXPECT_EQ(storage.entries[0].points[0].area, 10);
    EXPECT_EQ(storage.degKoeff, 2);  // the settings are loaded all the same
}

} // namespace
