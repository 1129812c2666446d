#include "analysis/Calibrationrun.h"

#include "analysis/Gazopts.h"
#include "analysis/Robustmean.h"

#include <algorithm>
#include <utility>

CalibrationRun::CalibrationRun(std::string dilution, std::int32_t repeats, Controller controller)
    : dilution_(std::move(dilution)), repeats_(repeats), controller_(std::move(controller))
{
    if (repeats_ <= 0)
        fail();
}

std::string CalibrationRun::promptText() const
{
    return "Введите газ с разбавлением \"" + dilution_ + "\" и нажмите кнопку \"OK\"";
}

void CalibrationRun::promptAnswered(bool ok)
{
    if (phase_ != Phase::waitingForPrompt)
        return;
    if (!ok) {
        fail();
        return;
    }
    cancelRequested_ = false;
    attempts_.clear();
    attempt_ = 0;
    startAttempt();
}

void CalibrationRun::startAttempt()
{
    ++attempt_;
    try {
        cyclesBefore_ = controller_.completedCycles();
        if (controller_.start()) {
            fail();
            return;
        }
    } catch (...) {
        fail();
        return;
    }
    phase_ = Phase::startUpWait;
    startUpLeft_ = startUpSteps;
}

std::optional<std::chrono::milliseconds> CalibrationRun::step()
{
    if (ended())
        return std::nullopt;
    if (cancelRequested_) {
        fail();
        return std::nullopt;
    }
    try {
        return advance();
    } catch (...) {
        fail();
        return std::nullopt;
    }
}

std::optional<std::chrono::milliseconds> CalibrationRun::advance()
{
    switch (phase_) {
    case Phase::startUpWait:
        if (--startUpLeft_ > 0)
            return startUpStep;
        if (!controller_.idle()) {
            phase_ = Phase::cycleWait;
            return cycleStep;
        }
        return cycleOver();
    case Phase::cycleWait:
        if (!controller_.idle())
            return cycleStep;
        return cycleOver();
    default:
        return std::nullopt;  // before the prompt's answer nothing waits
    }
}

// Idle again: the attempt counts only when a cycle was completed since its start; otherwise it
// never started, was lost or broke off, and the controller's results are someone else's.
std::optional<std::chrono::milliseconds> CalibrationRun::cycleOver()
{
    if (controller_.completedCycles() <= cyclesBefore_) {
        fail();
        return std::nullopt;
    }
    attempts_.push_back(controller_.areas());
    if (attempt_ >= repeats_) {
        phase_ = Phase::succeeded;
        return std::nullopt;
    }
    startAttempt();
    if (ended())
        return std::nullopt;
    return startUpStep;
}

std::string CalibrationRun::title() const
{
    if (!running())
        return {};
    return "Разбавление \"" + dilution_ + "\" попытка №" + std::to_string(attempt_) + "    ";
}

std::vector<double> CalibrationRun::means() const
{
    if (phase_ != Phase::succeeded || attempts_.empty())
        return {};
    const std::size_t gasCount = attempts_.front().size();
    std::vector<double> result(gasCount);
    std::vector<double> values(attempts_.size());
    for (std::size_t i = 0; i < gasCount; ++i) {
        for (std::size_t j = 0; j < attempts_.size(); ++j)
            values[j] = i < attempts_[j].size() ? attempts_[j][i] : 0.0;
        result[i] = robustMean(values);
    }
    return result;
}

std::vector<double> CalibrationRun::gasAreas(const CalculatedGazes& results, const GazOptions& gases)
{
    std::vector<double> areas(static_cast<std::size_t>(std::max(gases.count(), 0)), 0.0);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const std::string& name = gases.gas(i).name;
        for (const CalculatedGaz& result : results) {
            if (result.derived == 0 && result.name == name) {
                areas[i] = result.area;
                break;
            }
        }
    }
    return areas;
}
