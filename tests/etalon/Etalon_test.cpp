// The calibration window over the running station: runs through real cycles of the simulated
// chromatograph, the layout of a run, cancelling, and calibration files.
#include "mainwindow/Mainwindowfixture.h"

#include "analysis/Robustmean.h"
#include "dialogs/Etalonform.h"
#include "results/Log.h"
#include "support/Childprocess.h"
#include "support/Modalanswer.h"
#include "views/Chromatogrampanel.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>

#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;

constexpr std::size_t gasCount = 6;

GazEtalLine entry(std::string dilution, std::int32_t repeats, double concentration, double area)
{
    GazEtalLine line;
    line.dilution = std::move(dilution);
    line.repeats = repeats;
    line.points.assign(gasCount, GazEtalPoint{concentration, area});
    return line;
}

std::vector<std::string> texts(const auto& entries)
{
    std::vector<std::string> result;
    for (const GazEtalLine& line : entries)
        result.push_back(line.toText());
    return result;
}

bool journalHas(const Log& journal, std::string_view text)
{
    return std::any_of(journal.lines().begin(), journal.lines().end(),
                       [text](const std::string& line) { return line.find(text) != std::string::npos; });
}

class CalibrationWindowTest : public mainwindow::MainWindowFixture {
protected:
    void writeCalibration(const std::vector<GazEtalLine>& entries, double degassing = 1.0,
                          const std::string& name = "calibr.ini")
    {
        EtalonStorage store;
        for (const GazEtalLine& line : entries)
            store.entries.emplace_back(line);
        store.degKoeff = degassing;
        store.save(folder / name);
    }

    TEtalonForm& openCalibration(TNivraMainForm& form)
    {
        QAction* item = form.action(QStringLiteral("Калибровка хроматографа..."));
        EXPECT_TRUE(item && item->isEnabled()) << "offered in the settings mode";
        item->trigger();
        return *form.calibrationWindow();
    }

    // Presses the run button and confirms the prompt.
    void startRun(TEtalonForm& calibration)
    {
        modal::answerModal([](QWidget& prompt) { static_cast<QDialog&>(prompt).accept(); });
        calibration.runButton()->click();
    }

    static void settingsMode(Configuration& settings) { settings.settingsMode = true; }
};

class CalibrationAgainstSimulatorTest : public CalibrationWindowTest {
protected:
    test::ChildProcess simulator{CHROMSIM_PATH, {"--speed", "40", "--length", "85", "--seed", "5"}};
};

TEST_F(CalibrationAgainstSimulatorTest, ThreeRepeatsAreAveragedIntoTheEntryAndCalibrateTheNextAnalysis)
{
    writeCalibration({entry("", 3, 1.0, 0.0)});
    const std::string terminal = simulator.firstLine();
    ASSERT_FALSE(terminal.empty()) << simulator.errors();
    TNivraMainForm& form = open([&](Configuration& settings) {
        settingsMode(settings);
        settings.demo = false;
        settings.portName = terminal;
    });
    NivraSystem& system = station->system();
    std::vector<std::vector<double>> measured;
    boost::signals2::scoped_connection watch = system.cycleFinished.connect([&](std::int32_t) {
        measured.push_back(CalibrationRun::gasAreas(system.calculation.results(), system.gazOptions));
    });

    TEtalonForm& calibration = openCalibration(form);
    EXPECT_TRUE(form.chromatogramPanel()->resultsHidden()) << "no results on the display while it shows";
    calibration.select(0);
    EXPECT_EQ(calibration.runButton()->text(), QStringLiteral("Запуск с конц-ей ''"));
    form.pages()->setCurrentIndex(2);
    startRun(calibration);
    ASSERT_TRUE(calibration.running());

    // The run's layout: the display below the window, the operator kept out of the menus.
    EXPECT_EQ(form.pages()->currentIndex(), 0);
    EXPECT_FALSE(form.menuBar()->isEnabled());
    EXPECT_FALSE(form.action(QStringLiteral("Запуск"))->isEnabled());
    EXPECT_TRUE(calibration.cancelRunButton()->isVisible());
    EXPECT_FALSE(calibration.resultsPanel()->isVisible());
    EXPECT_FALSE(calibration.addButton()->isEnabled());
    const QRect screenArea = form.screen()->availableGeometry();
    EXPECT_EQ(calibration.frameGeometry().topLeft(), screenArea.topLeft());
    EXPECT_GE(form.frameGeometry().top(), screenArea.top() + screenArea.height() / 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return calibration.programmeTitleBar()->text().contains("попытка №1"); }, 5000));
    calibration.close();
    EXPECT_TRUE(calibration.isVisible()) << "no closing during a run";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !calibration.running(); }, 180000)) << simulator.errors();
    EXPECT_TRUE(form.menuBar()->isEnabled());
    EXPECT_TRUE(form.action(QStringLiteral("Запуск"))->isEnabled());
    EXPECT_EQ(calibration.programmeTitleBar()->text(), QStringLiteral("Программа калибровки"));
    EXPECT_TRUE(calibration.resultsPanel()->isVisible());

    ASSERT_EQ(measured.size(), 3u) << "one cycle per repeat";
    EXPECT_EQ(system.textGrid.recordCount(), 0u) << "a reference mixture is no gas of the well";
    EXPECT_FALSE(system.calibrating());
    const GazEtalLine& result = calibration.programme().entries.at(0);
    for (std::size_t gas = 0; gas < gasCount; ++gas) {
        std::vector<double> values;
        for (const auto& attempt : measured)
            values.push_back(attempt.at(gas));
        EXPECT_GT(values.front(), 0) << "gas " << gas << " measured";
        EXPECT_DOUBLE_EQ(result.points.at(gas).area, robustMean(values)) << "gas " << gas;
        EXPECT_DOUBLE_EQ(result.points.at(gas).concentration, 1.0);
    }
    EXPECT_EQ(system.etalonStorage.entries[0].points.at(0).area, 0.0) << "the store waits for OK";

    // OK and Yes: the store, its file and the journal.
    const auto question = answerNextBox(QMessageBox::Yes);
    calibration.accept();
    EXPECT_EQ(question->value_or(QString()), QStringLiteral("Сохранить результат калибровки?"));
    EXPECT_FALSE(calibration.isVisible());
    EXPECT_FALSE(form.chromatogramPanel()->resultsHidden());
    EXPECT_EQ(texts(system.etalonStorage.entries), texts(calibration.programme().entries));
    EtalonStorage stored;
    stored.load(folder / "calibr.ini");
    EXPECT_EQ(texts(stored.entries), texts(calibration.programme().entries)) << "written at once";
    EXPECT_TRUE(journalHas(station->journal(), Log::calibrationDone));

    // The next analysis goes through the new calibration: one entry, a straight line through 0.
    measured.clear();
    ASSERT_FALSE(station->start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return measured.size() == 1; }, 90000)) << simulator.errors();
    EXPECT_EQ(system.textGrid.recordCount(), 1u);
    for (std::size_t gas = 0; gas < gasCount; ++gas) {
        const std::string& name = system.gazOptions.gas(gas).name;
        const auto record = std::find_if(system.calculation.results().begin(), system.calculation.results().end(),
                                         [&](const CalculatedGaz& r) { return !r.derived && r.name == name; });
        ASSERT_NE(record, system.calculation.results().end()) << name;
        EXPECT_NEAR(record->concentration, record->area / result.points[gas].area, 1e-9) << name;
        EXPECT_NEAR(record->concentration, 1.0, 0.5) << name << ": the same mixture again";
    }

    form.closeUnattended(false);
    EXPECT_TRUE(form.closedDown());
}

// A station in demo mode, with one undiluted mixture of three repeats selected in the window.
class CalibrationDemoTest : public CalibrationWindowTest {
protected:
    TEtalonForm& openOnOneMixture()
    {
        writeCalibration({entry("", 3, 1.0, 7.0)});
        TNivraMainForm& form = open([](Configuration& settings) {
            settingsMode(settings);
            settings.demo = true;
        });
        TEtalonForm& calibration = openCalibration(form);
        calibration.select(0);
        return calibration;
    }
};

TEST_F(CalibrationDemoTest, CancelDuringTheStartUpWaitEndsTheRunButNotTheCycle)
{
    TEtalonForm& calibration = openOnOneMixture();
    TNivraMainForm& form = *window;
    const QRect before = form.geometry();
    startRun(calibration);
    ASSERT_TRUE(calibration.running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station->idle(); }, 10000)) << "the cycle started";

    calibration.cancelRunButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !calibration.running(); }, 5000));
    EXPECT_FALSE(station->idle()) << "the cycle goes on";
    EXPECT_EQ(calibration.programme().entries.at(0).points.at(0).area, 7.0) << "nothing measured is kept";
    EXPECT_TRUE(form.menuBar()->isEnabled());
    EXPECT_EQ(form.geometry(), before);
    EXPECT_FALSE(calibration.cancelRunButton()->isVisible());
    EXPECT_TRUE(calibration.addButton()->isEnabled());

    // A refused prompt ends the run before any cycle.
    ASSERT_TRUE(QTest::qWaitFor([&] { return station->idle(); }, 60000));
    modal::answerModal([](QWidget& prompt) { static_cast<QDialog&>(prompt).reject(); });
    calibration.runButton()->click();
    EXPECT_FALSE(calibration.running());
    EXPECT_TRUE(station->idle());
    EXPECT_TRUE(form.menuBar()->isEnabled());
}

TEST_F(CalibrationDemoTest, ClosingTheStationDuringARunEndsItAndKeepsTheWindowsPlace)
{
    TEtalonForm& calibration = openOnOneMixture();
    TNivraMainForm& form = *window;
    const QRect before = form.geometry();
    startRun(calibration);
    ASSERT_TRUE(calibration.running());
    form.closeUnattended(true);
    ASSERT_TRUE(form.closedDown());
    EXPECT_FALSE(calibration.running());
    EXPECT_EQ(form.geometry(), before);
    EXPECT_EQ(station->system().etalonStorage.entries[0].points.at(0).area, 7.0);
}

TEST_F(CalibrationDemoTest, ClosingTheStationUnderTheRunsPromptEndsTheRun)
{
    TEtalonForm& calibration = openOnOneMixture();
    TNivraMainForm& form = *window;
    modal::answerModal([&](QWidget&) { form.closeUnattended(false); });
    calibration.runButton()->click();
    EXPECT_TRUE(form.closedDown());
    EXPECT_FALSE(calibration.running());
    EXPECT_TRUE(station->idle()) << "no cycle was started";
}

TEST_F(CalibrationDemoTest, CancelLeavesTheStoreAsItWasAndPeakResultsHaveNoCurveView)
{
    writeCalibration({entry("1 / 10", 2, 0.5, 40.0)}, 2.0);
    TNivraMainForm& form = open([](Configuration& settings) {
        settingsMode(settings);
        settings.calcResultFromPeak = true;
    });
    TEtalonForm& calibration = openCalibration(form);
    EXPECT_FALSE(calibration.curvesButton()->isEnabled());
    EXPECT_EQ(calibration.resultsGrid()->cell(2, 0).trimmed(), QStringLiteral("напр. C1"));
    EXPECT_EQ(calibration.degassingEdit()->text(), QStringLiteral("2,000"));
    // The coefficient shown is area ÷ degassing ÷ concentration: 40 ÷ 2 ÷ 0.5.
    EXPECT_EQ(calibration.resultsGrid()->cell(2, 1), QStringLiteral("40,000000"));

    calibration.deleteRecord();  // nothing selected: nothing happens
    calibration.select(0);
    calibration.deleteRecord();
    EXPECT_TRUE(calibration.programme().entries.empty());
    EXPECT_EQ(calibration.resultsGrid()->rowCount(), 1);
    calibration.reject();
    EXPECT_FALSE(calibration.isVisible());
    EXPECT_EQ(station->system().etalonStorage.entries.size(), 1u) << "Отмена keeps the store";
}

TEST_F(CalibrationDemoTest, ACalibrationFileSavedAndLoadedBackIsTheSame)
{
    const std::vector<GazEtalLine> first{entry("", 3, 0.1, 12.5), entry("2 / 10", 3, 1.0, 130.25)};
    const std::vector<GazEtalLine> second{entry("", 1, 5.0, 600.0)};
    writeCalibration(first, 1.5);
    writeCalibration(second, 3.0, "other.cal");
    TNivraMainForm& form = open(settingsMode);
    TEtalonForm& calibration = openCalibration(form);
    const std::filesystem::path saved = folder / "first.cal";
    std::filesystem::path answer = saved;
    calibration.chooseFile = [&](bool) { return QString::fromStdString(answer.string()); };

    calibration.saveToFile();
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_TRUE(journalHas(station->journal(), Log::calibrationSaved));

    answer = folder / "other.cal";
    calibration.loadFromFile();
    const EtalonStorage& store = station->system().etalonStorage;
    EXPECT_EQ(texts(store.entries), texts(second)) << "active at once";
    EXPECT_EQ(texts(calibration.programme().entries), texts(second)) << "and shown";
    EXPECT_DOUBLE_EQ(calibration.degassing(), 3.0);
    EXPECT_TRUE(calibration.isVisible());
    EXPECT_TRUE(journalHas(station->journal(), Log::calibrationLoaded));

    answer = saved;
    calibration.loadFromFile();
    EXPECT_EQ(texts(store.entries), texts(first));
    EXPECT_DOUBLE_EQ(store.degKoeff, 1.5);
    EtalonStorage written;
    written.load(folder / "calibr.ini");
    EXPECT_EQ(texts(written.entries), texts(first)) << "the station's own file follows";

    // A file that cannot be written or holds no calibration is said so, and not journalled.
    const auto savedLines = [&] {
        return std::count_if(station->journal().lines().begin(), station->journal().lines().end(),
                             [](const std::string& line) { return line.find(Log::calibrationSaved) != std::string::npos; });
    };
    const auto linesBefore = savedLines();
    answer = folder / "no-such-folder" / "x.cal";
    auto box = answerNextBox(QMessageBox::Ok);
    calibration.saveToFile();
    EXPECT_THAT(box->value_or(QString()).toStdString(), HasSubstr("Не удалось записать калибровку"));
    EXPECT_EQ(savedLines(), linesBefore);
    answer = folder / Configuration::iniFileName;
    box = answerNextBox(QMessageBox::Ok);
    calibration.loadFromFile();
    EXPECT_THAT(box->value_or(QString()).toStdString(), HasSubstr("В файле нет калибровки"));
    EXPECT_EQ(texts(store.entries), texts(first));

    answer.clear();  // a cancelled dialog changes nothing
    calibration.loadFromFile();
    EXPECT_EQ(texts(store.entries), texts(first));
}

} // namespace
