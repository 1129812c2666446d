#include "station/Workoptions.h"

#include "Controllerfolder.h"

#include "device/Framecodec.h"
#include "library/Codepage.h"
#include "library/Locker.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "station/Nivrasystem.h"
#include "support/Testsupport.h"
#include "testsupport/Pseudoterminal.h"
#include "testsupport/Recordingnotifier.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <future>
#include <limits>
#include <map>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Values = WorkOptions::Values;
using station_test::freeForOthers;

const char* const intensityMessage =
    "Значение параметра должно быть в интервале 1..63. Значение будет автоматически исправлено.";
const char* const cycleMessage =
    "Длительность цикла должна быть больше времени окончания нагрева! Значение будет автоматически исправлено.";
const char* const endBeforeCycleMessage =
    "Время окончания нагрева должно быть меньше длительности цикла! Значение будет автоматически исправлено.";
const char* const endAfterStartMessage =
    "Время окончания нагрева должно быть больше времени начала нагрева! Значение будет автоматически исправлено.";
const char* const startMessage =
    "Время начала нагрева должно быть меньше времени окончания нагрева! Значение будет автоматически исправлено.";

// A controller over a settings file in a scratch folder.
class WorkOptionsTest : public station_test::ControllerFolder {
protected:
    WorkOptionsTest() { options = std::make_unique<WorkOptions>(*system, configuration); }
    ~WorkOptionsTest() override { options.reset(); }

    void setTavir()
    {
        configuration.deviceType = modelTavir;
        configuration.applyDeviceTimeDefaults();
    }
    std::filesystem::path iniPath() const { return dir / Configuration::iniFileName; }

    test::DecimalSeparatorScope separator{','};
    std::unique_ptr<WorkOptions> options;
};

TEST_F(WorkOptionsTest, ShowsEveryValueAsItsControlDoes)
{
    configuration.minGazValue = 0.0001;
    configuration.summatorCoeff = 0.1f;
    configuration.summatorSwitchThreshold = 0.95f;
    configuration.summatorMax10 = 10;
    configuration.backgroundColor = 0x123456;
    configuration.adcValueMode = 1;
    system->gazOptions.setWindow(0, 10.26f, 15);

    const Values v = options->read();
    EXPECT_EQ(v.minGazValue, "0,000100");
    EXPECT_EQ(v.summatorCoeff, "0,100");
    EXPECT_EQ(v.summatorSwitchThreshold, "0,950");
    EXPECT_EQ(v.summatorMax10, "10,000");
    EXPECT_EQ(v.backgroundColor, 0x123456u);
    EXPECT_EQ(v.maxDepthIndex, 2) << "the list \"0\" … \"10\" shows \"2\" for the stored 3";
    EXPECT_EQ(v.timeModePeriod, "0");
    EXPECT_EQ(v.adcValueMode, 1);
    EXPECT_THAT(v.times, ElementsAre("2", "23", "30", "35", "55", "70", "120"));
    ASSERT_EQ(v.gases.size(), 7u) << "six gases and an empty row for a new one";
    EXPECT_EQ(v.gases[0].name, "метан");
    EXPECT_EQ(v.gases[0].label, "C1");
    EXPECT_EQ(v.gases[0].start, "10,3");
    EXPECT_EQ(v.gases[0].end, "15,0");
    EXPECT_EQ(v.gases[0].colour, "255");
    EXPECT_EQ(v.gases[6].name, "");

    for (const std::int32_t stored : {2, -1, 7}) {
        configuration.adcValueMode = stored;
        EXPECT_EQ(options->read().adcValueMode, 0) << stored;
    }
}

TEST_F(WorkOptionsTest, TimeRowsFollowTheModel)
{
    const auto captions = [](std::int32_t type) {
        std::vector<std::string> texts;
        for (const auto& row : WorkOptions::timeRows(type))
            texts.push_back(row.caption);
        return texts;
    };
    EXPECT_THAT(captions(modelLT4KS),
                ElementsAre(" Включение дозы ", " Включение нагрева 1 ", " Включение анализа ", " Включение нагрева 2 ",
                            " Включение нагрева 3 ", " Включение вентилятора ", " Длительность цикла "));
    EXPECT_THAT(captions(modelTavir), ElementsAre(" Время начала нагрева ", " Время окончания нагрева ",
                                                  " Интенсивность нагрева ", " Длительность цикла "));

    setTavir();
    const Values v = options->read();
    EXPECT_THAT(v.times, ElementsAre("18", "70", "32", "120")) << "время2 … время5";
    EXPECT_EQ(v.doseTime, "4") << "время1 is the dose time";

    EXPECT_EQ(WorkOptions::modelName(0), "ЛТ-4КС");
    EXPECT_EQ(WorkOptions::modelName(1), "Тавир");
    EXPECT_EQ(WorkOptions::modelName(2), "Неизвестный прототип");
    EXPECT_EQ(WorkOptions::modelName(-1), "Неизвестный прототип");
}

TEST_F(WorkOptionsTest, ShowingLimitsTheHeatingIntensityInMemory)
{
    setTavir();
    const struct {
        std::int32_t stored;
        std::int32_t shown;
    } cases[] = {{70, 63}, {64, 63}, {63, 63}, {0, 1}, {1, 1}, {32, 32}};
    for (const auto& c : cases) {
        configuration.programmeTimes[3] = c.stored;
        EXPECT_EQ(options->read().times[2], std::to_string(c.shown)) << c.stored;
        EXPECT_EQ(configuration.programmeTimes[3], c.shown) << "stays, even if the dialog is cancelled";
    }
    configuration.deviceType = modelLT4KS;
    configuration.programmeTimes[3] = 70;
    options->read();
    EXPECT_EQ(configuration.programmeTimes[3], 70) << "model 0's step 4 is no intensity";
}

TEST(WorkOptionsTimeCheck, CorrectsTheCellsOfModelOne)
{
    const auto rows = WorkOptions::timeRows(modelTavir);
    // start, end, intensity, cycle
    const std::vector<std::string> cells{"18", "60", "32", "120"};
    const struct {
        std::size_t row;
        std::vector<std::string> cells;
        const char* text;
        const char* message;  // nullptr: accepted
        std::int32_t corrected;
    } cases[] = {
        {2, cells, "70", intensityMessage, 63},
        {2, cells, "64", intensityMessage, 63},
        {2, cells, "63", nullptr, 0},
        {2, cells, "0", intensityMessage, 1},
        {2, cells, "-4", intensityMessage, 1},
        {3, {"18", "60", "32", "50"}, "50", cycleMessage, 120},
        {3, cells, "60", cycleMessage, 120},
        {3, cells, "61", nullptr, 0},
        {1, cells, "120", endBeforeCycleMessage, 60},
        {1, cells, "18", endAfterStartMessage, 60},
        {1, cells, "19", nullptr, 0},
        {1, {"18", "60", "32", "abc"}, "30", endBeforeCycleMessage, 60},
        {1, {"", "60", "32", "120"}, "30", nullptr, 0},
        {0, cells, "60", startMessage, 18},
        {0, cells, "59", nullptr, 0},
        {0, {"18", "x", "32", "120"}, "5", startMessage, 18},
        {2, cells, "", nullptr, 0},
        {2, cells, "семь", nullptr, 0},
        {3, cells, "1.5", nullptr, 0},
    };
    for (const auto& c : cases) {
        const auto correction = WorkOptions::checkTime(rows, c.cells, c.row, c.text);
        if (!c.message) {
            EXPECT_FALSE(correction) << c.row << " " << c.text;
            continue;
        }
        ASSERT_TRUE(correction) << c.row << " " << c.text;
        EXPECT_EQ(correction->message, c.message) << c.row << " " << c.text;
        EXPECT_EQ(correction->corrected, c.corrected) << c.row << " " << c.text;
    }

    const auto lt4ks = WorkOptions::timeRows(modelLT4KS);
    EXPECT_FALSE(WorkOptions::checkTime(lt4ks, {"2", "23", "30", "35", "55", "70", "120"}, 6, "1"))
        << "model 0 is not checked";
}

TEST_F(WorkOptionsTest, TheTimeGridIsReadBackRowByRow)
{
    configuration.programmeTimes = {2, 23, 30, 35, 55, 70, 120, 9};
    Values v = options->read();
    v.times = {"3", "24", "нет", "36", "", "71", "121"};
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(3, 24, 30, 36, 55, 71, 121, 9))
        << "unreadable cells keep the old value; время_цикла is untouched";

    setTavir();
    configuration.programmeTimes[7] = 9;
    v = options->read();
    v.times = {"20", "x", "40", "130"};
    v.doseTime = "5";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(5, 20, 70, 40, 130, 0, 0, 9))
        << "model 1: время6 and время7 have no row and become 0";

    v.doseTime = "пять";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(configuration.programmeTimes[0], 5);
}

TEST_F(WorkOptionsTest, GasGridIsReadBackByTheNamedRows)
{
    system->gazOptions.item(1).rangeHigh = 50;
    Values v = options->read();
    v.gases[1].label = "C2x";
    v.gases[1].start = "16,5";
    v.gases[1].end = "21.5";
    v.gases[1].colour = "зелёный";
    v.gases[2].name.clear();  // "пропан" cleared in the middle

    configuration.settingsMode = true;
    ASSERT_EQ(options->store(v), std::nullopt);
    const GazOptions& table = system->gazOptions;
    ASSERT_EQ(table.count(), 5) << "one gas shorter";
    EXPECT_EQ(table.gas(1).label, "C2x");
    EXPECT_FLOAT_EQ(table.gas(1).nominalStart, 16.5f);
    EXPECT_FLOAT_EQ(table.gas(1).integrationStart, 16.5f);
    EXPECT_FLOAT_EQ(table.gas(1).nominalEnd, 21.5f);
    EXPECT_FLOAT_EQ(table.gas(1).integrationEnd, 21.5f);
    EXPECT_EQ(table.gas(1).colour, 0u) << "a colour that is no number";
    EXPECT_EQ(table.gas(1).rangeHigh, 50) << "what the grid does not show stays";
    EXPECT_EQ(table.gas(2).name, "") << "gas i takes row i";
    EXPECT_EQ(table.gas(4).name, "пентан") << "the last filled row, гексан, is the one dropped";
}

TEST_F(WorkOptionsTest, NamesAndNewRowsAreTheSettingsModesOnly)
{
    Values v = options->read();
    v.gases[0].name = "метан-2";
    v.gases[6] = {"гептан", "C7", "80", "85", "128"};

    configuration.settingsMode = false;
    ASSERT_EQ(options->store(v), std::nullopt);
    ASSERT_EQ(system->gazOptions.count(), 7);
    EXPECT_EQ(system->gazOptions.gas(0).name, "метан") << "names are not taken outside the settings mode";
    EXPECT_EQ(system->gazOptions.gas(6).name, "");

    configuration.settingsMode = true;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(system->gazOptions.gas(0).name, "метан-2");
    EXPECT_EQ(system->gazOptions.gas(6).name, "гептан");
    EXPECT_EQ(system->gazOptions.gas(6).colour, 128u);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(6).nominalEnd, 85.0f);
}

TEST_F(WorkOptionsTest, ATypedWindowThatNeverIntegratesIsRefused)
{
    // A new gas whose end was never typed, and a reversed one: nothing is stored, nothing saved.
    configuration.settingsMode = true;
    for (const WorkOptions::GasRow& bad : {WorkOptions::GasRow{"этан", "C2", "20", "17", "1"},
                                           WorkOptions::GasRow{"этан", "C2", "12,5", "12.5", "1"},
                                           WorkOptions::GasRow{"этан", "C2", "17", "", "1"}}) {
        Values v = options->read();
        v.gases[1] = bad;
        v.screenSeconds = "300";
        const auto refusal = options->store(v);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->row, 1u);
        EXPECT_EQ(refusal->message, "Время окончания выхода газа \"этан\" должно быть больше времени начала выхода! "
                                    "Исправьте значения в таблице газов.");
        EXPECT_FLOAT_EQ(system->gazOptions.gas(1).nominalEnd, 20.0f);
        EXPECT_EQ(configuration.screenSeconds, 120);
        EXPECT_FALSE(std::filesystem::exists(iniPath()));
    }

    Values v = options->read();
    v.gases[6] = {"", "", "50", "40", ""};  // no name: not a gas, not judged
    EXPECT_EQ(options->store(v), std::nullopt);
}

// A window the operator left alone is stored as it was: a gas the setup wizard added without
// its window does not hold up the other settings, and seconds finer than the grid's one decimal
// are not rounded away.
TEST_F(WorkOptionsTest, AWindowLeftAloneKeepsItsStoredSeconds)
{
    system->gazOptions.setWindow(0, 10.25f, 15.0f);
    system->gazOptions.setWindow(1, 0.0f, 0.0f);
    Values v = options->read();
    v.screenSeconds = "300";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(configuration.screenSeconds, 300);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(0).nominalStart, 10.25f);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(0).integrationStart, 10.25f);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(1).nominalEnd, 0.0f);

    v = options->read();
    v.gases[0].start = "11";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(0).nominalStart, 11.0f);
}

TEST_F(WorkOptionsTest, SummatorModeNeedsTheSummatorOrTheTotalGasThreshold)
{
    EXPECT_FALSE(WorkOptions::summatorModeAllowed(false, false));
    EXPECT_TRUE(WorkOptions::summatorModeAllowed(true, false));
    EXPECT_TRUE(WorkOptions::summatorModeAllowed(false, true));

    Values v = options->read();
    v.workMode = NivraSystem::summatorMode;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(system->workMode(), NivraSystem::manualMode);

    // Switched on in the same dialog: the mode is judged with the settings just stored.
    v.summatorUse = true;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(system->workMode(), NivraSystem::summatorMode);
}

TEST_F(WorkOptionsTest, LimitsApplyAfterStoring)
{
    struct Field {
        std::function<void(Configuration&, double)> set;
        std::function<double(const Configuration&)> get;
    };
    const auto integer = [](std::int32_t Configuration::*member) {
        return Field{[member](Configuration& c, double x) { c.*member = static_cast<std::int32_t>(x); },
                     [member](const Configuration& c) { return static_cast<double>(c.*member); }};
    };
    const std::map<std::string, Field> fields{
        {"размер_экрана", integer(&Configuration::screenSeconds)},
        {"горизонтальная_разлиновка", integer(&Configuration::horizontalGrid)},
        {"вертикальная_разлиновка", integer(&Configuration::verticalGrid)},
        {"число_точек_осреднения", integer(&Configuration::averagingPoints)},
        {"время_расчёта_нуля", integer(&Configuration::zeroTime)},
        {"gaz_summ_prec", integer(&Configuration::summatorPrecision)},
        {"частота_фильтра", {[](Configuration& c, double x) { c.filterFrequency = x; },
                             [](const Configuration& c) { return c.filterFrequency; }}},
        {"coeff", {[](Configuration& c, double x) { c.summatorCoeff = static_cast<float>(x); },
                   [](const Configuration& c) { return static_cast<double>(c.summatorCoeff); }}},
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* key;
        double stored;
        double limited;
    } cases[] = {
        {"размер_экрана", 0, 1},
        {"размер_экрана", -5, 1},
        {"размер_экрана", 60, 60},
        {"горизонтальная_разлиновка", 1, 2},
        {"горизонтальная_разлиновка", -3, 2},
        {"вертикальная_разлиновка", 0, 2},
        {"вертикальная_разлиновка", 2, 2},
        {"число_точек_осреднения", 2, 3},
        {"число_точек_осреднения", 3, 3},
        {"частота_фильтра", 0.5, 1},
        {"частота_фильтра", 51, 50},
        {"частота_фильтра", 2.5, 2.5},
        {"время_расчёта_нуля", 0, 1},
        {"время_расчёта_нуля", 16, 15},
        {"время_расчёта_нуля", 15, 15},
        {"coeff", -0.5, 0},
        {"coeff", nan, 0},
        {"coeff", 0.25, 0.25},
        {"gaz_summ_prec", -1, 0},
        {"gaz_summ_prec", 11, 10},
        {"gaz_summ_prec", 10, 10},
    };
    for (const auto& c : cases) {
        Configuration limited;
        fields.at(c.key).set(limited, c.stored);
        WorkOptions::applyLimits(limited);
        EXPECT_EQ(fields.at(c.key).get(limited), c.limited) << c.key << " " << c.stored;
    }

    for (const auto& [typed, stored] : std::vector<std::pair<const char*, std::int32_t>>{
             {"0", 120}, {"-10", 120}, {"150", 150}, {"нет", 150}}) {
        Values v = options->read();
        v.timeModePeriod = typed;
        ASSERT_EQ(options->store(v), std::nullopt);
        EXPECT_EQ(system->timeModePeriod(), stored) << typed;
    }

    // Through the dialog's texts: what "OK" stores is limited before it is saved.
    Values v = options->read();
    v.horizontalGrid = "0";
    v.screenSeconds = "-1";
    v.summatorCoeff = "-2";
    v.summatorPrecision = "12";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(configuration.horizontalGrid, 2);
    EXPECT_EQ(configuration.screenSeconds, 1);
    EXPECT_EQ(configuration.summatorCoeff, 0.0f);
    EXPECT_EQ(configuration.summatorPrecision, 10);
    EXPECT_THAT(test::readFile(iniPath()), HasSubstr(lib::toCp1251("горизонтальная_разлиновка=2\r\n")));
}

TEST_F(WorkOptionsTest, UnreadableTextsKeepOldIntegersAndReadRealsAsZero)
{
    configuration.summatorNull = 0.25f;
    Values v = options->read();
    v.horizontalGrid = "десять";
    v.verticalGrid = "";
    v.screenSeconds = "90 с";
    v.zeroTime = "x";
    v.summatorPrecision = "";
    v.summatorNull = "abc";
    v.minGazValue = "0,002";
    v.maxDepthIndex = -1;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(configuration.horizontalGrid, 5);
    EXPECT_EQ(configuration.verticalGrid, 10);
    EXPECT_EQ(configuration.screenSeconds, 120);
    EXPECT_EQ(configuration.zeroTime, 5);
    EXPECT_EQ(configuration.summatorPrecision, 2);
    EXPECT_EQ(configuration.summatorNull, 0.0f);
    EXPECT_DOUBLE_EQ(configuration.minGazValue, 0.002);
    EXPECT_EQ(system->maxDepthCounter(), 3) << "nothing chosen in the list keeps the counter";

    v.maxDepthIndex = 1;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(system->maxDepthCounter(), 2) << "\"1\" is index 1, the counter 2";
}

TEST_F(WorkOptionsTest, OkSavesEverythingItEditsToTheSettingsFile)
{
    configuration.settingsMode = true;
    Values v = options->read();
    v.workMode = NivraSystem::continuousMode;
    v.timeModePeriod = "150";
    v.maxDepthIndex = 4;
    v.saveAllValues = false;
    v.saveScienceValues = true;
    v.gases[0].label = "CH4";
    v.minGazValue = "0,5";
    v.fontName = "Arial";
    v.password = "секрет";
    v.summatorUse = true;
    v.clearSummatorPresence = true;
    configuration.summatorPresent = 2;
    ASSERT_EQ(options->store(v), std::nullopt);

    const std::string text = test::readFile(iniPath());
    EXPECT_THAT(text, HasSubstr("min_gaz_value=0,5\r\n")) << "written back after the gas list emptied its section";
    EXPECT_THAT(text, HasSubstr("max_depth_counter=5\r\n"));
    EXPECT_THAT(text, HasSubstr("time_mode_period=150\r\n"));
    EXPECT_THAT(text, HasSubstr("work_mode=02000000\r\n"));
    EXPECT_THAT(text, HasSubstr("present=0\r\n"));

    Configuration again;
    again.loadProgramSettings(dir.path());
    EXPECT_EQ(again.fontName, "Arial");
    EXPECT_EQ(again.password, "секрет");
    EXPECT_TRUE(again.summatorUse);
    EXPECT_DOUBLE_EQ(again.minGazValue, 0.5);
    NivraSystem reloaded(again, notifier, dir.path());
    reloaded.load();
    EXPECT_EQ(reloaded.gazOptions.gas(0).label, "CH4");
    EXPECT_EQ(reloaded.workMode(), NivraSystem::continuousMode);
    EXPECT_EQ(reloaded.maxDepthCounter(), 5);
    EXPECT_FALSE(reloaded.saveAllValues());
    EXPECT_TRUE(reloaded.saveScienceValues());
}

TEST_F(WorkOptionsTest, NotificationsComeWithNoLockHeld)
{
    std::vector<std::thread> threads;
    std::vector<bool> free;
    const auto probe = [&] {
        free.push_back(freeForOthers(system->nivra, threads));
        free.push_back(freeForOthers(system->nivra.samples, threads));
    };
    int listChanges = 0;
    system->gazOptions.gazListChanged.connect([&] { ++listChanges; });
    system->gazOptions.gazListChanged.connect(probe);
    system->gazOptions.gazTimesChanged.connect(probe);
    system->modeChanged.connect(probe);
    Values v = options->read();
    v.workMode = NivraSystem::timeMode;
    v.gases[0].label = "CH4";
    ASSERT_EQ(options->store(v), std::nullopt);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_THAT(free, ElementsAre(true, true, true, true, true, true));
    EXPECT_EQ(system->workMode(), NivraSystem::timeMode);
    EXPECT_EQ(listChanges, 1);

    // Windows and colours only: no new list, so the daily export keeps its header.
    v.gases[0].end = "16";
    v.gases[1].colour = "0";
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(listChanges, 1);
    v.gases[5].name.clear();
    configuration.settingsMode = true;
    ASSERT_EQ(options->store(v), std::nullopt);
    EXPECT_EQ(listChanges, 2);
    for (std::thread& thread : threads)
        if (thread.joinable())
            thread.join();
}

TEST_F(WorkOptionsTest, TypeSelectorWritesTheTypeAndItsTimesAtOnce)
{
    options->changeDeviceType(modelTavir);
    EXPECT_EQ(configuration.deviceType, modelTavir);
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(4, 18, 70, 32, 120, 0, 0, 0));
    EXPECT_THAT(options->timeTexts(), ElementsAre("18", "70", "32", "120"));
    options->changeDeviceType(modelLT4KS);
    EXPECT_THAT(options->timeTexts(), ElementsAre("2", "23", "30", "35", "55", "70", "120"));
    EXPECT_FALSE(std::filesystem::exists(iniPath())) << "in memory; the file waits for a save";
}

TEST(WorkOptionsPreview, FontSizeFromTheFirstEdit)
{
    EXPECT_EQ(WorkOptions::previewFontSize("12"), 12);
    EXPECT_EQ(WorkOptions::previewFontSize(""), 10);
    EXPECT_EQ(WorkOptions::previewFontSize("большой"), 10);
}

TEST(ConfigurationLoad, GridLinesFromADamagedFileAreLimited)
{
    test::TemporaryDirectory dir;
    test::writeFile(dir / Configuration::iniFileName,
                    lib::toCp1251("[экран]\r\nгоризонтальная_разлиновка=0\r\nвертикальная_разлиновка=-4\r\n"));
    Configuration configuration;
    configuration.loadProgramSettings(dir.path());
    EXPECT_EQ(configuration.horizontalGrid, 2);
    EXPECT_EQ(configuration.verticalGrid, 2);
}

TEST_F(WorkOptionsTest, ZeroCalibrationWithoutReadingsLeavesZeroOffsetsAndOneCutShortTheOldOnes)
{
    configuration.summatorNull = 0.5f;
    configuration.summatorNull10 = 0.7f;
    options->startZeroCalibration(true);
    EXPECT_EQ(configuration.summatorNull, 0.0f);
    EXPECT_EQ(configuration.summatorNull10, 0.0f);
    EXPECT_TRUE(configuration.summatorZeroCalibration);
    EXPECT_FALSE(configuration.summatorHighChannel);
    const WorkOptions::ZeroOffsets measured = options->finishZeroCalibration();
    EXPECT_FALSE(configuration.summatorZeroCalibration);
    EXPECT_EQ(measured.null, 0.0f);
    EXPECT_EQ(measured.null10, 0.0f);
    EXPECT_EQ(configuration.summatorNull, 0.0f);

    // Cut short (the dialog closed early), it puts the offsets stored before it back.
    configuration.summatorNull = 0.5f;
    configuration.summatorNull10 = 0.7f;
    options->startZeroCalibration(true);
    options->abandonZeroCalibration();
    EXPECT_FALSE(configuration.summatorZeroCalibration);
    EXPECT_EQ(configuration.summatorNull, 0.5f);
    EXPECT_EQ(configuration.summatorNull10, 0.7f);

    options->startZeroCalibration(true);
    options.reset();
    EXPECT_FALSE(configuration.summatorZeroCalibration) << "a calibration is never left running";
    EXPECT_EQ(configuration.summatorNull, 0.5f);
}

// The model-1 summator on a pseudo-terminal: the low channel at 1 V, the high one at 2 V.
class ZeroCalibrationTest : public WorkOptionsTest {
protected:
    ZeroCalibrationTest()
    {
        setTavir();
        configuration.summatorUse = true;
        configuration.summatorNull = 0.5f;
        configuration.summatorNull10 = 0.5f;
        configuration.portName = instrument.slavePath();
        streamer = std::thread([this] {
            instrument.readExactly(9, 5s);
            for (std::uint8_t i = 0; !stop; ++i) {
                instrument.write(framecodec::encodeSummatorReading(i, false, lowCount), 1s);
                instrument.write(framecodec::encodeSummatorReading(i, true, highCount), 1s);
                std::this_thread::sleep_for(2ms);
            }
        });
    }
    ~ZeroCalibrationTest() override
    {
        stop = true;
        streamer.join();
    }

    // Waits until both channels delivered at least two more readings than in from.
    bool readingsAfter(const Nivra::SummatorOffsets& from)
    {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto now = system->nivra.summatorOffsets();
            if (now.lowReadings >= from.lowReadings + 2 && now.highReadings >= from.highReadings + 2)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    static constexpr std::uint16_t lowCount = 819;
    static constexpr std::uint16_t highCount = 1638;
    platform::PseudoTerminal instrument;
    std::atomic<bool> stop = false;
    std::thread streamer;
};

TEST_F(ZeroCalibrationTest, MeasuresBothOffsetsAndStoresThemAtOnce)
{
    system->nivra.applyPortSettings();
    ASSERT_TRUE(system->nivra.connectSummatorOnly());
    ASSERT_TRUE(readingsAfter({}));
    EXPECT_DOUBLE_EQ(system->nivra.summatorOffsets().low, 0.5) << "the stored offset before";

    for (const bool secondShown : {true, false}) {
        options->startZeroCalibration(secondShown);
        ASSERT_TRUE(readingsAfter(system->nivra.summatorOffsets()));
        const WorkOptions::ZeroOffsets measured = options->finishZeroCalibration();
        const float low = -static_cast<float>(lowCount * 10.0 / 8191.0);
        const float high = -static_cast<float>(highCount * 10.0 / 8191.0);
        EXPECT_FLOAT_EQ(measured.null, low);
        EXPECT_FLOAT_EQ(measured.null10, secondShown ? high : low) << "a hidden second channel copies the first";
        EXPECT_FLOAT_EQ(configuration.summatorNull, measured.null);
        EXPECT_FLOAT_EQ(configuration.summatorNull10, measured.null10);
    }
    EXPECT_FALSE(std::filesystem::exists(iniPath())) << "written to the settings, saved with the next save";
}

} // namespace
