#pragma once

#include "analysis/Calculatedgaz.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class GazOptions;

// One calibration run of a reference mixture through real analysis cycles, as a state machine the
// calibration window drives with a timer: it never sleeps, so the station goes on working under
// it. Every failure ends the run without a word and without results.
class CalibrationRun {
public:
    // What the run needs of the work-cycle controller.
    struct Controller {
        // Asks for a cycle. A refusal comes back as its text; an exception ends the run as well.
        std::function<std::optional<std::string>()> start;
        // Idle between cycles (and not awaiting the instrument's answer to a start); idle again
        // once a finished cycle has been evaluated.
        std::function<bool()> idle;
        // How many cycles have ended normally and been evaluated so far. An attempt counts only
        // when this grew: a cycle that ended before the start-up wait was over still counts, and
        // one that was lost or broke off gives no areas.
        std::function<std::int64_t()> completedCycles;
        // The areas of the analysis just finished, one per gas of the gas table.
        std::function<std::vector<double>()> areas;
    };

    enum class Phase {
        waitingForPrompt,  // the operator has to confirm the mixture is connected
        startUpWait,       // 200 steps of 20 ms after a start
        cycleWait,         // 10 ms steps until the controller is idle
        succeeded,
        failed,
    };

    static constexpr int startUpSteps = 200;
    static constexpr std::chrono::milliseconds startUpStep{20};
    static constexpr std::chrono::milliseconds cycleStep{10};

    CalibrationRun(std::string dilution, std::int32_t repeats, Controller controller);

    // Fewer than one repeat ends the run before the prompt.
    Phase phase() const { return phase_; }
    bool running() const { return phase_ == Phase::startUpWait || phase_ == Phase::cycleWait; }
    bool ended() const { return phase_ == Phase::succeeded || phase_ == Phase::failed; }

    // "Введите газ с разбавлением \"" + dilution + "\" и нажмите кнопку \"OK\""
    std::string promptText() const;
    // Anything but OK ends the run; OK starts the first attempt.
    void promptAnswered(bool ok);
    // One step of the waits; the delay until the next one, nothing once the run has ended.
    std::optional<std::chrono::milliseconds> step();
    // Takes effect at the next step. The cycle already running goes on in the controller.
    void cancel() { cancelRequested_ = true; }

    // "Разбавление \"" + dilution + "\" попытка №" + attempt + four blanks, while running.
    std::string title() const;
    std::int32_t attempt() const { return attempt_; }
    // After success: each gas's robust mean over the attempts.
    std::vector<double> means() const;

    // The area of each gas of the table, by name from the absolute results (the first record of
    // that name that is no total or share); 0 for a gas without one. The calculation completes
    // gases in the order their peaks end, not always in table order.
    static std::vector<double> gasAreas(const CalculatedGazes& results, const GazOptions& gases);

private:
    void startAttempt();
    std::optional<std::chrono::milliseconds> advance();
    std::optional<std::chrono::milliseconds> cycleOver();
    void fail() { phase_ = Phase::failed; }

    std::string dilution_;
    std::int32_t repeats_;
    Controller controller_;
    Phase phase_ = Phase::waitingForPrompt;
    std::int32_t attempt_ = 0;
    int startUpLeft_ = 0;
    std::int64_t cyclesBefore_ = 0;
    bool cancelRequested_ = false;
    std::vector<std::vector<double>> attempts_;
};
