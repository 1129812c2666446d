#include "app/Headlessstation.h"

#include "app/Stopsignals.h"
#include "device/Nivrasystem.h"
#include "device/Summthread.h"
#include "device/Sysexception.h"
#include "library/Locker.h"
#include "library/Numstr.h"
#include "platform/Beep.h"
#include "results/Log.h"
#include "results/Totalgaspoller.h"
#include "settings/Configuration.h"

#include <thread>

namespace {

constexpr const char* resultsFileName = "data.tim";
constexpr const char* summatorTrendName = "gsumm.dat";
constexpr const char* journalName = "события.txt";

} // namespace

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

std::filesystem::path HeadlessStation::wellFolder() const
{
    return options_.directory / configuration_.area / configuration_.well;
}

// The main window's start-up without its windows, in its order.
void HeadlessStation::startUp()
{
    system_ = std::make_unique<NivraSystem>(configuration_, notifier_, options_.directory);
    system_->load();
    configuration_.loadAtStartUp(options_.directory);
    storedDemo_ = configuration_.demo;
    storedWorkMode_ = system_->workMode();
    if (options_.demo)
        configuration_.demo = true;
    if (options_.cycles)
        system_->setWorkMode(NivraSystem::manualMode);
    system_->dataSender.setRegistrationComputer(configuration_.regComputerName);
    describeConfiguration();

    log_ = std::make_unique<Log>();
    log_->open(options_.directory / journalName);
    log_->add(Log::programStarted);

    std::error_code ignored;
    std::filesystem::create_directories(wellFolder(), ignored);
    system_->textGrid.open(wellFolder() / resultsFileName);
    system_->textGrid.load(system_->iniPath.string());
    {
        const lib::Locker lock(system_->nivra);
        system_->nivra.summCurveUnderLock().load(wellFolder() / summatorTrendName);
    }

    totalGas_ = std::make_unique<TotalGasPoller>(configuration_.regComputerName);
    totalGas_->setActive(configuration_.thresholdByTotalGas);
    system_->setTotalGasSource([poller = totalGas_.get()] { return poller->value(); });

    summator_ = std::make_unique<TSummThread>(TSummThread::Settings::fromConfiguration(configuration_),
                                              [sender = &system_->dataSender](double value) { sender->sendSummator(value); });
    summator_->start();

    system_->calculation.resultsAnnounced.connect([this](const CalculatedGazes&, double) { printResults(); });
    system_->cycleStarted.connect([this] { err_ << "NivraExe: cycle started: " << system_->modeText() << std::endl; });
    system_->cycleFinished.connect([this](std::int32_t status) {
        ++cyclesEnded_;
        err_ << "NivraExe: cycle ended (" << status << ")" << std::endl;
    });
    system_->modeChanged.connect([this] { err_ << "NivraExe: work mode: " << system_->modeText() << std::endl; });
    if (options_.warmUp)
        system_->requestWarmUp();
}

// The closing sequence: nothing the station holds is left unsaved.
void HeadlessStation::describeConfiguration()
{
    err_ << configuration_.windowCaption() << (configuration_.demo ? " (demonstration)" : "") << '\n'
         << "settings: " << configuration_.iniPath << '\n'
         << "well: " << configuration_.area << " / " << configuration_.well << '\n'
         << "port: " << configuration_.portName << ' ' << configuration_.baudRate << '\n'
         << "cycle times:";
    for (const auto seconds : configuration_.programmeTimes)
        err_ << ' ' << seconds;
    err_ << "\nwork mode: " << system_->modeText() << std::endl;
    if (configuration_.remoteControl && !system_->remoteControl.listening())
        report("no remote control: " + system_->remoteControl.errorText());
}

void HeadlessStation::closeDown()
{
    if (!system_->isIdle())
        system_->abortCycle();
    system_->dataSender.sendClosing();
    {
        const lib::Locker lock(system_->nivra);
        system_->nivra.summCurveUnderLock().save(wellFolder() / summatorTrendName);
    }
    summator_->terminate();
    if (options_.cycles)
        system_->restoreWorkMode(storedWorkMode_);
    system_->save();
    configuration_.demo = storedDemo_;
    configuration_.saveProgramSettings();
    system_->textGrid.save(system_->iniPath.string());
    log_->add(Log::programClosed);
    log_->add("");
    log_->save();
}

void HeadlessStation::loop()
{
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        if (options_.cycles && cyclesEnded_ >= *options_.cycles && system_->isIdle())
            return;
        if (stopSignals_ > 0 && system_->isIdle())
            return;
        tick();
        next += tickInterval;
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

// One step of the main timer: the controller, then what the window would refresh.
void HeadlessStation::tick()
{
    if (options_.cycles)
        startRequestedCycle();
    const bool wasRunning = !system_->isIdle();
    try {
        system_->tick();
    } catch (const SysException& failure) {
        platform::beep(1000, 20);
        report(failure.what());
        ++failures_;
        if (wasRunning)
            ++cyclesEnded_;
        return;
    }
    lastReport_.clear();
    if (configuration_.summatorUse && configuration_.deviceType != Configuration::typeTavir)
        system_->nivra.setSummatorValue(summator_->value());
    system_->refreshLiveCurve();
}

// "Запуск" pressed once more while cycles remain; a start that fails counts as a failed cycle.
void HeadlessStation::startRequestedCycle()
{
    // A warm-up runs its own cycles first; they count among the N.
    if (cyclesEnded_ >= *options_.cycles || !system_->isIdle() || system_->isPending()
        || system_->warmUpLeft() > 0 || stopSignals_ > 0)
        return;
    try {
        system_->start();
    } catch (const SysException& failure) {
        report(failure.what());
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
    for (const CalculatedGaz& result : system_->calculation.results())
        out_ << result.key << '=' << lib::formatGeneral(result.concentration) << '\n';
    out_ << std::endl;
}
