// The headless station against the simulated instruments and the remote station, as a rig runs it.
#include "app/Stationsupport.h"
#include "support/Uniformcalibration.h"

#include "analysis/Etalonstorage.h"
#include "library/Codepage.h"
#include "library/Mytime.h"
#include "platform/Mailslot.h"
#include "links/Datasender.h"
#include "results/Regfile.h"
#include "results/Textfile.h"

#include <gmock/gmock.h>

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using station::lostText;
using station::occurrences;
using test::ChildProcess;
using test::eventually;

class StationTest : public station::StationFixture {
protected:
    StationTest() { test::writeUniformCalibration(station_ / "calibr.ini"); }

    ChildProcess& chromsim(std::vector<std::string> options = {})
    {
        // Last, the test's own: of an option given twice the simulator keeps the last.
        options.insert(options.begin(), {"--speed", "40", "--length", "85", "--seed", "11"});
        simulator_.emplace(CHROMSIM_PATH, options);
        set("порт", "имя", simulator_->firstLine());  // the path of its pseudo-terminal
        return *simulator_;
    }

    ChildProcess& station(std::vector<std::string> options = {})
    {
        options.insert(options.begin(), {"--headless", "--dir", station_.string()});
        station_process_.emplace(NIVRAEXE_PATH, options);
        return *station_process_;
    }

    // The station's run to its end; the exit status.
    int finish(std::chrono::seconds limit = 60s)
    {
        const auto status = station_process_->exitStatus(limit);
        EXPECT_TRUE(status) << "still running:\n" << station_process_->errors();
        return status.value_or(-1);
    }

    bool cyclesEnded(std::size_t count, std::chrono::seconds limit = 60s)
    {
        return eventually([&] { return occurrences(station_process_->errors(), "cycle ended") >= count; }, limit);
    }

    std::string todaysExport() const
    {
        return lib::fromCp1251(test::readFile(station_ / "TextData" / TextFile::fileName(lib::fromLocalSeconds(lib::localSecondsNow()))));
    }

    std::optional<ChildProcess> simulator_;
};

TEST_F(StationTest, OneCycleReachesEveryOutput)
{
    set("NivraSystem", "save_science_values", "1");
    std::filesystem::create_directory(station_ / "Analiz");
    platform::Mailslot registration(DataSender::mailslotName, 65536);
    ASSERT_TRUE(registration.valid());
    chromsim();
    station({"--cycles", "1"});
    ASSERT_EQ(finish(), 0) << station_process_->errors();

    // stdout: one result list, every gas measured.
    const std::string out = station_process_->output();
    EXPECT_EQ(occurrences(out, "\n\n"), 1u) << out;
    EXPECT_THAT(out, HasSubstr("метан_абс="));
    EXPECT_THAT(out, Not(HasSubstr("метан_абс=0\n")));
    EXPECT_THAT(out, HasSubstr("сумм_газ="));

    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_GT(stored[0].values[0], 0.0f) << "methane";
    EXPECT_TRUE(std::filesystem::exists(station_ / "default" / "default" / "inpgti.nbl"));

    const std::string exported = todaysExport();
    EXPECT_EQ(occurrences(exported, "\n"), 2u) << "header and one line:\n" << exported;

    // The registration program: the result list, then the closing block.
    const auto results = registration.read();
    ASSERT_TRUE(results);
    EXPECT_THAT(lib::fromCp1251(*results), HasSubstr("метан_абс="));
    const auto closing = registration.read();
    ASSERT_TRUE(closing);
    EXPECT_EQ(lib::fromCp1251(closing->substr(0, closing->size() - 1)), DataSender::closingText());

    std::size_t chromatograms = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(station_ / "Analiz"))
        chromatograms += entry.path().extension() == ".rzg";
    EXPECT_EQ(chromatograms, 1u);

    const std::string journal = lib::fromCp1251(test::readFile(station_ / "события.txt"));
    EXPECT_THAT(journal, HasSubstr("Запуск программы"));
    EXPECT_THAT(journal, HasSubstr("Закрытие программы"));
    EXPECT_GT(std::filesystem::file_size(station_ / "nivra2.history"), 1000u);
}

TEST_F(StationTest, FaultsAreReportedAndLeaveNoRecord)
{
    const struct {
        const char* name;
        std::vector<std::string> simulatorOptions;  // empty: no simulator, a missing port
        const char* message;
    } cases[] = {
        {"no answer", {"--fault", "no-answer"}, "Хроматограф не ответил после запроса!"},
        {"silence mid-cycle", {"--fault", "silent-after=30"}, lostText},
        {"missing port", {}, "ОШИБКА: Невозможно открыть порт"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.simulatorOptions.empty()) {
            simulator_.reset();
            set("порт", "имя", (dir / "no-such-port").string());
        } else {
            chromsim(c.simulatorOptions);
        }
        station({"--cycles", "1"});
        EXPECT_EQ(finish(), 1);
        EXPECT_THAT(station_process_->errors(), HasSubstr(c.message));
        EXPECT_TRUE(records().empty());
        EXPECT_EQ(station_process_->output(), "");
    }
}

TEST_F(StationTest, DepthMarkSeriesFromTheRemoteStation)
{
    set("NivraSystem", "work_mode", "03000000");
    chromsim();
    station();
    ASSERT_TRUE(station_process_->waitForErrors("work mode", 20s));
    ChildProcess remote(REMOTE_PATH, {"start", "--depth", "2500.5"});
    ASSERT_EQ(remote.exitStatus(10s), 0) << remote.errors();
    // The registration program keeps reporting the depth while the series runs.
    ASSERT_TRUE(eventually(
        [&] {
            ChildProcess depth(REMOTE_PATH, {"depth", "2500.5"});
            depth.exitStatus(10s);
            return occurrences(station_process_->errors(), "cycle ended") >= 4;
        },
        90s));
    station_process_->signal(SIGTERM);
    ASSERT_EQ(finish(), 0);

    const std::string log = station_process_->errors();
    const auto first = log.find("cycle started: Вход в режим #3");
    const auto second = log.find("cycle started: Вход в режим #2");
    const auto third = log.find("cycle started: Вход в режим #1");
    const auto measured = log.find("cycle started: По метке глубины");
    ASSERT_NE(measured, std::string::npos) << log;
    EXPECT_TRUE(first < second && second < third && third < measured) << log;
    EXPECT_EQ(occurrences(log, "cycle started"), 4u) << "no cycle after the series:\n" << log;

    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u) << "entry cycles are not measured";
    EXPECT_FLOAT_EQ(stored[0].depth, 2500.5f);
}

TEST_F(StationTest, AutomaticModesRunUntilStoppedAfterTheRunningCycle)
{
    const struct {
        const char* name;
        const char* mode;
        const char* period;
    } cases[] = {
        {"continuous", "02000000", "0"},
        {"by time", "01000000", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(station_ / "default" / "default" / "data.tim");
        set("NivraSystem", "work_mode", c.mode);
        set("NivraSystem", "time_mode_period", c.period);
        chromsim();
        station();
        ASSERT_TRUE(cyclesEnded(2));
        ASSERT_TRUE(eventually([&] { return occurrences(station_process_->errors(), "cycle started") >= 3; }, 20s));
        station_process_->signal(SIGTERM);
        ASSERT_EQ(finish(), 0);
        const std::string log = station_process_->errors();
        EXPECT_EQ(occurrences(log, "cycle ended"), 3u) << "the running cycle ends first:\n" << log;
        EXPECT_EQ(records().size(), 3u);
        EXPECT_EQ(occurrences(station_process_->output(), "\n\n"), 3u);
    }
}

TEST_F(StationTest, SecondSignalEndsAtOnceAndEveryStoreIsSaved)
{
    set("NivraSystem", "work_mode", "02000000");
    chromsim({"--speed", "1"});  // a cycle far longer than the test
    station();
    ASSERT_TRUE(station_process_->waitForErrors("cycle started", 20s));
    station_process_->signal(SIGTERM);
    // The station reads signals through a signalfd, which merges signals pending together.
    ASSERT_TRUE(station_process_->waitForErrors("stopping after the running cycle", 30s))
        << station_process_->errors();
    station_process_->signal(SIGTERM);
    EXPECT_EQ(station_process_->exitStatus(30s), 0) << "the cycle runs for over a minute";
    EXPECT_TRUE(records().empty()) << "the cut cycle is not recorded";
    EXPECT_THAT(lib::fromCp1251(test::readFile(station_ / "события.txt")), HasSubstr("Закрытие программы"));
    EXPECT_EQ(setting("NivraSystem", "work_mode"), "02000000");
}

TEST_F(StationTest, ARunOfSomeCyclesLeavesTheStoredSettingsAlone)
{
    // Threshold mode without a summator in use: a mode an operator's change would refuse.
    set("NivraSystem", "work_mode", "04000000");
    station({"--demo", "--cycles", "1"});
    ASSERT_EQ(finish(), 0) << station_process_->errors();
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(setting("расчёт", "demo"), "0");
    EXPECT_EQ(setting("NivraSystem", "work_mode"), "04000000");
}

TEST_F(StationTest, WarmUpRunsThreeCyclesWithItsProgramme)
{
    chromsim();
    station({"--warm-up", "--cycles", "3"});
    ASSERT_EQ(finish(90s), 0) << station_process_->errors();
    const std::string programmes = simulator_->errors();
    // Model 0: the seventh value is the cycle duration.
    EXPECT_EQ(occurrences(programmes, "programme 2 23 30 35 55 70 65 0"), 2u) << programmes;
    EXPECT_EQ(occurrences(programmes, "programme 2 23 30 35 55 70 120 0"), 1u) << programmes;
    EXPECT_TRUE(records().empty()) << "warm-up cycles are not measured";
    EXPECT_THAT(station_process_->errors(), HasSubstr("cycle started: Прогрев колонок 3 из 3"));
    EXPECT_EQ(setting("время", "время7"), "120") << "the stored programme is kept";
}

TEST_F(StationTest, SummatorThresholdStartsACycle)
{
    const struct {
        const char* name;
        const char* model;
    } cases[] = {
        {"external summator", "00000000"},
        {"summator inside the chromatograph", "01000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::Mailslot registration(DataSender::mailslotName, 65536);
        set("порт", "device_type", c.model);
        set("газосумматор", "use", "1");
        set("порог", "porog_po_summe_value", "0.05");
        set("NivraSystem", "work_mode", "04000000");
        std::optional<ChildProcess> summsim;
        if (std::string(c.model) == "00000000") {
            summsim.emplace(SUMMSIM_PATH, std::vector<std::string>{"--percent", "1", "--rate", "10"});
            set("порт", "имя_сумм", summsim->firstLine());
            chromsim();
        } else {
            chromsim({"--model", "1", "--summator"});
        }
        station();
        ASSERT_TRUE(cyclesEnded(1)) << station_process_->errors();
        station_process_->signal(SIGTERM);
        station_process_->signal(SIGTERM);
        finish();
        EXPECT_GE(records().size(), 1u);
        bool summatorSent = false;
        while (const auto message = registration.read())
            summatorSent = summatorSent || lib::fromCp1251(*message).starts_with("сумм_газ2=");
        EXPECT_TRUE(summatorSent);
    }
}

TEST_F(StationTest, MissingInternalSummatorFallsBackToManual)
{
    set("порт", "device_type", "01000000");
    set("газосумматор", "use", "1");
    set("NivraSystem", "work_mode", "04000000");
    chromsim({"--model", "1"});
    station();
    ASSERT_TRUE(station_process_->waitForErrors("Газосумматор не найден!", 20s))
        << station_process_->errors();
    ASSERT_TRUE(station_process_->waitForErrors("work mode: Ручной режим", 5s));
    station_process_->signal(SIGTERM);
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(setting("газосумматор", "use"), "0");
    EXPECT_EQ(setting("NivraSystem", "work_mode"), "00000000");
}

} // namespace
