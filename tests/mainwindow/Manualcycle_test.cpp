// A whole analysis run by hand in the window against the simulated chromatograph.
#include "Mainwindowfixture.h"

#include "support/Childprocess.h"
#include "support/Uniformcalibration.h"
#include "views/Chromatogrampanel.h"
#include "views/Journalpage.h"
#include "views/Resultstablepage.h"

#include <QAbstractItemModel>
#include <QImage>
#include <QListView>
#include <QTableView>

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;

class ManualCycleTest : public mainwindow::MainWindowFixture {
protected:
    ManualCycleTest() { test::writeUniformCalibration(folder / "calibr.ini"); }

    test::ChildProcess simulator{CHROMSIM_PATH, {"--speed", "40", "--length", "85", "--seed", "11"}};
};

TEST_F(ManualCycleTest, F5RunsAnAnalysisThatIsShownAndStored)
{
    const std::string terminal = simulator.firstLine();
    ASSERT_FALSE(terminal.empty()) << simulator.errors();
    TNivraMainForm& form = open([&](Configuration& settings) {
        settings.demo = false;
        settings.portName = terminal;
    });
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station->idle(); }, 20000)) << station->system().curve.title();
    ASSERT_TRUE(QTest::qWaitFor([&] { return station->idle(); }, 90000)) << simulator.errors();

    const MyGraphics& curve = station->system().curve;
    EXPECT_GT(curve.sampleCount(), 100u);
    ASSERT_EQ(curve.marks().size(), 6u);
    for (const GazArea& mark : curve.marks())
        EXPECT_TRUE(mark.hasResult) << "every gas measured";
    EXPECT_EQ(station->system().textGrid.recordCount(), 1u);
    // The well's pages follow: the analysis is a row of the table and the newest picture.
    const QAbstractItemModel* table = form.tablePage()->table()->model();
    EXPECT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->columnCount(), 2 + 13) << "six gases, the total and six shares";
    EXPECT_EQ(station->system().history.entryCount(), 1u);
    EXPECT_EQ(station->system().history.selected(), 0);

    // The display shows the curve: the plot holds its colour, not only the background.
    const QImage shown = form.chromatogramPanel()->plot()->grab().toImage();
    const QColor curveColour = WindowStyle::colour(configuration.curveColor);
    int curvePixels = 0;
    for (int y = 0; y < shown.height(); y += 2)
        for (int x = 0; x < shown.width(); x += 2)
            curvePixels += shown.pixelColor(x, y) == curveColour;
    EXPECT_GT(curvePixels, 20);

    form.closeUnattended(false);
    ASSERT_TRUE(form.closedDown());
    EXPECT_GT(std::filesystem::file_size(station->wellFolder() / Station::resultsFileName), 0u);
    QAbstractItemModel* journal = form.journalPage()->list()->model();
    ASSERT_GE(journal->rowCount(), 1);
    EXPECT_THAT(journal->index(0, 0).data().toString().toStdString(), HasSubstr("Запуск программы"));
    EXPECT_THAT(journal->index(journal->rowCount() - 2, 0).data().toString().toStdString(), HasSubstr("Закрытие программы"));
}

} // namespace
