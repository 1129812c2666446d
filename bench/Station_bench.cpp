// The headless station measured from outside its process, against the simulated chromatograph:
//   - its CPU share of one core while one cycle streams in real time;
//   - how long after the instrument's end marker the analysis lands in data.tim, for a few
//     cycles in a row; the station acts once a tick (400 ms), so the bound is one tick plus
//     50 ms for the scheduler of a busy machine.
// A plain program rather than a Google Benchmark one: each figure comes from whole processes
// running in real time, not from a loop this process could repeat.
//
// Usage: nivra_station_bench [--smoke] [--length S] [--latency-cycles N] [--latency-speed F]
//                            [--latency-length S] [--seed N] [--station PATH] [--simulator PATH]
// --smoke runs a tiny sped-up configuration whose goals do not count: it only proves that the
// bench works. The exit status is 1 when a run went wrong or (not in a smoke run) a goal was
// missed.
#include "results/Regfile.h"
#include "settings/Inifile.h"

#include "platform/Filedescriptor.h"
#include "testsupport/Scratchfolder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <numeric>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double cpuGoalPercent = 2.0;
constexpr double tickMs = 400.0;  // the station's loop; a record may take one tick after the marker
constexpr double schedulingMs = 50.0;  // a busy machine wakes the station that much late
constexpr double recordGoalMs = tickMs + schedulingMs;
constexpr auto pollInterval = 5ms;  // data.tim is looked at this often besides on inotify
constexpr const char* iniName = "хроматограф.ini";
constexpr const char* endMarkerText = "then the end marker";
constexpr const char* cycleStartedText = "NivraExe: cycle started";
constexpr const char* cycleEndedText = "NivraExe: cycle ended";

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

double seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// The cycle lengths are 80 s: with the station's default gas table the last window closes at
// 75 s and an analysis needs 5 s beyond it, so the record can only follow the end marker, which
// arrives with those last points. A shorter cycle records nothing; a longer one records before
// the marker.
struct Settings {
    bool smoke = false;
    bool help = false;
    double lengthSeconds = 80;  // the real-time cycle
    int latencyCycles = 8;
    double latencySpeed = 20;
    double latencyLengthSeconds = 80;
    std::uint64_t seed = 1;
    std::string station = NIVRA_STATION_PATH;
    std::string simulator = NIVRA_CHROMSIM_PATH;
};

template <typename Number>
bool readNumber(std::string_view text, Number& target)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0))
        return false;
    target = value;
    return true;
}

struct Option {
    std::string_view name;
    bool takesValue;
    bool (*apply)(Settings& settings, std::string_view value);
};

constexpr std::array<Option, 9> optionTable{{
    {"--smoke", false, [](Settings& s, std::string_view) { return s.smoke = true; }},
    {"--help", false, [](Settings& s, std::string_view) { return s.help = true; }},
    {"--length", true, [](Settings& s, std::string_view v) { return readNumber(v, s.lengthSeconds); }},
    {"--latency-cycles", true, [](Settings& s, std::string_view v) { return readNumber(v, s.latencyCycles); }},
    {"--latency-speed", true, [](Settings& s, std::string_view v) { return readNumber(v, s.latencySpeed); }},
    {"--latency-length", true, [](Settings& s, std::string_view v) { return readNumber(v, s.latencyLengthSeconds); }},
    {"--seed", true, [](Settings& s, std::string_view v) { return readNumber(v, s.seed); }},
    {"--station", true,
     [](Settings& s, std::string_view v) {
         s.station = v;
         return !v.empty();
     }},
    {"--simulator", true,
     [](Settings& s, std::string_view v) {
         s.simulator = v;
         return !v.empty();
     }},
}};

std::optional<Settings> parseArguments(const std::vector<std::string_view>& arguments)
{
    Settings settings;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto equals = arguments[i].find('=');
        const auto name = arguments[i].substr(0, equals);
        const auto option = std::find_if(optionTable.begin(), optionTable.end(),
                                         [name](const Option& o) { return o.name == name; });
        if (option == optionTable.end()) {
            std::cerr << "unknown argument: " << arguments[i] << '\n';
            return std::nullopt;
        }
        std::string_view value;
        if (option->takesValue && equals != std::string_view::npos)
            value = arguments[i].substr(equals + 1);
        else if (option->takesValue && i + 1 < arguments.size())
            value = arguments[++i];
        else if (option->takesValue) {
            std::cerr << name << " needs a value\n";
            return std::nullopt;
        }
        if (!option->apply(settings, value)) {
            std::cerr << name << ": bad value " << value << '\n';
            return std::nullopt;
        }
    }
    return settings;
}

// The complete lines a pipe has delivered so far.
class LinePipe {
public:
    explicit LinePipe(platform::FileDescriptor fd) : fd_(std::move(fd))
    {
        if (fd_.valid())
            ::fcntl(fd_.get(), F_SETFL, ::fcntl(fd_.get(), F_GETFL) | O_NONBLOCK);
    }

    int fd() const { return fd_.get(); }
    bool open() const { return fd_.valid(); }

    std::vector<std::string> take()
    {
        std::array<char, 4096> buffer;
        for (;;) {
            const ssize_t got = fd_.valid() ? ::read(fd_.get(), buffer.data(), buffer.size()) : 0;
            if (got > 0)
                partial_.append(buffer.data(), static_cast<std::size_t>(got));
            else if (got < 0 && errno == EINTR)
                continue;
            else {
                if (got == 0 || errno != EAGAIN)
                    fd_.close();
                break;
            }
        }
        std::vector<std::string> lines;
        for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
            lines.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
        }
        return lines;
    }

private:
    platform::FileDescriptor fd_;
    std::string partial_;
};

// A started program with its stdout and stderr on pipes (stdout to /dev/null unless kept);
// ended and reaped if still running when it goes away.
class Program {
public:
    struct Exit {
        int code = -1;
        double cpuSeconds = 0;  // user + system, all threads
        Clock::time_point at;
    };

    Program(const std::string& path, std::vector<std::string> arguments, bool keepOutput) : started_(Clock::now())
    {
        std::array<int, 2> out{-1, -1}, err{-1, -1};
        if (::pipe2(err.data(), O_CLOEXEC) != 0 || (keepOutput && ::pipe2(out.data(), O_CLOEXEC) != 0))
            throw std::runtime_error("no pipe");
        platform::FileDescriptor outRead(out[0]), outWrite(out[1]), errRead(err[0]), errWrite(err[1]);

        arguments.insert(arguments.begin(), path);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (keepOutput)
            ::posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
        else
            ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
        const int failed = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " + path + ": " + std::strerror(failed));
        output_ = LinePipe(std::move(outRead));
        errors_ = LinePipe(std::move(errRead));
    }

    ~Program()
    {
        if (exit_)
            return;
        ::kill(pid_, SIGTERM);
        if (!wait(3s)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }
    LinePipe& output() { return output_; }
    LinePipe& errors() { return errors_; }

    // The exit once the program has ended; a running program is not waited for.
    const std::optional<Exit>& reap()
    {
        if (exit_)
            return exit_;
        int status = 0;
        rusage usage{};
        if (::wait4(pid_, &status, WNOHANG, &usage) == pid_) {
            const auto cpu = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
            exit_ = Exit{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                         cpu(usage.ru_utime) + cpu(usage.ru_stime), Clock::now()};
        }
        return exit_;
    }

    const std::optional<Exit>& wait(Clock::duration timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (!reap() && Clock::now() < deadline)
            std::this_thread::sleep_for(pollInterval);
        return exit_;
    }

private:
    pid_t pid_ = 0;
    Clock::time_point started_;
    LinePipe output_{platform::FileDescriptor()};
    LinePipe errors_{platform::FileDescriptor()};
    std::optional<Exit> exit_;
};

// User + system time of a running (or not yet reaped) process, all its threads.
double cpuSecondsOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto afterName = text.rfind(')');
    if (afterName == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(afterName + 2));
    std::string field;
    // state is field 3 of the file; utime and stime are fields 14 and 15.
    for (int index = 3; index < 14 && fields >> field; ++index) {
    }
    long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::size_t recordsIn(const std::filesystem::path& resultsFile)
{
    // The rule results::ResultsFile counts by: a torn record at the end does not count.
    std::error_code error;
    const auto size = std::filesystem::file_size(resultsFile, error);
    return error ? 0 : static_cast<std::size_t>(size / reg_file::File::recordSize);
}

struct Plan {
    double speed = 1;
    double lengthSeconds = 80;
    int cycles = 1;
    std::uint64_t seed = 1;
};

struct Figures {
    int exitCode = -1;
    int cyclesEnded = 0;
    std::size_t records = 0;
    double cycleCpuShare = 0;    // % of one core between cycle start and end
    double processCpuShare = 0;  // % of one core over the whole run, start-up and closing included
    std::vector<double> latenciesMs;
    std::string problem;         // why the run could not be measured
};

// One run of the station against the simulator, watched from outside: the two programs' logs,
// read as they come with a time stamp each, and the growth of data.tim.
class StationRun {
public:
    StationRun(const Settings& settings, const Plan& plan) : settings_(settings), plan_(plan)
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (folder_.path() / "mail").c_str(), 1);
        std::filesystem::create_directories(folder_.path() / "mail");
        std::filesystem::create_directories(stationFolder());
    }

    Figures measure()
    {
        Figures figures;
        try {
            writeDefaultSettings();
            Program simulator(settings_.simulator, simulatorArguments(), true);
            setPort(terminalOf(simulator));
            Program station(settings_.station, {"--headless", "--cycles", std::to_string(plan_.cycles), "--dir",
                                                stationFolder().string()},
                            false);
            watch(station, simulator, figures);
            simulator.wait(10s);
        } catch (const std::runtime_error& error) {
            figures.problem = error.what();
        }
        return figures;
    }

private:
    std::filesystem::path stationFolder() const { return folder_.path() / "station"; }
    std::filesystem::path wellFolder() const { return stationFolder() / "default" / "default"; }
    std::filesystem::path resultsFile() const { return wellFolder() / "data.tim"; }

    // Wakes the watch as soon as the station writes into the well's folder.
    platform::FileDescriptor watchWellFolder() const
    {
        platform::FileDescriptor fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        if (fd.valid() && ::inotify_add_watch(fd.get(), wellFolder().c_str(), IN_MODIFY | IN_CREATE | IN_MOVED_TO) < 0)
            fd.close();
        return fd;
    }

    static void drain(const platform::FileDescriptor& fd)
    {
        std::array<char, 4096> events;
        while (fd.valid() && ::read(fd.get(), events.data(), events.size()) > 0) {
        }
    }

    std::vector<std::string> simulatorArguments() const
    {
        return {"--speed", std::to_string(plan_.speed), "--length", std::to_string(plan_.lengthSeconds),
                "--seed", std::to_string(plan_.seed), "--cycles", std::to_string(plan_.cycles)};
    }

    // A first start with no cycle leaves the settings file for the port to be set in.
    void writeDefaultSettings()
    {
        Program station(settings_.station, {"--headless", "--cycles", "0", "--dir", stationFolder().string()}, false);
        const auto& exit = station.wait(60s);
        if (!exit || exit->code != 0)
            throw std::runtime_error("the station did not start up and close (--cycles 0)");
    }

    void setPort(const std::string& terminal)
    {
        lib::IniFile ini(stationFolder() / iniName);
        ini.writeString("порт", "имя", terminal);
    }

    static std::string terminalOf(Program& simulator)
    {
        const auto deadline = Clock::now() + 10s;
        while (Clock::now() < deadline) {
            pollfd fd{simulator.output().fd(), POLLIN, 0};
            ::poll(&fd, 1, 50);
            const auto lines = simulator.output().take();
            if (!lines.empty())
                return lines.front();
            if (!simulator.output().open())
                break;
        }
        throw std::runtime_error("the simulator printed no terminal");
    }

    Clock::duration timeLimit() const
    {
        const double perCycle = plan_.lengthSeconds / plan_.speed + 10;
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(plan_.cycles * perCycle + 60));
    }

    void watch(Program& station, Program& simulator, Figures& figures)
    {
        const auto deadline = Clock::now() + timeLimit();
        const auto wellChanges = watchWellFolder();
        while (!station.reap()) {
            if (Clock::now() > deadline)
                throw std::runtime_error("the station did not finish its cycles in time");
            std::array<pollfd, 3> fds{{{station.errors().fd(), POLLIN, 0},
                                       {simulator.errors().fd(), POLLIN, 0},
                                       {wellChanges.get(), POLLIN, 0}}};
            ::poll(fds.data(), fds.size(), static_cast<int>(pollInterval.count()));
            drain(wellChanges);
            look(station, simulator);
        }
        look(station, simulator);
        summarise(station, figures);
    }

    // Everything new since the last look, stamped with the time it was seen.
    void look(Program& station, Program& simulator)
    {
        const auto now = Clock::now();
        for (const auto& line : station.errors().take())
            onStationLine(line, now, station.pid());
        for (const auto& line : simulator.errors().take())
            if (line.find(endMarkerText) != std::string::npos)
                markers_.push_back(now);
        simulator.output().take();
        const auto count = recordsIn(resultsFile());
        const auto seen = Clock::now();
        while (records_.size() < count)
            records_.push_back(seen);
    }

    // The station's CPU time is read when a cycle starts and ends; an ended process can still
    // be read until it is reaped.
    void onStationLine(const std::string& line, Clock::time_point at, pid_t station)
    {
        if (line.starts_with(cycleStartedText)) {
            cycleStart_ = {at, cpuSecondsOf(station)};
        } else if (line.starts_with(cycleEndedText)) {
            ++cyclesEnded_;
            if (cycleStart_) {
                cycleWall_ += at - cycleStart_->first;
                cycleCpu_ += cpuSecondsOf(station) - cycleStart_->second;
            }
            cycleStart_.reset();
        }
    }

    void summarise(Program& station, Figures& figures) const
    {
        const auto& exit = *station.reap();
        figures.exitCode = exit.code;
        figures.cyclesEnded = cyclesEnded_;
        figures.records = records_.size();
        figures.processCpuShare = 100.0 * exit.cpuSeconds / seconds(exit.at - station.started());
        figures.cycleCpuShare = cycleWall_.count() > 0 ? 100.0 * cycleCpu_ / seconds(cycleWall_) : 0;
        for (std::size_t i = 0; i < std::min(markers_.size(), records_.size()); ++i)
            figures.latenciesMs.push_back(milliseconds(records_[i] - markers_[i]));
    }

    const Settings& settings_;
    const Plan plan_;
    platform::ScratchFolder folder_{"nivra-station-bench"};
    std::vector<Clock::time_point> markers_;
    std::vector<Clock::time_point> records_;
    int cyclesEnded_ = 0;
    std::optional<std::pair<Clock::time_point, double>> cycleStart_;  // when, CPU seconds then
    Clock::duration cycleWall_{};
    double cycleCpu_ = 0;
};

// The table: one figure a line, its goal and whether it was met. A smoke run only proves that
// the bench works: its goals do not count, what the station must always do does.
class Report {
public:
    explicit Report(bool goalsCount) : goalsCount_(goalsCount)
    {
        std::cout << std::left << std::setw(38) << "name" << std::setw(16) << "value" << std::setw(18) << "goal"
                  << "verdict\n";
    }

    void info(const std::string& name, const std::string& value, const std::string& note = "")
    {
        line(name, value, note, "");
    }

    void goal(const std::string& name, const std::string& value, const std::string& goal, bool met)
    {
        failed_ = failed_ || (!met && goalsCount_);
        line(name, value, goal, met ? "ok" : goalsCount_ ? "MISSED" : "missed (smoke: ignored)");
    }

    void check(const std::string& name, const std::string& value, const std::string& expected, bool met)
    {
        failed_ = failed_ || !met;
        line(name, value, expected, met ? "ok" : "FAILED");
    }

    bool failed() const { return failed_; }

private:
    static void line(const std::string& name, const std::string& value, const std::string& goal,
                     const std::string& verdict)
    {
        std::cout << std::left << std::setw(38) << name << std::setw(16) << value << std::setw(18) << goal << verdict
                  << '\n';
    }

    bool goalsCount_;
    bool failed_ = false;
};

std::string fixed(double value, int decimals, std::string_view unit)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value << ' ' << unit;
    return text.str();
}

// The station's own outcome: a run that went wrong measures nothing.
bool reportRun(Report& report, const std::string& prefix, const Figures& figures, const Plan& plan)
{
    if (!figures.problem.empty()) {
        report.check(prefix + "run", "not measured", "", false);
        std::cout << "  " << figures.problem << '\n';
        return false;
    }
    const auto cycles = static_cast<std::size_t>(plan.cycles);
    report.check(prefix + "exit_status", std::to_string(figures.exitCode), "0", figures.exitCode == 0);
    report.check(prefix + "cycles_recorded", std::to_string(figures.records) + "/" + std::to_string(cycles), "all",
               figures.records == cycles && figures.cyclesEnded == plan.cycles);
    return figures.exitCode == 0;
}

void reportLatencies(Report& report, const std::string& prefix, const std::vector<double>& latencies)
{
    const std::string goal = "<= " + fixed(recordGoalMs, 0, "ms");
    if (latencies.size() == 1) {
        report.goal(prefix + "marker_to_record", fixed(latencies.front(), 1, "ms"), goal,
                    latencies.front() <= recordGoalMs);
        return;
    }
    if (latencies.empty()) {
        report.check(prefix + "marker_to_record", "no cycle", "", false);
        return;
    }
    const auto [low, high] = std::minmax_element(latencies.begin(), latencies.end());
    const double mean = std::accumulate(latencies.begin(), latencies.end(), 0.0) / static_cast<double>(latencies.size());
    report.info(prefix + "marker_to_record_min", fixed(*low, 1, "ms"));
    report.info(prefix + "marker_to_record_mean", fixed(mean, 1, "ms"));
    report.goal(prefix + "marker_to_record_max", fixed(*high, 1, "ms"), goal, *high <= recordGoalMs);
}

// Cycles start on a tick, so where the end marker falls between two ticks is the same every
// cycle: a whole number of ticks puts it just after one, the slowest case.
void describe(const std::string& what, const Plan& plan)
{
    const double ticks = plan.lengthSeconds / plan.speed / (tickMs / 1000);
    std::cout << what << ": " << plan.cycles << " cycle(s) of " << plan.lengthSeconds << " s at speed " << plan.speed
              << " (" << std::setprecision(4) << ticks << " ticks each), seed " << plan.seed << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    auto settings = parseArguments({argv + 1, argv + argc});
    if (!settings)
        return 2;
    if (settings->help) {
        std::cout << "Usage: nivra_station_bench [--smoke] [--length S] [--latency-cycles N] [--latency-speed F]\n"
                     "                           [--latency-length S] [--seed N] [--station PATH] [--simulator PATH]\n";
        return 0;
    }
    // The smoke run sends faster than real time: its CPU share says nothing about the goal.
    const Plan realTime{settings->smoke ? 40.0 : 1.0, settings->lengthSeconds, 1, settings->seed};
    const Plan inARow{settings->smoke ? 80.0 : settings->latencySpeed, settings->latencyLengthSeconds,
                      settings->smoke ? 2 : settings->latencyCycles, settings->seed + 1};
    std::cout << "station: " << settings->station << '\n';
    describe("real-time run", realTime);
    describe("latency run", inARow);
    std::cout << '\n' << std::flush;

    const Figures single = StationRun(*settings, realTime).measure();
    const Figures series = StationRun(*settings, inARow).measure();

    Report report(!settings->smoke);
    if (reportRun(report, "realtime_", single, realTime)) {
        report.goal("realtime_cpu_share_in_cycle", fixed(single.cycleCpuShare, 2, "%"),
                    "< " + fixed(cpuGoalPercent, 0, "%"), single.cycleCpuShare < cpuGoalPercent);
        report.info("realtime_cpu_share_whole_run", fixed(single.processCpuShare, 2, "%"), "(start-up incl.)");
        reportLatencies(report, "realtime_", single.latenciesMs);
    }
    if (reportRun(report, "series_", series, inARow))
        reportLatencies(report, "series_", series.latenciesMs);
    return report.failed() ? 1 : 0;
}
