#include "station/Nivrasystem.h"

#include "analysis/Calibrationlist.h"

#include "station/Sysexception.h"
#include "platform/Operatornotifier.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "library/Numstr.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<const char*, 5> modeNames{"Ручной режим", "Временной режим", "Непрерывный режим",
                                                "По метке глубины", "По газосумматору"};

// The programme values a warm-up cycle runs with, by the warm-up cycles still left.
struct WarmUpProgramme {
    std::int32_t cycleDuration;
    std::int32_t heatingEnd;
};

WarmUpProgramme warmUpProgramme(std::int32_t left)
{
    if (left == 3 || left == 2)
        return {65, 63};
    if (left == 1)
        return {120, 70};
    return {0, 0};
}

std::string portFailureText(const std::string& portName)
{
    return "ОШИБКА: Невозможно открыть порт " + portName
           + ". Возможно он отсутствует на компьютере, или занят другим устройством.";
}

} // namespace

NivraSystem::NivraSystem(Configuration& configuration, platform::OperatorNotifier& notifier,
                         std::filesystem::path programDirectory)
    : NivraSystem(configuration, notifier, std::move(programDirectory), Clocks())
{
}

NivraSystem::NivraSystem(Configuration& configuration, platform::OperatorNotifier& notifier,
                         std::filesystem::path programDirectory, Clocks clocks)
    : directory(std::move(programDirectory)),
      calibrationPath(directory / EtalonStorage::defaultFileName),
      historyPath(directory / History::fileName),
      iniPath(directory / Configuration::iniFileName),
      nivra(configuration, notifier),
      calculation(nivra.samples, gazOptions, configuration),
      history(configuration, gazOptions, calculation.results()),
      gazOptions(nivra.samples),
      dataSender(configuration.regComputerName),
      configuration_(configuration),
      notifier_(notifier),
      clocks_(std::move(clocks))
{
    textFile.setFolder(directory / "TextData");
    nivra.setClock(clocks_.local);
    history.setClock(clocks_.local);
    connectComponents();
    connectLink();
}

NivraSystem::~NivraSystem() = default;

void NivraSystem::connectComponents()
{
    // Results reach their outputs in this order: the table, the registration program, the export.
    calculation.resultsAnnounced.connect([this](const CalculatedGazes& results, double depth) {
        if (calibrating_)
            return;
        textGrid.appendResults(results, depth);
        dataSender.sendResults(results);
        textFile.writeResults(results, static_cast<float>(depth));
    });
    calculation.concentrationFunction = [this](std::size_t gasIndex, double response) {
        return etalonStorage.concentration(gasIndex, response);
    };
    etalonStorage.gasCount = [this] { return gazOptions.count(); };
    gazOptions.gazListChanged.connect([this] {
        etalonStorage.fitToGasTable();
        textFile.markHeaderNeeded();
    });
    gazOptions.gazTimesChanged.connect([this] { gazTimesChanged(); });
    cycleFinished.connect([this](std::int32_t status) {
        curve.saveAnalysisFile(endedNormally(status));
    });

    MyGraphics::AnalysisFileSource source;
    source.gases = &gazOptions;
    source.results = &calculation.results();
    source.saveScienceValues = [this] { return saveScienceValues_; };
    source.programDirectory = directory;
    source.clock = clocks_.local;
    curve.setAnalysisFileSource(std::move(source));
}

void NivraSystem::connectLink()
{
    nivra.summatorAveraged.connect([this](double, float, double average) { dataSender.sendSummator(average); });
    nivra.summatorLost.connect([this] {
        if (workMode_ == summatorMode)
            workMode_ = manualMode;
        announcedModeText_ = modeText();
        modeChanged();
    });
}

void NivraSystem::declare(lib::ini_options_elements& list)
{
    list.addBool(saveAllValues_, sectionName, "save_all_values");
    list.addBool(saveScienceValues_, sectionName, "save_science_values");
    list.addRaw(workMode_, sectionName, "work_mode");
    list.addInt(timeModePeriod_, sectionName, "time_mode_period");
    list.addInt(maxDepthCounter_, sectionName, "max_depth_counter");
}

void NivraSystem::load()
{
    etalonStorage.load(calibrationPath);
    history.load(historyPath);
    {
        lib::IniFile ini(iniPath);
        gazOptions.loadList(ini);
        loadFrom(ini);
    }
    etalonStorage.fitToGasTable();
    textFile.setScienceValues(saveScienceValues_);
    announcedModeText_ = modeText();
    modeChanged();
}

// The gas list first: saving it empties the shared section, which the program settings refill.
void NivraSystem::save()
{
    etalonStorage.save(calibrationPath);
    history.save(historyPath);
    lib::IniFile ini(iniPath);
    gazOptions.saveList(ini);
    saveTo(ini);
}

void NivraSystem::takeCalibration(const std::vector<GazEtalLine>& entries, double degassing)
{
    etalonStorage.entries.clear();
    for (const GazEtalLine& entry : entries)
        etalonStorage.entries.emplace_back(entry);
    etalonStorage.degKoeff = degassing;
    etalonStorage.date = lib::toDateTime(clocks_.local());
    etalonStorage.fitToGasTable();
    etalonStorage.save(calibrationPath);
}

bool NivraSystem::loadCalibration(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    if (!lib::IniFile(file).sectionExists(CalibrationList::sectionName))
        return false;
    etalonStorage.load(file);
    etalonStorage.fitToGasTable();
    etalonStorage.save(calibrationPath);
    return true;
}

bool NivraSystem::saveCalibration(const std::filesystem::path& file) const
{
    // The store's own save works on itself; a copy keeps this one const and the store untouched.
    EtalonStorage written;
    written.gasCount = etalonStorage.gasCount;
    for (const GazEtalLine& entry : etalonStorage.entries)
        written.entries.emplace_back(entry);
    written.interType = etalonStorage.interType;
    written.date = etalonStorage.date;
    written.degKoeff = etalonStorage.degKoeff;
    written.save(file);

    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    EtalonStorage read;
    read.load(file);
    // Compared as stored: a real number comes back to its 15 digits, not to its last bit.
    if (read.entries.size() != written.entries.size()
        || lib::formatGeneral(read.degKoeff) != lib::formatGeneral(written.degKoeff))
        return false;
    for (std::size_t i = 0; i < read.entries.size(); ++i)
        if (read.entries[i].toText() != written.entries[i].toText())
            return false;
    return true;
}

void NivraSystem::saveSettings()
{
    if (configuration_.fileName.empty())
        return;
    lib::IniFile ini(configuration_.fileName);
    gazOptions.saveList(ini);
    saveTo(ini);
    configuration_.saveProgramSettings();
}

void NivraSystem::setSaveScienceValues(bool on)
{
    saveScienceValues_ = on;
    textFile.setScienceValues(on);
}

void NivraSystem::start()
{
    startPending_ = false;
    if (state_ == running || isStarting())
        return;
    if (!nivra.stopped()) {
        startPending_ = true;
        return;
    }
    try {
        startCycle();
    } catch (...) {
        stateChanged();  // still idle, but a window following the state shows the failure
        throw;
    }
}

void NivraSystem::startCycle()
{
    nivra.programme = configuration_.programmeTimes;
    nivra.applyPortSettings();
    if (!nivra.openForCycle())
        throw SysException(portFailureText(configuration_.portName));
    if (configuration_.demo) {
        beginCycle();
        return;
    }
    // Nothing else touches the link until handshakeTick has taken the answer.
    handshake_ = std::async(std::launch::async, [this] { return nivra.exchangeProgramme(); });
}

// While the answer is awaited the rest of the step leaves the link alone. True when the step
// is to go on as usual.
bool NivraSystem::handshakeTick()
{
    if (!isStarting())
        return true;
    if (handshake_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    if (!handshake_.get()) {
        stateChanged();
        throw SysException(noAnswerText);
    }
    beginCycle();
    return true;
}

void NivraSystem::beginCycle()
{
    nivra.beginAcquisition();
    for (std::size_t i = 0; i < gazOptions.Gazes.size(); ++i)
        gazOptions.Gazes[i].resetIntegrationWindow();
    curve.clearSamples();
    calculation.reset();
    secondsCounter_ = 0;
    cycleStart_ = clocks_.steady();
    setState(running);
    cycleStarted();
}

void NivraSystem::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    stateChanged();
}

void NivraSystem::abortCycle()
{
    if (isStarting())
        handshake_.get();  // the link is free again once the wait for the answer is over
    nivra.abandonThread(statusNoAnswer);
    startPending_ = false;
    setState(idle);
}

void NivraSystem::announceModeIfChanged()
{
    if (modeText() == announcedModeText_)
        return;
    announcedModeText_ = modeText();
    modeChanged();
}

void NivraSystem::tick()
{
    try {
        step();
    } catch (...) {
        announceModeIfChanged();
        throw;
    }
    announceModeIfChanged();
}

void NivraSystem::step()
{
    if (handshakeTick()) {
        // What the thread framework's end handler did between ticks: take an ended thread's results.
        nivra.collectEndedThread();
        if (state_ == running)
            acquisitionTick();
        else
            idleTick();
    }
    remotePoll();
    remotePoll();
    countSeconds();
}

bool NivraSystem::overran() const
{
    const std::int32_t programme = std::max(configuration_.cycleDuration(), configuration_.screenSeconds);
    return clocks_.steady() - cycleStart_ > std::chrono::seconds(programme) + overrunMargin;
}

void NivraSystem::acquisitionTick()
{
    if (!nivra.stopped() && overran())
        nivra.abandonThread(statusNoAnswer);
    if (nivra.stopped()) {
        endCycle();
        return;
    }
    calculate();
}

void NivraSystem::calculate()
{
    if (warmUpLeft_ == 0 && seriesLeft_ <= 1)
        calculation.update(currentDepth_, saveAllValues_);
}

void NivraSystem::endCycle()
{
    const std::int32_t status = nivra.status();
    if (endedNormally(status)) {
        ++completedCycles_;
        // The last points arrived after the previous tick: the results and the stored curve
        // must hold them too.
        calculate();
        refreshLiveCurve();
        history.add(curve);
        nivra.samples.setZeroShift(calculation.zeroLevel());
        if (warmUpLeft_ > 0)
            --warmUpLeft_;
        if (seriesLeft_ > 0)
            --seriesLeft_;
    } else if (status == statusNoAnswer) {
        setState(idle);
        throw SysException(lostText);
    }
    setState(idle);
    cycleFinished(status);
}

void NivraSystem::idleTick()
{
    if (warmUpLeft_ > 0) {
        warmUpStart();
        return;
    }
    if (applyModeRule() || isStarting())
        return;  // a start awaiting its answer leaves the link alone
    // The instrument streams summator readings until told otherwise: a waiting cycle ends that.
    if (startPending_)
        nivra.stopSummatorStreaming();
    if (!nivra.stopped())
        return;
    if (startPending_) {
        start();
        return;
    }
    if (configuration_.deviceType == modelTavir && configuration_.summatorUse) {
        nivra.applyPortSettings();
        nivra.connectSummatorOnly();
    }
}

// True when the rule started a cycle and the tick ends there.
bool NivraSystem::applyModeRule()
{
    switch (workMode_) {
    case timeMode:
        if (timeModePeriod_ < secondsCounter_) {
            secondsCounter_ = 0;
            start();
            return true;
        }
        return false;
    case continuousMode:
        start();
        return true;
    case depthMarkMode:
        if (seriesLeft_ > 0) {
            start();
            return true;
        }
        return false;
    case summatorMode:
        if (summatorAboveThreshold())
            start();
        return false;
    default:
        return false;
    }
}

bool NivraSystem::summatorAboveThreshold()
{
    const Configuration& c = configuration_;
    if (c.thresholdByTotalGas)
        return (totalGas_ ? totalGas_() : 0.0) > c.thresholdValue;
    const bool ownSummator = c.summatorUse && (c.deviceType == modelLT4KS || c.deviceType == modelTavir);
    return ownSummator && static_cast<float>(nivra.summatorValue()) > c.thresholdValue;
}

void NivraSystem::warmUpStart()
{
    const bool tavir = configuration_.deviceType == modelTavir;
    const std::int32_t cycleDuration = configuration_.cycleDuration();
    const std::int32_t heatingEnd = configuration_.heatingEnd();
    const WarmUpProgramme programme = warmUpProgramme(warmUpLeft_);
    configuration_.setCycleDuration(programme.cycleDuration);
    if (tavir)
        configuration_.setHeatingEnd(programme.heatingEnd);
    auto restore = [&] {
        configuration_.setCycleDuration(cycleDuration);
        if (tavir)
            configuration_.setHeatingEnd(heatingEnd);
    };
    try {
        start();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void NivraSystem::requestWarmUp()
{
    if (state_ == idle) {
        warmUpLeft_ = warmUpCycles;
        announceModeIfChanged();
        return;
    }
    notifier_.notify({"Сообщение", warmUpRefusedText, platform::OperatorMessage::Icon::information});
}

void NivraSystem::setWorkMode(std::int32_t mode)
{
    if (mode == summatorMode && !configuration_.summatorUse && !configuration_.thresholdByTotalGas)
        mode = manualMode;
    workMode_ = mode;
    announcedModeText_ = modeText();
    modeChanged();
}

void NivraSystem::takeDepth(float depth)
{
    currentDepth_ = depth;
    nivra.setSummatorDepth(depth);
}

void NivraSystem::remotePoll()
{
    if (!configuration_.remoteControl) {
        takeDepth(0);
        return;
    }
    if (remoteControl.timePeriod() != -1)
        timeModePeriod_ = remoteControl.timePeriod();
    const int code = remoteControl.poll();
    const auto now = clocks_.steady();
    if (code != RemoteControl::noMessage && remoteControl.depth() > 1) {
        takeDepth(remoteControl.depth());
        depthTime_ = now;
    }
    switch (code) {
    case RemoteControl::startCode:
        if (workMode_ == depthMarkMode && state_ == idle) {
            seriesLeft_ = maxDepthCounter_ + 1;
            start();
        }
        break;
    case RemoteControl::modeCode:
        setWorkMode(remoteControl.modeValue());
        break;
    case RemoteControl::noMessage:
        if (now - depthTime_ >= depthLifetime)
            takeDepth(0);
        break;
    default:
        break;
    }
}

void NivraSystem::countSeconds()
{
    if (workMode_ != timeMode)
        return;
    const int second = lib::fromLocalSeconds(clocks_.local()).second;
    if (lastSecondField_ && *lastSecondField_ != second)
        ++secondsCounter_;
    lastSecondField_ = second;
}

float NivraSystem::currentDepth() const
{
    return currentDepth_ == 0 ? 0.0f : static_cast<float>(std::round(currentDepth_ * 100.0) / 100.0);
}

std::string NivraSystem::modeName(std::int32_t mode)
{
    return mode >= 0 && static_cast<std::size_t>(mode) < modeNames.size() ? modeNames[static_cast<std::size_t>(mode)] : "";
}

std::string NivraSystem::modeText() const
{
    if (warmUpLeft_ > 0)
        return "Прогрев колонок " + std::to_string(warmUpCycles + 1 - warmUpLeft_) + " из " + std::to_string(warmUpCycles);
    if (seriesLeft_ >= 2)
        return "Вход в режим #" + std::to_string(seriesLeft_ - 1);
    return modeName(workMode_);
}

std::int32_t NivraSystem::cycleSeconds() const
{
    if (state_ != running)
        return 0;
    return static_cast<std::int32_t>(std::chrono::duration_cast<std::chrono::seconds>(clocks_.steady() - cycleStart_).count());
}

void NivraSystem::refreshLiveCurve(bool force)
{
    const bool taken = force || nivra.samples.count() != curve.sampleCount();
    if (taken)
        curve.appendSamples(nivra.samples);
    curve.buildMarks(gazOptions, &calculation.results(), configuration_.samplesPerSecond);
    if (taken)
        liveCurveChanged();
}
