#pragma once

#include <cstdint>
#include <string>

class Configuration;
class NivraSystem;

// What the main window shows of the station beside the chromatogram: the caption, the mode
// buttons with their hints, which controls are visible or enabled, and the blinking state
// indicator. Worked out here so that the window only applies it.
class StationView {
public:
    struct Gradient {
        std::uint32_t from;
        std::uint32_t to;
        bool operator==(const Gradient&) const = default;
    };
    static constexpr Gradient workingGradient{0x0000FF, 0x000080};
    static constexpr Gradient idleGradient{0x808080, 0x4E4E4E};
    static constexpr const char* workingText = "Р А Б О Т А";
    static constexpr const char* idleText = "Г О Т О В";

    StationView(const Configuration& configuration, const NivraSystem& system);

    std::string caption() const;
    // "Запуск прогрева колонок..." is hidden for the "ЛТ-4КС" only.
    bool warmUpItemVisible() const;
    std::string timeModeHint() const;
    std::string summatorModeHint() const;
    // Mode 4 needs a summator in use or the registration computer's total gas.
    bool summatorModeEnabled() const;

    bool saveButtonEnabled() const;
    bool summatorStripVisible() const;
    bool summatorChartVisible() const;
    bool adcIndicatorVisible() const;

    // The state indicator after one more refresh: while working it blinks, the text shown on
    // every second refresh; idle it reads "Г О Т О В" at once.
    void refreshState();
    const std::string& stateText() const { return stateText_; }
    Gradient stateGradient() const { return stateGradient_; }

private:
    const Configuration& configuration_;
    const NivraSystem& system_;
    int blink_ = 0;
    std::string stateText_ = idleText;
    Gradient stateGradient_ = idleGradient;
};
