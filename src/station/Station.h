#pragma once

#include "chromatogram/Summcurve.h"
#include "library/Lockobject.h"
#include "station/Nivrasystem.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class Configuration;
class Log;
class TSummThread;
class TotalGasPoller;
namespace platform {
class OperatorNotifier;
}

// The running station without its windows: the start-up, the main timer's work apart from the
// drawing, and the closing, in the order the main window and the headless program share, so
// neither copies them. It owns the work-cycle controller and what runs beside it: the journal,
// the total-gas poller, the external summator thread and the summator trend with its file.
//
// Main thread only. What a window shows comes out as plain values, as of the last tick.
class Station {
public:
    static constexpr std::chrono::milliseconds tickInterval{400};
    static constexpr const char* resultsFileName = "data.tim";
    static constexpr const char* summatorTrendName = "gsumm.dat";
    static constexpr const char* journalName = "события.txt";

    Station(Configuration& configuration, platform::OperatorNotifier& notifier, std::filesystem::path directory);
    Station(Configuration& configuration, platform::OperatorNotifier& notifier, std::filesystem::path directory,
            NivraSystem::Clocks clocks);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // The steps before a first start's setup wizard: the controller's stores, the program
    // settings, the journal ("Запуск программы"), the area and well folders, the results table.
    void startUp();
    // The steps after it: the results table's own options, the summator trend, the total-gas
    // poller and the summator thread.
    void startServices();
    // One step of the main timer apart from the drawing: the controller, then the summator
    // reading, the live curve and what the indicators show. A failure the operator must see
    // comes back as its text, after a short beep; the rest of the step is skipped then.
    std::optional<std::string> tick();
    // Asks for a cycle as "Запуск" does; a refused start comes back as its text, an instrument
    // that does not answer with a later tick().
    std::optional<std::string> start();
    // The closing steps: the closing block to the registration program, the summator trend
    // saved, the summator thread ended, the controller's stores, the program settings, the
    // results table's options, "Закрытие программы" and an empty line in the journal. A cycle
    // still running is abandoned first. The caller sets what it adds to the settings before.
    void closeDown();

    NivraSystem& system() { return *system_; }
    const NivraSystem& system() const { return *system_; }
    Log& journal() { return *journal_; }
    // Appended on the acquisition thread under summatorTrendLock(): hold it while reading.
    TSummCurve& summatorTrend() { return summatorTrend_; }
    lib::lock_object& summatorTrendLock() { return summatorTrendLock_; }
    std::filesystem::path wellFolder() const;
    // The live display holds "посылок_в_секунду" × "размер_экрана" points: a longer analysis is
    // cut at the plot's right end. Again after the operator changed either.
    void displaySettingsChanged();
    // The operator accepted new settings: the summator thread reopens its port with them, and
    // the instrument's own summator stream restarts with them.
    void summatorSettingsChanged();
    // The registration computer or the threshold's source changed: the messages and the total-gas
    // query go to the new computer, and the query runs only while the threshold takes its reading.
    void registrationSettingsChanged();

    // The summator reading shown: the chromatograph's own (model 1) or the external summator's
    // while "show" and "use" are on, else the registration computer's total gas while "show"
    // and "porog_po_summe_type" are on, else none.
    std::optional<double> summatorReading() const { return summatorReading_; }
    // The reading with "gaz_summ_prec" decimals; empty when none is shown.
    std::string summatorText() const;
    std::int32_t adcCount() const { return adcCount_; }
    std::int32_t adcRange() const { return adcRange_; }
    // "АЦП=0333h ДИАП=2[1]": code in hexadecimal, or decimal with "scr_adc_value_mode" 1, the
    // range and the controller's idle flag.
    std::string adcText() const;
    // Idle and not waiting for the instrument's answer to a start.
    bool idle() const { return system_->isIdle() && !system_->isStarting(); }
    std::int32_t cycleSeconds() const { return cycleSeconds_; }
    // Empty while idle, else the seconds since the cycle started and " с.".
    std::string cycleTimeText() const;
    std::size_t pointCount() const { return pointCount_; }
    std::string modeText() const { return system_->modeText(); }
    std::int32_t state() const { return system_->state(); }

private:
    void takeSummatorReading();
    void takeIndicators();

    Configuration& configuration_;
    const std::filesystem::path directory_;
    // Before the controller: the link's thread appends to it until the controller is gone.
    lib::lock_object summatorTrendLock_;
    TSummCurve summatorTrend_;
    std::unique_ptr<NivraSystem> system_;
    std::unique_ptr<Log> journal_;
    std::unique_ptr<TotalGasPoller> totalGas_;
    std::unique_ptr<TSummThread> summator_;

    std::optional<double> summatorReading_;
    std::int32_t adcCount_ = 0;
    std::int32_t adcRange_ = 0;
    std::int32_t cycleSeconds_ = 0;
    std::size_t pointCount_ = 0;
};
