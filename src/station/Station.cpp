#include "station/Station.h"

#include "device/Summthread.h"
#include "library/Locker.h"
#include "library/Numstr.h"
#include "links/Totalgaspoller.h"
#include "platform/Beep.h"
#include "results/Log.h"
#include "settings/Configuration.h"
#include "station/Sysexception.h"

#include <cstdio>

Station::Station(Configuration& configuration, platform::OperatorNotifier& notifier, std::filesystem::path directory)
    : Station(configuration, notifier, std::move(directory), NivraSystem::Clocks())
{
}

Station::Station(Configuration& configuration, platform::OperatorNotifier& notifier, std::filesystem::path directory,
                 NivraSystem::Clocks clocks)
    : configuration_(configuration),
      directory_(std::move(directory)),
      system_(std::make_unique<NivraSystem>(configuration, notifier, directory_, std::move(clocks))),
      journal_(std::make_unique<Log>())
{
    // On the acquisition thread: the trend's own lock, never the link's.
    system_->nivra.summatorAveraged.connect([this](double dateTime, float depth, double average) {
        const lib::Locker lock(summatorTrendLock_);
        summatorTrend_.append(dateTime, depth, static_cast<float>(average));
    });
}

Station::~Station()
{
    // The threads that call into the controller end before it goes.
    summator_.reset();
    totalGas_.reset();
    if (system_ && !system_->isIdle())
        system_->abortCycle();
}

std::filesystem::path Station::wellFolder() const
{
    return directory_ / configuration_.area / configuration_.well;
}

void Station::startUp()
{
    system_->load();
    configuration_.loadAtStartUp(directory_);
    system_->dataSender.setRegistrationComputer(configuration_.regComputerName);
    displaySettingsChanged();

    journal_->open(directory_ / journalName);
    journal_->add(Log::programStarted);

    std::error_code ignored;
    std::filesystem::create_directories(wellFolder(), ignored);
    system_->textGrid.open(wellFolder() / resultsFileName);
}

void Station::startServices()
{
    system_->textGrid.load(system_->iniPath.string());
    {
        const lib::Locker lock(summatorTrendLock_);
        summatorTrend_.load(wellFolder() / summatorTrendName);
    }

    totalGas_ = std::make_unique<TotalGasPoller>(configuration_.regComputerName);
    totalGas_->setActive(configuration_.thresholdByTotalGas);
    system_->setTotalGasSource([poller = totalGas_.get()] { return poller->value(); });

    summator_ = std::make_unique<TSummThread>(TSummThread::Settings::fromConfiguration(configuration_),
                                              [sender = &system_->dataSender](double value) { sender->sendSummator(value); });
    summator_->start();
}

std::optional<std::string> Station::tick()
{
    try {
        system_->tick();
    } catch (const SysException& failure) {
        platform::beep(1000, 20);
        takeIndicators();
        return failure.what();
    }
    takeSummatorReading();
    system_->refreshLiveCurve();
    takeIndicators();
    return std::nullopt;
}

std::optional<std::string> Station::start()
{
    try {
        system_->start();
    } catch (const SysException& failure) {
        return failure.what();
    }
    return std::nullopt;
}

// The threshold reads the link's value, so the external summator's goes there whenever it is in
// use, shown or not.
void Station::takeSummatorReading()
{
    const Configuration& c = configuration_;
    const bool external = c.summatorUse && c.deviceType != modelTavir && summator_;
    if (external)
        system_->nivra.setSummatorValue(summator_->value());

    summatorReading_.reset();
    if (c.summatorShow && c.summatorUse)
        summatorReading_ = system_->nivra.summatorValue();
    else if (c.summatorShow && c.thresholdByTotalGas && totalGas_)
        summatorReading_ = totalGas_->value();
}

void Station::takeIndicators()
{
    adcCount_ = system_->nivra.currentAdcCount();
    adcRange_ = system_->nivra.currentRange();
    cycleSeconds_ = system_->cycleSeconds();
    pointCount_ = system_->nivra.samples.count();
}

std::string Station::summatorText() const
{
    return summatorReading_ ? lib::formatReal(*summatorReading_, configuration_.summatorPrecision) : std::string();
}

std::string Station::adcText() const
{
    char code[16];
    if (configuration_.adcValueMode == 1)
        std::snprintf(code, sizeof code, "%d", adcCount_);
    else
        std::snprintf(code, sizeof code, "%04Xh", static_cast<unsigned>(adcCount_) & 0xFFFFu);
    return std::string("АЦП=") + code + " ДИАП=" + std::to_string(adcRange_) + "[" + (idle() ? "1" : "0") + "]";
}

std::string Station::cycleTimeText() const
{
    return idle() ? std::string() : std::to_string(cycleSeconds_) + " с.";
}

void Station::displaySettingsChanged()
{
    system_->curve.setPointCount(configuration_.samplesPerSecond * configuration_.screenSeconds);
}

void Station::summatorSettingsChanged()
{
    // The instrument's own summator streams with the offsets and ranges it started with: ended
    // here, it is started again by an idle tick with the new ones.
    system_->nivra.stopSummatorStreaming();
    if (summator_)
        summator_->reconnect(TSummThread::Settings::fromConfiguration(configuration_));
}

void Station::registrationSettingsChanged()
{
    system_->dataSender.setRegistrationComputer(configuration_.regComputerName);
    if (!totalGas_)
        return;
    totalGas_->setHost(configuration_.regComputerName);
    totalGas_->setActive(configuration_.thresholdByTotalGas);
}

void Station::closeDown()
{
    if (!system_->isIdle() || system_->isStarting())
        system_->abortCycle();
    system_->dataSender.sendClosing();
    {
        const lib::Locker lock(summatorTrendLock_);
        summatorTrend_.save(wellFolder() / summatorTrendName);
    }
    if (summator_)
        summator_->terminate();
    system_->save();
    configuration_.saveProgramSettings();
    system_->textGrid.save(system_->iniPath.string());
    journal_->add(Log::programClosed);
    journal_->add("");
    journal_->save();
}
