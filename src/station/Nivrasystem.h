#pragma once

#include "analysis/Etalonstorage.h"
#include "analysis/Gaz_calculation.h"
#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "device/Nivra.h"
#include "library/Mytime.h"
#include "links/Datasender.h"
#include "links/Remotecontrol.h"
#include "results/History.h"
#include "results/Textfile.h"
#include "results/Textgrid.h"
#include "settings/Inioptions.h"

#include <boost/signals2/signal.hpp>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

class Configuration;
namespace platform {
class OperatorNotifier;
}

// The work cycle: owns the link and everything a cycle feeds, decides in a short tick of the
// main thread when a cycle starts (by hand, by time, continuously, by depth mark, by summator
// threshold), runs the warm-up and depth-mark series, and turns the end of a cycle into the
// history entry, the chromatogram file and the notifications the windows follow.
// Main thread only; the link's shared data are read under its lock.
class NivraSystem : public lib::ini_options {
public:
    static constexpr const char* sectionName = "NivraSystem";

    enum WorkMode : std::int32_t {
        manualMode = 0,
        timeMode = 1,
        continuousMode = 2,
        depthMarkMode = 3,
        summatorMode = 4,
    };
    enum State : std::int32_t { running = 0, idle = 1 };

    static constexpr const char* noAnswerText = "Хроматограф не ответил после запроса!";
    static constexpr const char* lostText = "Внезапно потеряна связь с хроматографом!";
    static constexpr const char* warmUpRefusedText =
        "Для запуска режима прогрева дождитесь завершения цикла работы хроматографа";
    static constexpr std::int32_t warmUpCycles = 3;
    // A depth from the remote station counts this long after its last message.
    static constexpr std::chrono::seconds depthLifetime{10};
    // An acquisition still running this long after its programme should have ended is lost.
    static constexpr std::chrono::seconds overrunMargin{60};

    // Clocks the controller reads; tests replace them.
    struct Clocks {
        std::function<std::chrono::steady_clock::time_point()> steady = std::chrono::steady_clock::now;
        std::function<lib::LocalSeconds()> local = lib::localSecondsNow;
    };

    NivraSystem(Configuration& configuration, platform::OperatorNotifier& notifier,
                std::filesystem::path programDirectory);
    NivraSystem(Configuration& configuration, platform::OperatorNotifier& notifier,
                std::filesystem::path programDirectory, Clocks clocks);
    ~NivraSystem() override;

    // Members, in construction order.
    TextFile textFile;
    const std::filesystem::path directory;
    const std::filesystem::path calibrationPath;
    const std::filesystem::path historyPath;
    const std::filesystem::path iniPath;
    Nivra nivra;
    Calculation calculation;
    History history;
    MyGraphics curve;
    EtalonStorage etalonStorage;
    GazOptions gazOptions;
    RemoteControl remoteControl;
    DataSender dataSender;
    TextGrid textGrid;

    // All raised on the main thread.
    // The mode was set, or its text changed with the warm-up or the depth series counting down.
    boost::signals2::signal<void()> modeChanged;
    // Idle and working swapped; also after a start that failed and after a lost connection,
    // which end without cycleFinished.
    boost::signals2::signal<void()> stateChanged;
    boost::signals2::signal<void()> cycleStarted;
    boost::signals2::signal<void()> gazTimesChanged;
    boost::signals2::signal<void(std::int32_t status)> cycleFinished;
    // The live curve took new samples (or was refreshed by force): the display repaints.
    boost::signals2::signal<void()> liveCurveChanged;

    // The stores: calibration, history, gas table and this object's own keys.
    void load();
    void save();
    // What the operator's settings windows change: the gas table, this object's keys and the
    // program settings, in one write of the settings file.
    void saveSettings();

    // The calibration window's result becomes the station's calibration: its entries, degassing
    // coefficient and today's date, written to calibr.ini at once rather than at the end.
    void takeCalibration(const std::vector<GazEtalLine>& entries, double degassing);
    // A calibration file of the operator's becomes the station's calibration, written to
    // calibr.ini. False, with the calibration as it was, when the file holds none.
    bool loadCalibration(const std::filesystem::path& file);
    // Writes the calibration to a file of the operator's and reads it back: false when what was
    // read back is not what was written.
    bool saveCalibration(const std::filesystem::path& file) const;
    // While a calibration runs, its analyses of a reference mixture are no gas of the well: they
    // are calculated and shown, but not written to the table, the export or the registration.
    void setCalibrating(bool on) { calibrating_ = on; }
    bool calibrating() const { return calibrating_; }
    // Cycles that ended normally and were evaluated since the start.
    std::int64_t completedCycles() const { return completedCycles_; }

    // May raise SysException with the operator's message. The wait for the instrument's answer
    // to the programme runs off this thread, so a silent instrument never holds up a window:
    // its failure is raised by a later tick instead.
    void start();
    void tick();
    void requestWarmUp();
    // Ends a running cycle at once, without results or notifications: a forced shut-down.
    void abortCycle();
    void setWorkMode(std::int32_t mode);
    // Puts back a mode as it was stored, without the rules of an operator's change: a run that
    // set its own mode must not rewrite the stored one.
    void restoreWorkMode(std::int32_t mode) { workMode_ = mode; }

    std::int32_t workMode() const { return workMode_; }
    std::int32_t state() const { return state_; }
    bool isIdle() const { return state_ == idle; }
    bool isPending() const { return startPending_; }
    // The programme has been sent and the answer is awaited; still idle.
    bool isStarting() const { return handshake_.valid(); }
    bool saveScienceValues() const { return saveScienceValues_; }
    bool saveAllValues() const { return saveAllValues_; }
    void setSaveScienceValues(bool on);
    void setSaveAllValues(bool on) { saveAllValues_ = on; }
    std::int32_t timeModePeriod() const { return timeModePeriod_; }
    void setTimeModePeriod(std::int32_t seconds) { timeModePeriod_ = seconds; }
    std::int32_t maxDepthCounter() const { return maxDepthCounter_; }
    void setMaxDepthCounter(std::int32_t cycles) { maxDepthCounter_ = cycles; }
    std::int32_t warmUpLeft() const { return warmUpLeft_; }
    std::int32_t seriesLeft() const { return seriesLeft_; }
    // Rounded to centimetres; 0 when no depth is current.
    float currentDepth() const;
    std::string modeText() const;
    static std::string modeName(std::int32_t mode);
    // Seconds since the running cycle started; 0 while idle.
    std::int32_t cycleSeconds() const;

    // The registration computer's total gas, for the threshold when "porog_po_summe_type" is
    // on; 0 when none is available. Must not block: the window's timer calls it too.
    void setTotalGasSource(std::function<double()> source) { totalGas_ = std::move(source); }

    // Fills the live curve from the acquisition buffer and rebuilds its marks, as every
    // refresh of the display does.
    void refreshLiveCurve(bool force = false);

protected:
    void declare(lib::ini_options_elements& list) override;

private:
    void step();
    void connectComponents();
    void connectLink();
    void acquisitionTick();
    void endCycle();
    void calculate();
    void idleTick();
    bool applyModeRule();
    bool summatorAboveThreshold();
    void warmUpStart();
    void remotePoll();
    void countSeconds();
    bool overran() const;
    void takeDepth(float depth);
    void setState(State state);
    void startCycle();
    void beginCycle();
    bool handshakeTick();
    void announceModeIfChanged();

    Configuration& configuration_;
    platform::OperatorNotifier& notifier_;
    Clocks clocks_;
    std::function<double()> totalGas_;

    std::int32_t state_ = idle;
    std::int64_t completedCycles_ = 0;
    bool calibrating_ = false;
    std::int32_t secondsCounter_ = 0;
    std::int32_t warmUpLeft_ = 0;
    std::int32_t seriesLeft_ = 0;
    std::int32_t maxDepthCounter_ = 3;
    float currentDepth_ = 0;
    std::chrono::steady_clock::time_point depthTime_{};
    std::int32_t workMode_ = manualMode;
    std::int32_t timeModePeriod_ = 0;
    bool saveAllValues_ = true;
    bool saveScienceValues_ = false;
    bool startPending_ = false;
    std::optional<int> lastSecondField_;
    std::chrono::steady_clock::time_point cycleStart_{};
    std::string announcedModeText_;
    // Last: it is awaited before the link it uses goes.
    std::future<bool> handshake_;
};
