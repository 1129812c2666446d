// The headless station through instrument faults and a flood of remote messages: it says what
// happened, stays cheap while the fault lasts, and measures again once the instrument is back.
// The ports are symbolic links the test re-points, as a new adapter on the same name would be,
// so one station process sees the fault and the recovery.
#include "app/Stationsupport.h"

#include "library/Codepage.h"
#include "platform/Mailslot.h"
#include "platform/Mailslotclient.h"
#include "testsupport/Pseudoterminal.h"
#include "links/Datasender.h"
#include "results/Regfile.h"
#include "links/Remotecontrol.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stop_token>
#include <thread>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using station::occurrences;
using test::ChildProcess;
using test::eventually;

using station::lostText;
constexpr const char* noAnswerText = "Хроматограф не ответил после запроса!";
constexpr const char* portFailureText = "ОШИБКА: Невозможно открыть порт";
constexpr double cpuLimitPercent = 10;  // a few percent expected; room for a loaded machine
constexpr auto cpuWindow = 3s;

// Fields of /proc/<pid>/stat after the command name, which may hold blanks itself.
std::vector<std::string> statFields(pid_t pid)
{
    const std::string text = test::readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream rest(text.substr(text.rfind(')') + 1));
    std::vector<std::string> fields;
    for (std::string field; rest >> field;)
        fields.push_back(field);
    return fields;
}

// The station's process: a child of this one running the program. 0 when there is none.
pid_t runningChild(const std::filesystem::path& program)
{
    const auto wanted = std::filesystem::canonical(program);
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path() / "exe", error) != wanted)
            continue;
        const pid_t pid = std::stoi(name);
        const auto fields = statFields(pid);
        if (fields.size() > 1 && std::stoi(fields[1]) == ::getpid())  // the parent's id
            return pid;
    }
    return 0;
}

// User and system time of a process in clock ticks.
long cpuTicks(pid_t pid)
{
    const auto fields = statFields(pid);
    return fields.size() > 12 ? std::stol(fields[11]) + std::stol(fields[12]) : 0;
}

// Percent of one core the process used over the window.
double cpuPercent(pid_t pid, std::chrono::milliseconds window)
{
    const auto start = std::chrono::steady_clock::now();
    const long before = cpuTicks(pid);
    std::this_thread::sleep_for(window);
    const long used = cpuTicks(pid) - before;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    return 100.0 * static_cast<double>(used) / static_cast<double>(::sysconf(_SC_CLK_TCK)) / wall.count();
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::stol(line.substr(6));
    return 0;
}

// The line a collecting script looks for.
void printResult(const std::string& name, double cpu)
{
    const char* outcome = ::testing::Test::HasFailure() ? "failed" : "survived";
    std::printf("RESULT fault %s %s cpu=%.1f%%\n", name.c_str(), outcome, cpu);
    std::fflush(stdout);
}

class FaultsTest : public station::StationFixture {
protected:
    FaultsTest()
    {
        set("порт", "имя", chromatographLink_.string());
        set("NivraSystem", "work_mode", "02000000");  // continuous: a station that rides through
    }

    // Replaced in one step, so the station never finds the name missing half-way.
    void pointLink(const std::filesystem::path& link, const std::string& target)
    {
        const auto fresh = link.string() + ".new";
        std::filesystem::remove(fresh);
        std::filesystem::create_symlink(target, fresh);
        std::filesystem::rename(fresh, link);
    }

    ChildProcess& chromsim(std::vector<std::string> options = {}, const char* speed = "40")
    {
        for (const char* standard : {"--speed", speed, "--length", "85", "--seed", "11"})
            options.push_back(standard);
        simulator_.emplace(CHROMSIM_PATH, options);
        pointLink(chromatographLink_, simulator_->firstLine());
        return *simulator_;
    }

    ChildProcess& summsim(const std::vector<std::string>& options)
    {
        summator_.emplace(SUMMSIM_PATH, options);
        pointLink(summatorLink_, summator_->firstLine());
        return *summator_;
    }

    pid_t station()
    {
        station_process_.emplace(NIVRAEXE_PATH, std::vector<std::string>{"--headless", "--dir", station_.string()});
        EXPECT_TRUE(station_process_->waitForErrors("work mode", 20s)) << station_process_->errors();
        const pid_t pid = runningChild(NIVRAEXE_PATH);
        EXPECT_NE(pid, 0);
        return pid;
    }

    // Stopped after its running cycle.
    void stopStation()
    {
        station_process_->signal(SIGTERM);
        EXPECT_TRUE(station_process_->exitStatus(60s)) << "still running:\n" << station_process_->errors();
    }

    bool saysAgain(const std::string& text, std::size_t seenBefore, std::chrono::seconds limit)
    {
        return eventually([&] { return occurrences(station_process_->errors(), text) > seenBefore; }, limit);
    }

    bool recordsGrowFrom(std::size_t count, std::chrono::seconds limit = 30s) const
    {
        return eventually([&] { return records().size() > count; }, limit);
    }

    const std::filesystem::path chromatographLink_ = dir / "chromatograph";
    const std::filesystem::path summatorLink_ = dir / "summator";
    std::optional<ChildProcess> simulator_;
    std::optional<ChildProcess> summator_;
};

TEST_F(FaultsTest, ChromatographFaultsAreReportedCheapAndTheNextCycleMeasures)
{
    const struct {
        const char* name;
        std::vector<std::string> faults;
        const char* speed;
        const char* report;  // while the fault lasts; nullptr: nothing, the cycles end normally
        bool pulledMidCycle;
    } cases[] = {
        {"adapter-pulled", {}, "1", lostText, true},
        {"no-answer", {"--fault", "no-answer"}, "40", noAnswerText, false},
        {"silent", {"--fault", "silent-after=30"}, "40", lostText, false},
        {"line-errors", {"--fault", "line-errors"}, "40", nullptr, false},
        {"noise", {"--fault", "noise"}, "40", nullptr, false},
        // The instrument falls silent after its last frame: the second of silence ends the cycle
        // long before the programme's overrun would.
        {"no-end-marker", {"--fault", "no-end-marker"}, "40", lostText, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(station_ / "default" / "default" / "data.tim");
        ChildProcess& faulty = chromsim(c.faults, c.speed);
        const pid_t pid = station();
        ASSERT_NE(pid, 0);
        if (c.pulledMidCycle) {
            ASSERT_TRUE(station_process_->waitForErrors("cycle started", 20s));
            faulty.signal(SIGKILL);
        }
        if (c.report) {
            ASSERT_TRUE(station_process_->waitForErrors(c.report, 30s)) << station_process_->errors();
        } else {
            ASSERT_TRUE(recordsGrowFrom(0)) << "cycles measure through the fault:\n" << station_process_->errors();
        }

        const double cpu = cpuPercent(pid, cpuWindow);
        EXPECT_LT(cpu, cpuLimitPercent);
        if (!c.report) {
            EXPECT_THAT(station_process_->errors(), Not(HasSubstr(lostText)));
        }

        // Gone for good, then a sound instrument behind the same name.
        simulator_.reset();
        ASSERT_TRUE(station_process_->waitForErrors(portFailureText, 20s)) << station_process_->errors();
        const std::size_t measured = records().size();
        chromsim();
        EXPECT_TRUE(recordsGrowFrom(measured)) << station_process_->errors();
        stopStation();
        printResult(c.name, cpu);
        if (HasFailure())
            return;
    }
}

TEST_F(FaultsTest, EndlessNoiseEndsAsALossAfterTheProgrammeAndItsMargin)
{
    // A short programme and screen, so the overrun comes within the test.
    set("время", "время7", "5");
    set("режим_работы", "размер_экрана", "5");
    std::optional<platform::PseudoTerminal> noisy(std::in_place);
    // Bytes without a sync bit as fast as the line takes them; five of them pass for the answer.
    std::jthread noise([&noisy](std::stop_token stop) {
        std::vector<std::uint8_t> bytes(4096);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7 % 128);
        while (!stop.stop_requested())
            noisy->write(bytes, 50ms);
    });
    pointLink(chromatographLink_, noisy->slavePath());
    const pid_t pid = station();
    ASSERT_NE(pid, 0);
    ASSERT_TRUE(station_process_->waitForErrors("cycle started", 20s)) << station_process_->errors();
    const auto started = std::chrono::steady_clock::now();
    const double cpu = cpuPercent(pid, cpuWindow);
    EXPECT_LT(cpu, cpuLimitPercent);

    ASSERT_TRUE(station_process_->waitForErrors(lostText, 100s)) << station_process_->errors();
    const auto lostAfter = std::chrono::steady_clock::now() - started;
    EXPECT_GE(lostAfter, 60s) << "the programme's 5 s and the 60 s margin";
    EXPECT_LE(lostAfter, 90s);

    noise.request_stop();
    noise.join();
    noisy.reset();
    ASSERT_TRUE(station_process_->waitForErrors(portFailureText, 20s)) << station_process_->errors();
    chromsim();
    // No results within a five-second screen: a normal end is the sign of a sound cycle.
    EXPECT_TRUE(saysAgain("cycle ended (-96)", 0, 30s)) << station_process_->errors();
    stopStation();
    printResult("endless-noise", cpu);
}

TEST_F(FaultsTest, SummatorFaultsLeaveTheCyclesRunningAndValuesFlowAgain)
{
    const struct {
        const char* name;
        std::vector<std::string> summator;
        bool vanishes;  // read for a while, then its port disappears
    } cases[] = {
        {"summator-garbage", {"--garbage"}, false},
        {"summator-port-vanishes", {"--percent", "1", "--rate", "10"}, true},
    };
    set("порт", "device_type", "00000000");
    set("газосумматор", "use", "1");
    set("порт", "имя_сумм", summatorLink_.string());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::Mailslot registration(DataSender::mailslotName, 65536);
        ASSERT_TRUE(registration.valid()) << registration.errorText();
        const auto registered = [&registration](const std::string& start) {
            bool seen = false;
            while (const auto message = registration.read())
                seen = seen || lib::fromCp1251(*message).starts_with(start);
            return seen;
        };
        chromsim();
        ChildProcess& faulty = summsim(c.summator);
        const pid_t pid = station();
        ASSERT_NE(pid, 0);
        if (c.vanishes) {
            ASSERT_TRUE(eventually([&] { return registered("сумм_газ2=1"); }, 20s));
            faulty.signal(SIGKILL);
        }

        const std::size_t before = records().size();
        const double cpu = cpuPercent(pid, cpuWindow);
        EXPECT_LT(cpu, cpuLimitPercent);
        EXPECT_TRUE(recordsGrowFrom(before)) << "cycles run on:\n" << station_process_->errors();

        summator_.reset();
        summsim({"--percent", "2", "--rate", "10"});
        EXPECT_TRUE(eventually([&] { return registered("сумм_газ2=2"); }, 20s)) << "values flow again";
        EXPECT_THAT(station_process_->errors(), Not(HasSubstr(lostText)));
        stopStation();
        printResult(c.name, cpu);
        if (HasFailure())
            return;
    }
}

TEST_F(FaultsTest, RemoteFloodLeavesTheStationAnsweringAndItsMemoryAlone)
{
    set("NivraSystem", "work_mode", "03000000");
    chromsim();
    const pid_t pid = station();
    ASSERT_NE(pid, 0);
    const long residentBefore = residentKilobytes(pid);

    platform::MailslotClient client(RemoteControl::mailslotName);
    client.setFallbackHost("");
    std::size_t delivered = 0;
    for (int i = 0; i < 10000; ++i)
        delivered += client.send("depth=1234.5") == platform::MailslotClient::Delivery::local;
    // A full queue refuses the sender; only what the kernel holds waits for the station.
    EXPECT_GT(delivered, 0u);
    const double cpu = cpuPercent(pid, cpuWindow);
    EXPECT_LT(cpu, cpuLimitPercent);
    const long grown = residentKilobytes(pid) - residentBefore;
    EXPECT_LT(grown, 4096) << "kB";

    // A start waits behind at most the waiting messages, read two a tick.
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(eventually(
        [] {
            ChildProcess start(REMOTE_PATH, {"start", "--depth", "2500.5"});
            return start.exitStatus(10s) == 0;
        },
        60s));
    const auto backlog = std::chrono::milliseconds(200) * static_cast<long>(delivered) + 10s;
    ASSERT_TRUE(station_process_->waitForErrors("cycle started: Вход в режим #3",
                                                std::chrono::duration_cast<std::chrono::milliseconds>(backlog)))
        << "delivered " << delivered << "\n" << station_process_->errors();
    const auto answeredAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    ASSERT_TRUE(saysAgain("cycle ended", 3, 60s)) << station_process_->errors();
    stopStation();
    EXPECT_EQ(records().size(), 1u) << "the measured cycle of the series";
    std::printf("flood: %zu of 10000 messages delivered, resident memory %+ld kB, start answered after %.1f s\n",
                delivered, grown, answeredAfter);
    printResult("remote-flood", cpu);
}

} // namespace
