#include "analysis/Calibrationprogramme.h"

#include "analysis/Gazopts.h"
#include "library/Lockobject.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

GazEtalLine entry(std::string dilution, std::vector<GazEtalPoint> points)
{
    GazEtalLine line;
    line.dilution = std::move(dilution);
    line.repeats = 3;
    line.points = std::move(points);
    return line;
}

std::vector<double> firstConcentrations(const CalibrationProgramme& programme)
{
    std::vector<double> result;
    for (const GazEtalLine& line : programme.entries)
        result.push_back(line.points.empty() ? -1 : line.points[0].concentration);
    return result;
}

// The results grid as a window would hold it: header row 0, entry k in row k + 1.
class ResultsGrid {
public:
    ResultsGrid(const CalibrationProgramme& programme, std::size_t gasCount, double degassing)
    {
        for (std::size_t k = 0; k < programme.entries.size(); ++k) {
            const auto row = programme.resultsRow(k, gasCount, degassing);
            for (std::size_t c = 0; c < row.size(); ++c)
                cells_[{static_cast<int>(c), static_cast<int>(k) + 1}] = row[c];
        }
    }
    void set(int column, int row, std::string text) { cells_[{column, row}] = std::move(text); }
    std::function<std::string(int, int)> reader() const
    {
        return [this](int column, int row) { return cells_.at({column, row}); };
    }

private:
    std::map<std::pair<int, int>, std::string> cells_;
};

class CalibrationProgrammeTest : public ::testing::Test {
protected:
    test::DecimalSeparatorScope separator{'.'};
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};  // the default six gases
};

TEST_F(CalibrationProgrammeTest, NewEntryHasThreeRepeatsAndAZeroPointPerGas)
{
    const GazEtalLine line = CalibrationProgramme::newEntry(6);
    EXPECT_EQ(line.dilution, "");
    EXPECT_EQ(line.repeats, 3);
    ASSERT_EQ(line.points.size(), 6u);
    for (const GazEtalPoint& point : line.points) {
        EXPECT_EQ(point.concentration, 0);
        EXPECT_EQ(point.area, 0);
    }
}

TEST_F(CalibrationProgrammeTest, AddingSortsByTheFirstGasAndAnEntryWithoutPointsAsZero)
{
    CalibrationProgramme programme;
    programme.add(entry("", {{3, 30}}));
    programme.add(entry("", {{1, 10}}));
    programme.add(entry("", {}));
    programme.add(entry("", {{-1, 5}}));
    programme.add(entry("", {{2, 20}}));
    EXPECT_EQ(firstConcentrations(programme), (std::vector<double>{-1, -1, 1, 2, 3}));
    EXPECT_TRUE(programme.entries[1].points.empty());
}

TEST_F(CalibrationProgrammeTest, EditingTheFirstConcentrationMovesTheEntryAndKeepsItsAreas)
{
    CalibrationProgramme programme;
    programme.add(entry("", {{1, 10}, {0.5, 7}}));
    programme.add(entry("", {{2, 20}, {0.5, 8}}));
    programme.add(entry("", {{3, 30}, {0.5, 9}}));

    GazEtalLine edited = entry("2 / 10", {{5, 999}, {0.25, 999}, {0.75, 999}});
    edited.repeats = 5;
    programme.replaceEdited(0, edited);

    EXPECT_EQ(firstConcentrations(programme), (std::vector<double>{2, 3, 5}));
    const GazEtalLine& moved = programme.entries[2];
    EXPECT_EQ(moved.dilution, "2 / 10");
    EXPECT_EQ(moved.repeats, 5);
    ASSERT_EQ(moved.points.size(), 3u);  // the editor's extra gas comes without an area
    EXPECT_EQ(moved.points[0].area, 10);
    EXPECT_EQ(moved.points[1].concentration, 0.25);
    EXPECT_EQ(moved.points[1].area, 7);
    EXPECT_EQ(moved.points[2].concentration, 0.75);
    EXPECT_EQ(moved.points[2].area, 0);
}

TEST_F(CalibrationProgrammeTest, OutOfRangeIndexesChangeNothing)
{
    CalibrationProgramme programme;
    programme.add(entry("", {{1, 10}}));
    programme.replaceEdited(1, entry("x", {{9, 9}}));
    programme.setAreas(1, {5});
    programme.remove(1);
    ASSERT_EQ(programme.entries.size(), 1u);
    EXPECT_EQ(programme.entries[0].dilution, "");
    EXPECT_EQ(programme.entries[0].points[0].area, 10);
    EXPECT_TRUE(programme.programmeRow(1, 1).empty());
    EXPECT_TRUE(programme.resultsRow(1, 1, 1).empty());
}

TEST_F(CalibrationProgrammeTest, DeletingTheOnlyEntryLeavesAnEmptyProgramme)
{
    CalibrationProgramme programme;
    programme.add(entry("", {{1, 10}}));
    programme.remove(0);
    EXPECT_TRUE(programme.entries.empty());
    EXPECT_TRUE(programme.resultsRow(0, 6, 1).empty());
}

TEST_F(CalibrationProgrammeTest, SetAreasTakesAsManyAsBothHaveAndLeavesConcentrations)
{
    CalibrationProgramme programme;
    programme.add(entry("", {{1, 10}, {2, 20}, {3, 30}}));
    programme.setAreas(0, {11, 21});
    const auto& points = programme.entries[0].points;
    EXPECT_EQ(points[0].area, 11);
    EXPECT_EQ(points[1].area, 21);
    EXPECT_EQ(points[2].area, 30);
    EXPECT_EQ(points[1].concentration, 2);
    programme.setAreas(0, {1, 2, 3, 4});
    EXPECT_EQ(points.size(), 3u);
}

TEST_F(CalibrationProgrammeTest, Coefficient)
{
    struct Case {
        GazEtalPoint point;
        double degassing;
        double expected;
    };
    const Case cases[] = {
        {{2, 10}, 1, 5},
        {{2, 10}, 2, 2.5},
        {{0, 10}, 1, 0},  // no concentration, no coefficient
        {{2, 10}, 0, 0},  // a store loaded with a zero coefficient shows no infinity
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(CalibrationProgramme::coefficient(c.point, c.degassing), c.expected)
            << c.point.concentration << " " << c.point.area << " " << c.degassing;
}

TEST_F(CalibrationProgrammeTest, GridHeadersAndRows)
{
    EXPECT_EQ(CalibrationProgramme::programmeHeaders(gases),
              (std::vector<std::string>{" № ", " Разбавление ", " Кол-во повт. ", " метан ", " этан ", " пропан ",
                                        " бутан ", " пентан ", " гексан "}));
    const auto areaHeaders = CalibrationProgramme::resultsHeaders(gases, false);
    ASSERT_EQ(areaHeaders.size(), 13u);
    EXPECT_EQ(areaHeaders[0], " № ");
    EXPECT_EQ(areaHeaders[1], "конц. C1");
    EXPECT_EQ(areaHeaders[2], "коэфф. C1");
    EXPECT_EQ(areaHeaders[12], "коэфф. C6");
    const auto peakHeaders = CalibrationProgramme::resultsHeaders(gases, true);
    EXPECT_EQ(peakHeaders[1], "конц. C1");
    EXPECT_EQ(peakHeaders[2], "напр. C1");
    EXPECT_EQ(peakHeaders[12], "напр. C6");

    CalibrationProgramme programme;
    GazEtalLine line = entry("1 / 10", {{0.5, 10}, {2, 3}});
    line.repeats = 4;
    programme.add(line);
    EXPECT_EQ(programme.programmeRow(0, 3), (std::vector<std::string>{"1", "1 / 10", "4", "0.500000", "2.000000", ""}));
    EXPECT_EQ(programme.resultsRow(0, 2, 2),
              (std::vector<std::string>{" 1", "0.500000", "10.000000", "2.000000", "0.750000"}));

    EXPECT_EQ(CalibrationProgramme::resultsColumnGas(1), 0u);
    EXPECT_EQ(CalibrationProgramme::resultsColumnGas(2), 0u);
    EXPECT_EQ(CalibrationProgramme::resultsColumnGas(3), 1u);
    EXPECT_EQ(CalibrationProgramme::resultsColumnGas(12), 5u);
    EXPECT_EQ(CalibrationProgramme::resultsColumnGas(0), 0u);
}

TEST_F(CalibrationProgrammeTest, CommittingAnUntouchedGridKeepsEveryValueExactly)
{
    test::DecimalSeparatorScope comma(',');
    CalibrationProgramme programme;
    programme.add(entry("", {{1.0 / 3, 1.0 / 7}, {0, 12.5}}));  // rounded in the grid
    programme.add(entry("", {{3, 1e-9}, {2, 123456.789}}));
    const CalibrationProgramme before = programme;
    const ResultsGrid grid(programme, 2, 1.5);

    programme.commitResults(grid.reader(), 2, 1.5);

    for (std::size_t k = 0; k < 2; ++k) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(programme.entries[k].points[i].concentration, before.entries[k].points[i].concentration);
            EXPECT_EQ(programme.entries[k].points[i].area, before.entries[k].points[i].area) << k << " " << i;
        }
        EXPECT_EQ(programme.resultsRow(k, 2, 1.5), before.resultsRow(k, 2, 1.5));
    }
}

TEST_F(CalibrationProgrammeTest, CommittingEditedCellsMakesTheAreaFollow)
{
    test::DecimalSeparatorScope comma(',');
    CalibrationProgramme programme;
    programme.add(entry("", {{2, 10}, {4, 8}, {1, 6}}));
    ResultsGrid grid(programme, 3, 2);
    grid.set(1, 1, "3");       // a new concentration, the shown coefficient 2.5
    grid.set(4, 1, "0,5");     // a new coefficient, typed with the regional comma
    grid.set(5, 1, "nonsense");  // unreadable: 0

    programme.commitResults(grid.reader(), 3, 2);

    const auto& points = programme.entries[0].points;
    EXPECT_DOUBLE_EQ(points[0].concentration, 3);
    EXPECT_DOUBLE_EQ(points[0].area, 3 * 2.5 * 2);
    EXPECT_DOUBLE_EQ(points[1].concentration, 4);
    EXPECT_DOUBLE_EQ(points[1].area, 4 * 0.5 * 2);
    EXPECT_DOUBLE_EQ(points[2].concentration, 0);
    EXPECT_DOUBLE_EQ(points[2].area, 0);
    EXPECT_EQ(programme.resultsRow(0, 3, 2),
              (std::vector<std::string>{" 1", "3,000000", "2,500000", "4,000000", "0,500000", "0,000000", "0,000000"}));
}

TEST_F(CalibrationProgrammeTest, DegassingText)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1.5", 1.5}, {"1,25", 1.25}, {" 2 ", 2.0}, {"-3", -3.0},
        {"", std::nullopt}, {"abc", std::nullopt}, {"1.5x", std::nullopt},
        {"0", std::nullopt}, {"0,000", std::nullopt}, {"-99999", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CalibrationProgramme::degassingFromText(text), expected) << '"' << text << '"';
}

TEST_F(CalibrationProgrammeTest, RunCaption)
{
    EXPECT_EQ(CalibrationProgramme::runCaption(entry("2 / 10", {})), "Запуск с конц-ей '2 / 10'");
    EXPECT_EQ(CalibrationProgramme::runCaption(entry("", {})), "Запуск с конц-ей ''");
}

} // namespace
