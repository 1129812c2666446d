#include "app/Headlessstation.h"

#include "app/Stopsignals.h"
#include "library/Numstr.h"
#include "settings/Configuration.h"
#include "station/Station.h"

HeadlessStation::HeadlessStation(Configuration& configuration, Options options, std::ostream& out, std::ostream& err)
    : configuration_(configuration), options_(std::move(options)), out_(out), err_(err), notifier_(err)
{
}

HeadlessStation::~HeadlessStation() = default;

int HeadlessStation::run()
{
    // Before any thread: the threads inherit the blocked signals and only the loop sees them.
    signals_ = std::make_unique<StopSignals>();
    startUp();
    loop();
    closeDown();
    return failures_ > 0 ? 1 : 0;
}

void HeadlessStation::startUp()
{
    station_ = std::make_unique<Station>(configuration_, notifier_, options_.directory);
    NivraSystem& system = station_->system();
    station_->startUp();
    storedDemo_ = configuration_.demo;
    storedWorkMode_ = system.workMode();
    if (options_.demo)
        configuration_.demo = true;
    if (options_.cycles)
        system.setWorkMode(NivraSystem::manualMode);
    describeConfiguration();
    station_->startServices();
    connectOutputs();
    if (options_.warmUp)
        system.requestWarmUp();
}

void HeadlessStation::connectOutputs()
{
    NivraSystem& system = station_->system();
    system.calculation.resultsAnnounced.connect([this](const CalculatedGazes&, double) { printResults(); });
    system.cycleStarted.connect([this] { err_ << "NivraExe: cycle started: " << station_->modeText() << std::endl; });
    system.cycleFinished.connect([this](std::int32_t status) {
        ++cyclesEnded_;
        err_ << "NivraExe: cycle ended (" << status << ")" << std::endl;
    });
    system.modeChanged.connect([this] { err_ << "NivraExe: work mode: " << station_->modeText() << std::endl; });
}

void HeadlessStation::describeConfiguration()
{
    const NivraSystem& system = station_->system();
    err_ << configuration_.windowCaption() << (configuration_.demo ? " (demonstration)" : "") << '\n'
         << "settings: " << configuration_.iniPath << '\n'
         << "well: " << configuration_.area << " / " << configuration_.well << '\n'
         << "port: " << configuration_.portName << ' ' << configuration_.baudRate << '\n'
         << "cycle times:";
    for (const auto seconds : configuration_.programmeTimes)
        err_ << ' ' << seconds;
    err_ << "\nwork mode: " << system.modeText() << std::endl;
    if (configuration_.remoteControl && !system.remoteControl.listening())
        report("no remote control: " + system.remoteControl.errorText());
}

// A run that set its own mode or demonstration leaves the stored ones as they were.
void HeadlessStation::closeDown()
{
    if (options_.cycles)
        station_->system().restoreWorkMode(storedWorkMode_);
    configuration_.demo = storedDemo_;
    station_->closeDown();
}

void HeadlessStation::loop()
{
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        if (options_.cycles && cyclesEnded_ >= *options_.cycles && station_->idle())
            return;
        if (stopSignals_ > 0 && station_->idle())
            return;
        tick();
        next += Station::tickInterval;
        const auto now = std::chrono::steady_clock::now();
        if (next < now)
            next = now;  // a slow tick is not made up by a burst of ticks
        while (signals_->wait(std::chrono::duration_cast<std::chrono::milliseconds>(next - std::chrono::steady_clock::now()))) {
            if (++stopSignals_ > 1)
                return;  // a second signal: at once, the stores are still saved
            err_ << "NivraExe: stopping after the running cycle (a second signal stops at once)" << std::endl;
        }
    }
}

void HeadlessStation::tick()
{
    if (options_.cycles)
        startRequestedCycle();
    // A start awaiting the instrument's answer is the cycle asked for: its failure ends it.
    const bool wasRunning = !station_->idle();
    if (const auto failure = station_->tick()) {
        report(*failure);
        ++failures_;
        if (wasRunning)
            ++cyclesEnded_;
        return;
    }
    lastReport_.clear();
}

// "Запуск" pressed once more while cycles remain; a start that fails counts as a failed cycle.
void HeadlessStation::startRequestedCycle()
{
    const NivraSystem& system = station_->system();
    // A warm-up runs its own cycles first; they count among the N.
    if (cyclesEnded_ >= *options_.cycles || !station_->idle() || system.isPending() || system.warmUpLeft() > 0
        || stopSignals_ > 0)
        return;
    if (const auto failure = station_->start()) {
        report(*failure);
        ++failures_;
        ++cyclesEnded_;
    }
}

// An automatic mode retries a failing start every tick; the same text is said once.
void HeadlessStation::report(const std::string& message)
{
    if (message == lastReport_)
        return;
    lastReport_ = message;
    err_ << "NivraExe: " << message << std::endl;
}

void HeadlessStation::printResults()
{
    for (const CalculatedGaz& result : station_->system().calculation.results())
        out_ << result.key << '=' << lib::formatGeneral(result.concentration) << '\n';
    out_ << std::endl;
}
