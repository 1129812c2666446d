#pragma once

#include "chromatogram/Summcurvepoint.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class TSummCurve;

// The rules of the summator trend chart apart from its drawing: the time scales of its list,
// the stretch of time shown for a scale and a scroll position, the points inside it, the steps
// and labels of the time axis, the cursor box's texts and the placement kept in the settings.
//
// Scroll positions count seconds from the trend's first point; the last position shows the
// newest reading at the bottom.
class SummCurveWindow {
public:
    static constexpr double second = 1.0 / 86400;
    static constexpr double minute = 1.0 / 1440;
    static constexpr double hour = 1.0 / 24;

    struct TimeScale {
        std::string_view caption;
        double days;
    };
    static constexpr std::array<TimeScale, 16> timeScales{{
        {"1 минута", minute},
        {"3 минуты", 3 * minute},
        {"5 минут", 5 * minute},
        {"10 минут", 10 * minute},
        {"15 минут", 15 * minute},
        {"20 минут", 20 * minute},
        {"30 минут", 30 * minute},
        {"1 час", hour},
        {"2 часа", 2 * hour},
        {"3 часа", 3 * hour},
        {"4 часа", 4 * hour},
        {"6 часов", 6 * hour},
        {"12 часов", 12 * hour},
        {"1 сутки", 1},
        {"2", 2},
        {"3", 3},
    }};
    // A scroll bar this close to its end keeps following the newest reading.
    static constexpr int followDistance = 5;

    static constexpr int defaultPanelWidth = 200;
    // Narrower than this the panel was collapsed or never laid out: its width is not kept.
    static constexpr int minimumPanelWidth = 60;
    static constexpr double defaultValueMin = 0;
    static constexpr double defaultValueMax = 5;

    // The list entry of a stored "win_mashtab"; a value outside the list selects the first.
    static std::size_t scaleIndex(std::int32_t stored);

    std::size_t scale() const { return scale_; }
    // Keeps the middle of the window in view; a window at the end stays there.
    void setScale(std::size_t index);
    // The trend now runs from first to last; a window within followDistance of the end follows
    // the newest reading.
    void setExtent(double first, double last);
    void setPosition(int position);

    int position() const { return position_; }
    int maxPosition() const { return maxPosition_; }
    // The window's length in positions, and a tenth of it.
    int pageStep() const;
    int singleStep() const;
    bool nearEnd() const { return maxPosition_ - position_ <= followDistance; }
    // The stretch of time shown, earliest (top) to latest (bottom).
    double top() const;
    double bottom() const { return top() + length(); }
    double length() const { return timeScales[scale_].days; }

    struct IndexRange {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool operator==(const IndexRange&) const = default;
    };
    // The points from `from` to `to`, both included; the points must be in time order.
    static IndexRange indexRange(std::span<const SummCurvePoint> points, double from, double to);
    // The point nearest to time, if one lies within a minute of it (points in time order).
    static std::optional<std::size_t> readingAt(std::span<const SummCurvePoint> points, double time);

    struct TickStep {
        double days;
        int subTicks;
    };
    // The shortest readable step that puts at most maxTicks labels on span days.
    static TickStep tickStep(double span, int maxTicks);
    // A time axis label: clock time with seconds for steps under a minute, else hours and
    // minutes; a tick at midnight shows the date ("03.10") instead.
    static std::string tickLabel(double time, double stepDays);
    // "03.10 16:20:05": short enough for the cursor box of a narrow panel; the trend holds
    // thirty days, so the year goes without saying.
    static std::string timeText(double time);
    // The depth as a label shows it; empty for 0 (depth unknown).
    static std::string depthText(float depth);

    struct CursorTexts {
        std::string time;
        std::string depth;
        std::string value;  // empty where no reading was taken
    };
    // The trend must be held still (its lock) while this runs.
    static CursorTexts cursorTexts(const TSummCurve& trend, double time, int decimals);

    struct ValueRange {
        double min;
        double max;
    };
    // The stored summator axis range; an empty, inverted or non-finite one gives the default.
    static ValueRange valueRange(double min, double max);
    static int restoredWidth(int stored);
    static int storedWidth(int current, int stored);

private:
    void measure();
    void clampPosition();

    double first_ = 0;
    double last_ = 0;
    std::size_t scale_ = 0;
    int position_ = 0;
    int maxPosition_ = 0;
};
