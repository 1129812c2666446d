#include "results/Textfile.h"

#include "support/Limitedchild.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

CalculatedGaz record(std::string label, double concentration, double area = 0)
{
    CalculatedGaz result;
    result.label = std::move(label);
    result.concentration = concentration;
    result.area = area;
    return result;
}

// Two gases, their total and their shares, as the calculation announces them.
CalculatedGazes twoGases()
{
    return {record("C1", 0.0123, 15.25), record("C2", 0.0045, 3.5), record("GS", 0.0168),
            record("C1r", 73.2143), record("C2r", 26.7857)};
}

const std::string header = "    Time  Depth       C1       C2       GS      C1r      C2r \n";
const std::string line = " 9:05:07 1234.5   0.0123   0.0045   0.0168  73.2143  26.7857 \n";

class TextFileTest : public ::testing::Test {
protected:
    TextFileTest() { exportFile.setFolder(dir / "TextData"); }

    std::string day(const char* name) { return test::readFile(dir / "TextData" / name); }

    test::TemporaryDirectory dir;
    lib::LocalSeconds now = lib::toLocalSeconds(2007, 3, 3, 9, 5, 7);
    TextFile exportFile{[this] { return now; }};
};

TEST_F(TextFileTest, FirstLineOfTheRunCreatesTheFolderAndWritesTheHeader)
{
    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_EQ(day("03.03.2007.txt"), header + line);
    EXPECT_FALSE(exportFile.headerNeeded());
}

TEST_F(TextFileTest, OneFilePerDayAndAHeaderOnlyWhenNeeded)
{
    exportFile.writeResults(twoGases(), 1234.5f);
    exportFile.writeResults(twoGases(), 1234.5f);
    now = lib::toLocalSeconds(2007, 3, 4, 0, 0, 1);
    exportFile.writeResults(twoGases(), 1234.5f);
    exportFile.markHeaderNeeded();
    exportFile.writeResults(twoGases(), 1234.5f);

    const std::string afterMidnight = " 0:00:01 1234.5   0.0123   0.0045   0.0168  73.2143  26.7857 \n";
    EXPECT_EQ(day("03.03.2007.txt"), header + line + line);
    EXPECT_EQ(day("04.03.2007.txt"), afterMidnight + header + afterMidnight);
}

TEST_F(TextFileTest, FileNameIsTheShortDateWithLeadingZeros)
{
    struct Case {
        int year, month, day;
        const char* expected;
    };
    const Case cases[] = {
        {2007, 3, 3, "03.03.2007.txt"},
        {2024, 12, 31, "31.12.2024.txt"},
        {2000, 1, 10, "10.01.2000.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextFile::fileName({c.year, c.month, c.day, 12, 0, 0}), c.expected);
}

TEST_F(TextFileTest, WideValuesAreWrittenWholeAndShiftTheLine)
{
    now = lib::toLocalSeconds(2007, 3, 3, 14, 5, 33);
    exportFile.writeResults({record("C1", 100), record("GS", 123456789.5), record("C1r", -0.00004)}, 12345.6f);
    EXPECT_EQ(day("03.03.2007.txt"),
              "    Time  Depth       C1       GS      C1r \n"
              "14:05:33 12345.6 100.0000 123456789.5000  -0.0000 \n");
}

TEST_F(TextFileTest, TheDecimalPointStaysWhateverTheRegionalSeparator)
{
    const test::DecimalSeparatorScope comma(',');
    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_EQ(day("03.03.2007.txt"), header + line);
}

TEST_F(TextFileTest, ScienceValuesAddTheAreasOfTheGasesBeforeTheTotal)
{
    exportFile.setScienceValues(true);
    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_EQ(day("03.03.2007.txt"),
              "    Time  Depth       C1       C2       GS      C1r      C2r     C1_S     C2_S \n"
              " 9:05:07 1234.5   0.0123   0.0045   0.0168  73.2143  26.7857  15.2500   3.5000 \n");
}

TEST_F(TextFileTest, WithoutATotalEveryRecordHasAnArea)
{
    exportFile.setScienceValues(true);
    exportFile.writeResults({record("C1", 1, 2), record("C2", 3, 4)}, 0);
    EXPECT_EQ(day("03.03.2007.txt"),
              "    Time  Depth       C1       C2     C1_S     C2_S \n"
              " 9:05:07    0.0   1.0000   3.0000   2.0000   4.0000 \n");
}

TEST_F(TextFileTest, LabelsAreWrittenInWindows1251)
{
    exportFile.writeResults({record("Мет", 1)}, 0);
    EXPECT_EQ(day("03.03.2007.txt"),
              "    Time  Depth      \xcc\xe5\xf2 \n"
              " 9:05:07    0.0   1.0000 \n");
}

TEST_F(TextFileTest, AFolderThatCannotBeMadeSkipsTheLineAndKeepsTheHeaderNeeded)
{
    // Only the last level is created.
    exportFile.setFolder(dir / "missing" / "TextData");
    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_TRUE(exportFile.headerNeeded());

    std::filesystem::create_directory(dir / "missing");
    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_EQ(test::readFile(dir / "missing" / "TextData" / "03.03.2007.txt"), header + line);
}

TEST_F(TextFileTest, ALineThatCannotBeWrittenWholeLeavesNoPartBehind)
{
    exportFile.writeResults(twoGases(), 1234.5f);
    const auto path = dir / "TextData" / "03.03.2007.txt";
    const auto size = std::filesystem::file_size(path);

    // A child whose files may not grow past ten more bytes stands for a disk that fills up
    // in the middle of the line.
    const int status = test::inLimitedChild(size + 10, false, [&] {
        exportFile.writeResults(twoGases(), 1234.5f);
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(day("03.03.2007.txt"), header + line);

    exportFile.writeResults(twoGases(), 1234.5f);
    EXPECT_EQ(day("03.03.2007.txt"), header + line + line);
}

} // namespace
