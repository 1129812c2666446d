// The windowed station in this process, Qt on its offscreen platform (which still paints into a
// backing store, so the drawing is paid for), over a program folder with a full well:
//   - start-up, from the station's construction to the first painted main window, and closing,
//     the closing sequence with everything saved and the window and station gone;
//   - while one cycle of the simulated chromatograph streams in real time: the process's CPU
//     share of one core, and the longest stall of the window thread, the lateness of a 10 ms
//     timer in it.
// A plain program rather than a Google Benchmark one: the figures come from one station's
// start, cycle and close in real time, not from a loop that could repeat them.
//
// Usage: nivra_window_bench [--smoke] [--no-cycle] [--length S] [--seed N] [--simulator PATH]
// --smoke runs a small well and a sped-up cycle whose goals do not count: it only proves that
// the bench works. --no-cycle measures start-up and closing only. The exit status is 1 when a
// run went wrong or (not in a smoke run) a goal was missed.
#include "app/Nivramainform.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "library/Decimalseparator.h"
#include "library/Lockobject.h"
#include "library/Locker.h"
#include "platform/Beep.h"
#include "results/History.h"
#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "station/Station.h"
#include "testsupport/Recordingnotifier.h"
#include "testsupport/Scratchfolder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <boost/signals2/connection.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double cpuGoalPercent = 3.0;
constexpr double stallGoalMs = 50.0;
constexpr double startUpGoalMs = 1000.0;
constexpr double closingGoalMs = 1000.0;
constexpr auto probeInterval = 10ms;
constexpr int historyEntries = static_cast<int>(History::maxEntries);

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

double seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// What the program folder holds before the measured start.
struct Well {
    int analyses = 100000;
    std::size_t trendPoints = TSummCurve::maxFilePoints;  // thirty days, one a second
};

struct Settings {
    bool smoke = false;
    bool noCycle = false;
    bool help = false;
    double lengthSeconds = 120;  // the simulator's own cycle
    std::uint64_t seed = 1;
    std::string simulator = NIVRA_CHROMSIM_PATH;

    double speed() const { return smoke ? 40.0 : 1.0; }
    double length() const { return smoke ? 85.0 : lengthSeconds; }
    Well well() const { return smoke ? Well{1000, 86400} : Well{}; }
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

constexpr std::array<Option, 6> optionTable{{
    {"--smoke", false, [](Settings& s, std::string_view) { return s.smoke = true; }},
    {"--no-cycle", false, [](Settings& s, std::string_view) { return s.noCycle = true; }},
    {"--help", false, [](Settings& s, std::string_view) { return s.help = true; }},
    {"--length", true, [](Settings& s, std::string_view v) { return readNumber(v, s.lengthSeconds); }},
    {"--seed", true, [](Settings& s, std::string_view v) { return readNumber(v, s.seed); }},
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

// ---------------------------------------------------------------------------------------------
// The program folder

// Six gases, the total and six shares, as the results table of a well holds them.
CalculatedGazes analysis()
{
    CalculatedGazes results;
    const char* gases[] = {"метан", "этан", "пропан", "ибутан", "нбутан", "пентан"};
    for (const char* gas : gases)
        results.push_back({0, gas, "", std::string(gas) + "_абс", "", "", 0.0012, 0, 0, 0});
    results.push_back({0, CalculatedGaz::totalName, "", CalculatedGaz::totalName, "", "", 0.0072, 0, 0, 1});
    for (const char* gas : gases)
        results.push_back({0, std::string(gas) + "_отн", "", std::string(gas) + "_отн", "", "", 16.7, 0, 0, 1});
    return results;
}

// A live curve of an analysis of the given length: baseline and one peak.
MyGraphics liveCurve(int rate, int lengthSeconds)
{
    MyGraphics curve;
    CurvePoints points;
    for (int i = 0; i < rate * lengthSeconds; ++i) {
        const double t = static_cast<double>(i) / rate;
        CurvePoint point;
        point.value = 0.4 + 30 * std::exp(-0.5 * std::pow((t - 12.5) / 0.8, 2)) + 0.01 * std::sin(t * 7.3);
        point.second = static_cast<std::int32_t>(t);
        points.push_back(point);
    }
    curve.setSamples(std::move(points));
    return curve;
}

// The days of the trend's clock (days since 30 December 1899) now.
double trendNow()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count() / 86400.0 + 25569.0;
}

// The history and the summator trend through a station of their own, which saves them when it
// closes as the program does; then the results file of the well, record by record.
void prepareFolder(const fs::path& folder, const Well& well)
{
    fs::path wellFolder;
    {
        Configuration configuration;
        platform::RecordingNotifier notifier;
        Station station(configuration, notifier, folder);
        station.startUp();
        const MyGraphics live = liveCurve(configuration.samplesPerSecond, configuration.screenSeconds);
        for (int i = 0; i < historyEntries; ++i)
            station.system().history.add(live);
        {
            const lib::Locker lock(station.summatorTrendLock());
            const double first = trendNow() - static_cast<double>(well.trendPoints) / 86400.0;
            for (std::size_t i = 0; i < well.trendPoints; ++i)
                station.summatorTrend().append(first + static_cast<double>(i) / 86400.0,
                                               1000.0F + static_cast<float>(i) * 1e-4F,
                                               static_cast<float>(i % 997) * 0.01F);
        }
        station.closeDown();
        wellFolder = station.wellFolder();
    }

    reg_file::Params params;
    reg_file::File record;
    const CalculatedGazes results = analysis();
    for (std::size_t k = 0; k < results.size(); ++k) {
        params.push_back(reg_file::Param::percent(results[k].name, results[k].key));
        record.values[k] = static_cast<float>(results[k].concentration);
    }
    if (!reg_file::writeChannelList(wellFolder / TextGrid::channelListName, params))
        throw std::runtime_error("the channel list was not written");
    std::ofstream file(wellFolder / Station::resultsFileName, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < well.analyses; ++i) {
        record.time = static_cast<lib::LocalSeconds>(1191428700 + 600 * i);
        record.depth = 1000.0F + 0.1F * static_cast<float>(i);
        const auto bytes = record.bytes();
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (!file.flush())
        throw std::runtime_error("the results file was not written");
}

// The station starts once a day, its files long out of the page cache: the folder's files are
// written out and dropped from it, so the start reads them from the disk.
void evictFromPageCache(const fs::path& folder)
{
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// ---------------------------------------------------------------------------------------------
// The simulated chromatograph

// nivra-chromsim with its output in files; ended and reaped when it goes away.
class Simulator {
public:
    Simulator(const Settings& settings, const fs::path& folder)
        : output_(folder / "chromsim.out"), errors_(folder / "chromsim.err")
    {
        std::vector<std::string> arguments{settings.simulator,      "--speed", std::to_string(settings.speed()),
                                           "--length",              std::to_string(settings.length()),
                                           "--seed",                std::to_string(settings.seed),
                                           "--cycles",              "1"};
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int failed = ::posix_spawn(&pid_, settings.simulator.c_str(), &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            throw std::runtime_error("cannot start " + settings.simulator + ": " + std::strerror(failed));
    }

    ~Simulator()
    {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_)
            return;
        ::kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + 3s;
        while (Clock::now() < deadline) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_)
                return;
            std::this_thread::sleep_for(10ms);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The pseudo-terminal it serves, the first line it prints.
    std::string terminal() const
    {
        const auto deadline = Clock::now() + 10s;
        while (Clock::now() < deadline) {
            std::ifstream file(output_);
            std::string line;
            if (std::getline(file, line) && !file.eof())
                return line;
            std::this_thread::sleep_for(10ms);
        }
        throw std::runtime_error("the simulator printed no terminal: " + errors());
    }

    std::string errors() const
    {
        std::ifstream file(errors_);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    fs::path output_;
    fs::path errors_;
    pid_t pid_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Watching the window thread

double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto toSeconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

struct CpuMark {
    Clock::time_point at = Clock::now();
    double process = cpuSeconds(RUSAGE_SELF);  // every thread of the station; the simulator is another process
    double windowThread = cpuSeconds(RUSAGE_THREAD);  // taken on the window thread
};

// The first painting of the main window (any of its widgets), and how often its backing store
// is brought up to date afterwards.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(const QWidget& window) : window_(window) { QApplication::instance()->installEventFilter(this); }
    ~PaintWatch() override { QApplication::instance()->removeEventFilter(this); }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    bool painted() const { return painted_; }
    int updates() const { return updates_; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == &window_)
            painted_ = true;
        else if (event->type() == QEvent::UpdateRequest && watched == &window_)
            ++updates_;
        return false;
    }

private:
    const QWidget& window_;
    bool painted_ = false;
    int updates_ = 0;
};

// A timer every 10 ms on the window thread: how late each tick comes is how long the thread
// was kept from its events.
class StallProbe {
public:
    StallProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(probeInterval);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            const auto now = Clock::now();
            lateness_.push_back(std::max(0.0, milliseconds(now - last_ - probeInterval)));
            if (lateness_.back() > worst_) {
                worst_ = lateness_.back();
                worstAt_ = seconds(now - started_);
            }
            last_ = now;
        });
    }

    void start()
    {
        lateness_.clear();
        worst_ = worstAt_ = 0;
        started_ = last_ = Clock::now();
        timer_.start();
    }
    void stop() { timer_.stop(); }

    std::size_t ticks() const { return lateness_.size(); }
    // Seconds after start() the longest stall ended.
    double worstAt() const { return worstAt_; }
    double maxMs() const { return worst_; }
    double percentileMs(double share) const
    {
        if (lateness_.empty())
            return 0;
        std::vector<double> sorted = lateness_;
        const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(at), sorted.end());
        return sorted[at];
    }

private:
    QTimer timer_;
    Clock::time_point started_;
    Clock::time_point last_;
    double worst_ = 0;
    double worstAt_ = 0;
    std::vector<double> lateness_;
};

// Runs the window thread's events until done() holds or the time is up; false then.
bool processUntil(const std::function<bool()>& done, Clock::duration timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// One station: start, a cycle, close

struct StartFigures {
    // What the station held once its window was up.
    std::size_t analyses = 0;
    std::size_t trendPoints = 0;
    std::size_t historyEntries = 0;
    double stationMs = 0;  // construction and startUp()
    double windowMs = 0;   // the main window built, services started
    double paintMs = 0;    // show() to the first painted window
    double totalMs = 0;
};

struct CycleFigures {
    bool recorded = false;
    double seconds = 0;
    double cpuShare = 0;           // % of one core, the whole process
    double windowThreadShare = 0;  // % of one core, the window thread alone
    double stallMaxMs = 0;
    double stall99Ms = 0;
    double stallMaxAt = 0;  // seconds after the press
    std::size_t probeTicks = 0;
    double updatesPerSecond = 0;
};

struct CloseFigures {
    bool closedDown = false;
    double sequenceMs = 0;  // closeUnattended() until closedDown()
    double totalMs = 0;     // and the window and the station gone, their threads ended
};

struct Figures {
    std::string screen;
    fs::path wellFolder;
    StartFigures start;
    CycleFigures cycle;
    CloseFigures close;
    std::string problem;
    std::vector<std::string> messages;  // what the station told the operator
};

class WindowRun {
public:
    WindowRun(const Settings& settings, const fs::path& folder) : settings_(settings), folder_(folder) {}

    void measure(Figures& figures)
    {
        try {
            run(figures);
        } catch (...) {
            takeMessages(figures);
            throw;
        }
        takeMessages(figures);
    }

    ~WindowRun()
    {
        watch_.reset();
        if (window_ && !window_->closedDown())
            window_->closeUnattended(true);
    }

private:
    void run(Figures& figures)
    {
        const auto started = Clock::now();
        station_.emplace(configuration_, notifier_, folder_);
        station_->startUp();
        configuration_.firstStart = false;  // a well in use: no setup wizard
        figures.wellFolder = station_->wellFolder();
        const auto stationReady = Clock::now();
        window_ = std::make_unique<TNivraMainForm>(*station_, configuration_);
        const auto windowReady = Clock::now();
        watch_ = std::make_unique<PaintWatch>(*window_);
        window_->show();
        if (!processUntil([this] { return watch_->painted(); }, 30s))
            throw std::runtime_error("the main window was never painted");
        const auto painted = Clock::now();
        figures.start.stationMs = milliseconds(stationReady - started);
        figures.start.windowMs = milliseconds(windowReady - stationReady);
        figures.start.paintMs = milliseconds(painted - windowReady);
        figures.start.totalMs = milliseconds(painted - started);
        figures.start.analyses = station_->system().textGrid.recordCount();
        figures.start.historyEntries = station_->system().history.entryCount();
        {
            const lib::Locker lock(station_->summatorTrendLock());
            figures.start.trendPoints = station_->summatorTrend().size();
        }
        if (const QScreen* screen = window_->screen())
            figures.screen = std::to_string(screen->geometry().width()) + " x " + std::to_string(screen->geometry().height())
                             + ", window " + std::to_string(window_->width()) + " x " + std::to_string(window_->height());

        if (!settings_.noCycle)
            runCycle(figures.cycle);

        watch_.reset();
        const auto closing = Clock::now();
        window_->closeUnattended(true);
        figures.close.closedDown = window_->closedDown();
        const auto closedDown = Clock::now();
        window_.reset();
        station_.reset();
        const auto gone = Clock::now();
        figures.close.sequenceMs = milliseconds(closedDown - closing);
        figures.close.totalMs = milliseconds(gone - closing);
    }

    void takeMessages(Figures& figures) const
    {
        for (const auto& message : notifier_.messages())
            figures.messages.push_back(message.text);
    }

    Clock::duration cycleTimeLimit() const
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(settings_.length() / settings_.speed() + 60));
    }

    // "Запуск" as the operator presses it; the figures run from the instrument's start of the
    // cycle to its end, the probe from the press until the analysis is in the results file.
    void runCycle(CycleFigures& figures)
    {
        NivraSystem& system = station_->system();
        const std::size_t recordsBefore = system.textGrid.recordCount();
        std::optional<CpuMark> begin, end;
        QEventLoop loop;
        const boost::signals2::scoped_connection started = system.cycleStarted.connect([&] { begin.emplace(); });
        const boost::signals2::scoped_connection finished = system.cycleFinished.connect([&](std::int32_t) {
            end.emplace();
            loop.quit();
        });
        // An instrument that does not answer or is lost ends the cycle without cycleFinished.
        const boost::signals2::scoped_connection state = system.stateChanged.connect([&] {
            if (station_->idle())
                loop.quit();
        });
        QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(cycleTimeLimit()), &loop, &QEventLoop::quit);

        StallProbe probe;
        const int updatesBefore = watch_->updates();
        probe.start();
        window_->action(QStringLiteral("Запуск"))->trigger();
        if (!station_->idle())
            loop.exec();
        if (!begin || !end)
            throw std::runtime_error("the cycle did not run: " + system.curve.title());
        figures.recorded = processUntil([&] { return system.textGrid.recordCount() > recordsBefore; }, 10s);
        probe.stop();

        const double wall = seconds(end->at - begin->at);
        figures.seconds = wall;
        figures.cpuShare = 100.0 * (end->process - begin->process) / wall;
        figures.windowThreadShare = 100.0 * (end->windowThread - begin->windowThread) / wall;
        figures.stallMaxMs = probe.maxMs();
        figures.stall99Ms = probe.percentileMs(0.99);
        figures.stallMaxAt = probe.worstAt();
        figures.probeTicks = probe.ticks();
        figures.updatesPerSecond = (watch_->updates() - updatesBefore) / wall;
    }

    const Settings& settings_;
    const fs::path folder_;
    Configuration configuration_;
    platform::RecordingNotifier notifier_;
    std::optional<Station> station_;
    std::unique_ptr<TNivraMainForm> window_;
    std::unique_ptr<PaintWatch> watch_;
};

// The stores are written back whole: the trend at least as long as it was, every history entry.
bool storesSaved(const fs::path& folder, const fs::path& wellFolder, const Well& well)
{
    std::error_code error;
    const auto trendBytes = fs::file_size(wellFolder / Station::summatorTrendName, error);
    if (error || trendBytes < TSummCurve::headerSize + well.trendPoints * sizeof(SummCurvePoint))
        return false;
    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases(bufferLock);
    CalculatedGazes results;
    History history(configuration, gases, results);
    history.load(folder / History::fileName);
    return history.entryCount() == History::maxEntries;
}

// ---------------------------------------------------------------------------------------------
// The table

// One figure a line, its goal and whether it was met. A smoke run only proves that the bench
// works: its goals do not count, what the station must always do does.
class Report {
public:
    explicit Report(bool goalsCount) : goalsCount_(goalsCount)
    {
        std::cout << std::left << std::setw(40) << "name" << std::setw(16) << "value" << std::setw(18) << "goal"
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
        std::cout << std::left << std::setw(40) << name << std::setw(16) << value << std::setw(18) << goal << verdict
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

std::string below(double goal, std::string_view unit)
{
    return "< " + fixed(goal, 0, unit);
}

void reportStart(Report& report, const StartFigures& start, const Well& well)
{
    const auto count = [&report](const std::string& name, std::size_t held, std::size_t prepared) {
        report.check(name, std::to_string(held), std::to_string(prepared), held == prepared);
    };
    count("startup_analyses_loaded", start.analyses, static_cast<std::size_t>(well.analyses));
    count("startup_trend_points_loaded", start.trendPoints, well.trendPoints);
    count("startup_history_entries_loaded", start.historyEntries, History::maxEntries);
    report.goal("startup_to_first_paint", fixed(start.totalMs, 1, "ms"), below(startUpGoalMs, "ms"),
                start.totalMs < startUpGoalMs);
    report.info("startup_station", fixed(start.stationMs, 1, "ms"), "(startUp)");
    report.info("startup_window", fixed(start.windowMs, 1, "ms"), "(window, services)");
    report.info("startup_show_to_paint", fixed(start.paintMs, 1, "ms"));
}

void reportCycle(Report& report, const CycleFigures& cycle)
{
    report.check("cycle_recorded", cycle.recorded ? "yes" : "no", "yes", cycle.recorded);
    report.info("cycle_length", fixed(cycle.seconds, 1, "s"), "(start to end)");
    report.goal("cycle_cpu_share", fixed(cycle.cpuShare, 2, "%"), below(cpuGoalPercent, "%"),
                cycle.cpuShare < cpuGoalPercent);
    report.info("cycle_cpu_share_window_thread", fixed(cycle.windowThreadShare, 2, "%"));
    report.goal("cycle_window_stall_max", fixed(cycle.stallMaxMs, 1, "ms"), below(stallGoalMs, "ms"),
                cycle.stallMaxMs < stallGoalMs);
    report.info("cycle_window_stall_max_at", fixed(cycle.stallMaxAt, 1, "s"), "(after the press)");
    report.info("cycle_window_stall_p99", fixed(cycle.stall99Ms, 2, "ms"),
                "(" + std::to_string(cycle.probeTicks) + " ticks)");
    report.info("cycle_window_updates_per_s", fixed(cycle.updatesPerSecond, 2, "/s"));
}

void reportClose(Report& report, const CloseFigures& close, bool storesSaved)
{
    report.check("closing_closed_down", close.closedDown ? "yes" : "no", "yes", close.closedDown);
    report.check("closing_stores_saved", storesSaved ? "yes" : "no", "yes", storesSaved);
    report.goal("closing_total", fixed(close.totalMs, 1, "ms"), below(closingGoalMs, "ms"), close.totalMs < closingGoalMs);
    report.info("closing_sequence", fixed(close.sequenceMs, 1, "ms"), "(until closedDown)");
}

// The operator's desktop rather than the platform's small default screen.
void useOffscreenScreen(const fs::path& folder)
{
    const fs::path config = folder / "offscreen.json";
    std::ofstream(config) << R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080}]})";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
}

} // namespace

int main(int argc, char* argv[])
{
    const auto settings = parseArguments({argv + 1, argv + argc});
    if (!settings)
        return 2;
    if (settings->help) {
        std::cout << "Usage: nivra_window_bench [--smoke] [--no-cycle] [--length S] [--seed N] [--simulator PATH]\n";
        return 0;
    }
    const platform::ScratchFolder scratch("nivra-window-bench");
    const fs::path folder = scratch / "station";
    fs::create_directories(folder);
    fs::create_directories(scratch / "mail");
    ::setenv("NIVRA_MAILSLOT_DIR", (scratch / "mail").c_str(), 1);
    platform::BeepSink previousSink = platform::setBeepSink([](int, int) {});

    const Well well = settings->well();
    std::cout << "well: " << well.analyses << " analyses, " << well.trendPoints << " trend points, " << historyEntries
              << " history entries\n";
    if (!settings->noCycle)
        std::cout << "cycle: " << settings->length() << " s at speed " << settings->speed() << ", seed "
                  << settings->seed << '\n';

    Figures figures;
    try {
        prepareFolder(folder, well);
        std::optional<Simulator> simulator;
        if (!settings->noCycle) {
            simulator.emplace(*settings, scratch.path());
            lib::IniFile ini(folder / Configuration::iniFileName);
            ini.writeString("порт", "имя", simulator->terminal());
        }

        evictFromPageCache(folder);
        useOffscreenScreen(scratch.path());
        std::error_code ignored;
        fs::current_path(folder, ignored);
        lib::setDecimalSeparator(lib::systemDecimalSeparator());
        QApplication application(argc, argv);
        // Qt took the system's locale; the core writes and reads numbers by the C rule.
        std::setlocale(LC_NUMERIC, "C");
        QApplication::setApplicationName(QStringLiteral("NivraExe"));

        try {
            WindowRun run(*settings, folder);
            run.measure(figures);
        } catch (const std::runtime_error& error) {
            figures.problem = error.what();
            if (simulator)
                figures.problem += "\nsimulator: " + simulator->errors();
        }
    } catch (const std::runtime_error& error) {
        figures.problem = error.what();
    }
    platform::setBeepSink(std::move(previousSink));

    std::cout << "screen: " << (figures.screen.empty() ? "unknown" : figures.screen) << "\n\n";
    Report report(!settings->smoke);
    if (!figures.problem.empty()) {
        report.check("run", "not measured", "", false);
        std::cout << "  " << figures.problem << '\n';
    } else {
        reportStart(report, figures.start, well);
        if (!settings->noCycle)
            reportCycle(report, figures.cycle);
        reportClose(report, figures.close, storesSaved(folder, figures.wellFolder, well));
    }
    for (const auto& message : figures.messages)
        std::cout << "  the station said: " << message << '\n';
    return report.failed() ? 1 : 0;
}
