#include "station/Workoptions.h"

#include "library/Locker.h"
#include "library/Numstr.h"
#include "settings/Chromatographmodel.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "station/Nivrasystem.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

using TimeStep = WorkOptions::TimeStep;

const std::vector<WorkOptions::TimeRow> lt4ksRows{
    {" Включение дозы ", 0, TimeStep::plain},
    {" Включение нагрева 1 ", 1, TimeStep::plain},
    {" Включение анализа ", 2, TimeStep::plain},
    {" Включение нагрева 2 ", 3, TimeStep::plain},
    {" Включение нагрева 3 ", 4, TimeStep::plain},
    {" Включение вентилятора ", 5, TimeStep::plain},
    {" Длительность цикла ", 6, TimeStep::plain},
};

// "время1" of this model is the dose time on the manufacturer's page.
const std::vector<WorkOptions::TimeRow> tavirRows{
    {" Время начала нагрева ", 1, TimeStep::heatingStart},
    {" Время окончания нагрева ", 2, TimeStep::heatingEnd},
    {" Интенсивность нагрева ", 3, TimeStep::heatingIntensity},
    {" Длительность цикла ", 4, TimeStep::cycleDuration},
};

// The grid edits "время1" … "время7"; "время_цикла" is not the operator's.
constexpr int lastEditedTime = 6;

constexpr std::int32_t intensityIndex = 3;
constexpr std::int32_t highestIntensity = 63;
constexpr std::int32_t lowestIntensity = 1;

constexpr std::array<const char*, 2> models{"ЛТ-4КС", "Тавир"};

const char* const intensityMessage =
    "Значение параметра должно быть в интервале 1..63. Значение будет автоматически исправлено.";

// A neighbour the check compares with, or none.
struct TimeCheck {
    TimeStep edited;
    TimeStep other;
    bool (*fails)(std::int32_t edited, std::int32_t other);
    const char* message;
    std::int32_t corrected;
};

const std::array<TimeCheck, 6> timeChecks{{
    {TimeStep::heatingIntensity, TimeStep::plain, [](std::int32_t e, std::int32_t) { return e >= 64; },
     intensityMessage, 63},
    {TimeStep::heatingIntensity, TimeStep::plain, [](std::int32_t e, std::int32_t) { return e <= 0; },
     intensityMessage, 1},
    {TimeStep::cycleDuration, TimeStep::heatingEnd, [](std::int32_t e, std::int32_t end) { return end >= e; },
     "Длительность цикла должна быть больше времени окончания нагрева! Значение будет автоматически исправлено.",
     120},
    {TimeStep::heatingEnd, TimeStep::cycleDuration, [](std::int32_t e, std::int32_t cycle) { return e >= cycle; },
     "Время окончания нагрева должно быть меньше длительности цикла! Значение будет автоматически исправлено.", 60},
    {TimeStep::heatingEnd, TimeStep::heatingStart, [](std::int32_t e, std::int32_t start) { return start >= e; },
     "Время окончания нагрева должно быть больше времени начала нагрева! Значение будет автоматически исправлено.",
     60},
    {TimeStep::heatingStart, TimeStep::heatingEnd, [](std::int32_t e, std::int32_t end) { return e >= end; },
     "Время начала нагрева должно быть меньше времени окончания нагрева! Значение будет автоматически исправлено.",
     18},
}};

struct IntLimit {
    std::int32_t Configuration::*field;
    std::int32_t low;
    std::int32_t high;
};

constexpr std::int32_t unbounded = std::numeric_limits<std::int32_t>::max();

constexpr std::array<IntLimit, 6> intLimits{{
    {&Configuration::screenSeconds, 1, unbounded},
    {&Configuration::horizontalGrid, Configuration::minimumGridLines, unbounded},
    {&Configuration::verticalGrid, Configuration::minimumGridLines, unbounded},
    {&Configuration::averagingPoints, 3, unbounded},
    {&Configuration::zeroTime, 1, 15},
    {&Configuration::summatorPrecision, 0, 10},
}};

constexpr double lowestFilterFrequency = 1.0;
constexpr double highestFilterFrequency = 50.0;
constexpr std::int32_t defaultTimeModePeriod = 120;
constexpr std::int32_t defaultPreviewSize = 10;

std::int32_t integerOr(std::string_view text, std::int32_t old)
{
    return lib::parseInteger(text).value_or(old);
}

// A number a float cannot hold reads as 0, like any other unreadable text.
float realAsFloat(std::string_view text)
{
    const double value = lib::parseReal(text);
    return std::fabs(value) <= std::numeric_limits<float>::max() ? static_cast<float>(value) : 0.0f;
}

std::string real(double value, int decimals)
{
    return lib::formatReal(value, decimals);
}

} // namespace

WorkOptions::WorkOptions(NivraSystem& system, Configuration& configuration)
    : system_(system), configuration_(configuration)
{
}

WorkOptions::~WorkOptions()
{
    abandonZeroCalibration();
}

std::vector<WorkOptions::TimeRow> WorkOptions::timeRows(std::int32_t deviceType)
{
    return deviceType == modelTavir ? tavirRows : lt4ksRows;
}

std::vector<WorkOptions::TimeRow> WorkOptions::timeRows() const
{
    return timeRows(configuration_.deviceType);
}

std::string WorkOptions::modelName(std::int32_t deviceType)
{
    if (deviceType < 0 || static_cast<std::size_t>(deviceType) >= models.size())
        return unknownModel;
    return models[static_cast<std::size_t>(deviceType)];
}

std::vector<std::string> WorkOptions::modelNames()
{
    return {models.begin(), models.end()};
}

bool WorkOptions::summatorModeAllowed(bool summatorUse, bool thresholdByTotalGas)
{
    return summatorUse || thresholdByTotalGas;
}

std::int32_t WorkOptions::previewFontSize(std::string_view text)
{
    return integerOr(text, defaultPreviewSize);
}

std::int32_t WorkOptions::maxDepthCounter(int listIndex, std::int32_t old)
{
    return listIndex >= 0 ? listIndex + 1 : old;
}

std::uint32_t WorkOptions::colourValue(std::string_view text)
{
    std::uint32_t colour = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), colour);
    if (error == std::errc() && end == text.data() + text.size())
        return colour;
    return static_cast<std::uint32_t>(lib::parseInteger(text).value_or(0));
}

void WorkOptions::limitHeatingIntensity()
{
    if (configuration_.deviceType != modelTavir)
        return;
    const lib::Locker hold(system_.nivra);
    std::int32_t& intensity = configuration_.programmeTimes[intensityIndex];
    if (intensity > highestIntensity)
        intensity = highestIntensity;
    else if (intensity == 0)
        intensity = lowestIntensity;
}

std::vector<std::string> WorkOptions::timeTexts()
{
    limitHeatingIntensity();
    std::vector<std::string> texts;
    for (const TimeRow& row : timeRows())
        texts.push_back(std::to_string(configuration_.programmeTimes[row.timeIndex]));
    return texts;
}

WorkOptions::Values WorkOptions::read()
{
    const Configuration& c = configuration_;
    Values v;
    v.workMode = system_.workMode();
    v.timeModePeriod = std::to_string(system_.timeModePeriod());
    v.maxDepthIndex = system_.maxDepthCounter() - 1;
    v.saveAllValues = system_.saveAllValues();
    v.saveScienceValues = system_.saveScienceValues();
    v.times = timeTexts();

    for (int i = 0; i < system_.gazOptions.count(); ++i) {
        const Gaz& gaz = system_.gazOptions.gas(static_cast<std::size_t>(i));
        v.gases.push_back({gaz.name, gaz.label, real(gaz.nominalStart, 1), real(gaz.nominalEnd, 1),
                           std::to_string(gaz.colour)});
    }
    v.gases.emplace_back();
    shownGases_ = v.gases;
    v.correctWindows = c.correctWindows;
    v.minGazValue = real(c.minGazValue, 6);

    v.backgroundColor = c.backgroundColor;
    v.curveColor = c.curveColor;
    v.curveWidth = c.curveWidth;
    v.horizontalGrid = std::to_string(c.horizontalGrid);
    v.verticalGrid = std::to_string(c.verticalGrid);
    v.screenSeconds = std::to_string(c.screenSeconds);
    v.fontName = c.fontName;
    v.fontSize = c.fontSize;
    v.tableFontSize = c.tableFontSize;

    v.summatorUse = c.summatorUse;
    v.summatorPortName = c.summatorPortName;
    v.summatorShow = c.summatorShow;
    v.summatorShowWindow = c.summatorShowWindow;
    v.summatorPrecision = std::to_string(c.summatorPrecision);
    v.summatorCoeff = real(c.summatorCoeff, 3);
    v.summatorNull = real(c.summatorNull, 3);
    v.summatorNull10 = real(c.summatorNull10, 3);
    v.summatorSwitchThreshold = real(c.summatorSwitchThreshold, 3);
    v.summatorMax1 = real(c.summatorMax1, 3);
    v.summatorMax10 = real(c.summatorMax10, 3);

    v.portName = c.portName;
    v.remoteControl = c.remoteControl;
    v.password = c.password;

    v.adcValueMode = c.adcValueMode == 0 || c.adcValueMode == 1 ? c.adcValueMode : 0;
    v.showAdcValue = c.showAdcValue;
    v.zeroTime = std::to_string(c.zeroTime);
    v.doseTime = std::to_string(c.programmeTimes[0]);
    return v;
}

std::optional<WorkOptions::Correction> WorkOptions::checkTime(const std::vector<TimeRow>& rows,
                                                              const std::vector<std::string>& cells,
                                                              std::size_t editedRow, std::string_view text)
{
    if (editedRow >= rows.size())
        return std::nullopt;
    const std::optional<std::int32_t> edited = lib::parseInteger(text);
    if (!edited)
        return std::nullopt;
    const auto valueOf = [&](TimeStep step) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].step == step && i != editedRow)
                return i < cells.size() ? integerOr(cells[i], unreadableTime) : unreadableTime;
        return unreadableTime;
    };
    const TimeStep step = rows[editedRow].step;
    for (const TimeCheck& check : timeChecks)
        if (check.edited == step && check.fails(*edited, valueOf(check.other)))
            return Correction{check.message, check.corrected};
    return std::nullopt;
}

std::size_t WorkOptions::gasCount(const std::vector<GasRow>& rows)
{
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const GasRow& row) { return !row.name.empty(); }));
}

bool WorkOptions::windowAsShown(const std::vector<GasRow>& rows, std::size_t row) const
{
    return row < shownGases_.size() && !shownGases_[row].name.empty() && rows[row].start == shownGases_[row].start
           && rows[row].end == shownGases_[row].end;
}

// Only windows the operator typed are judged: a gas the setup wizard added with no window yet
// must not hold up every other setting.
std::optional<WorkOptions::Refusal> WorkOptions::checkGasTable(const std::vector<GasRow>& rows) const
{
    const std::size_t count = gasCount(rows);
    for (std::size_t i = 0; i < count; ++i) {
        if (windowAsShown(rows, i) || realAsFloat(rows[i].end) > realAsFloat(rows[i].start))
            continue;
        return Refusal{"Время окончания выхода газа \"" + rows[i].name
                           + "\" должно быть больше времени начала выхода! Исправьте значения в таблице газов.",
                       i};
    }
    return std::nullopt;
}

// Gas i takes row i; what the grid does not show (the ranges) stays with the gas at that place.
std::vector<Gaz> WorkOptions::gasTable(const std::vector<GasRow>& rows) const
{
    const GazOptions& table = system_.gazOptions;
    const std::size_t count = gasCount(rows);
    std::vector<Gaz> gazes(count);
    for (std::size_t i = 0; i < count; ++i) {
        Gaz& gaz = gazes[i];
        if (i < static_cast<std::size_t>(table.count()))
            gaz = table.gas(i);
        const GasRow& row = rows[i];
        if (configuration_.settingsMode)
            gaz.name = row.name;
        gaz.label = row.label;
        // A window left as shown keeps its stored seconds, not their one-decimal text.
        if (!windowAsShown(rows, i) || i >= static_cast<std::size_t>(table.count())) {
            gaz.nominalStart = realAsFloat(row.start);
            gaz.nominalEnd = realAsFloat(row.end);
        }
        gaz.integrationStart = gaz.nominalStart;
        gaz.integrationEnd = gaz.nominalEnd;
        gaz.colour = colourValue(row.colour);
    }
    return gazes;
}

std::optional<WorkOptions::Refusal> WorkOptions::store(const Values& values)
{
    if (auto refusal = checkGasTable(values.gases))
        return refusal;
    const std::vector<Gaz> gazes = gasTable(values.gases);
    {
        const lib::Locker hold(system_.nivra);
        storeTimes(values);
        storeSettings(values);
        applyLimits(configuration_);
    }
    storeController(values);
    system_.gazOptions.replaceTable(gazes);  // under the buffer's lock, announced after it
    // After the settings: "use" and "porog_po_summe_type" as just stored decide whether mode 4 stays.
    system_.setWorkMode(values.workMode);
    save();
    return std::nullopt;
}

// Row by row into the fields the rows are bound to; a field between the first row's and
// "время7" that no row shows becomes 0.
void WorkOptions::storeTimes(const Values& values)
{
    auto& times = configuration_.programmeTimes;
    const std::vector<TimeRow> rows = timeRows();
    for (int field = rows.front().timeIndex; field <= lastEditedTime; ++field) {
        const auto row = std::find_if(rows.begin(), rows.end(), [field](const TimeRow& r) { return r.timeIndex == field; });
        const auto index = static_cast<std::size_t>(row - rows.begin());
        times[field] = row != rows.end() && index < values.times.size() ? integerOr(values.times[index], times[field]) : 0;
    }
    if (configuration_.deviceType == modelTavir)
        times[0] = integerOr(values.doseTime, times[0]);
}

void WorkOptions::storeSettings(const Values& v)
{
    Configuration& c = configuration_;
    c.screenSeconds = integerOr(v.screenSeconds, c.screenSeconds);

    c.correctWindows = v.correctWindows;
    c.minGazValue = lib::parseReal(v.minGazValue);

    c.backgroundColor = v.backgroundColor;
    c.curveColor = v.curveColor;
    c.curveWidth = v.curveWidth;
    c.horizontalGrid = integerOr(v.horizontalGrid, c.horizontalGrid);
    c.verticalGrid = integerOr(v.verticalGrid, c.verticalGrid);
    if (!v.fontName.empty())
        c.fontName = v.fontName;
    c.fontSize = v.fontSize;
    c.tableFontSize = v.tableFontSize;

    c.summatorUse = v.summatorUse;
    if (v.clearSummatorPresence)
        c.summatorPresent = 0;
    c.summatorPortName = v.summatorPortName;
    c.summatorShow = v.summatorShow;
    c.summatorShowWindow = v.summatorShowWindow;
    c.summatorPrecision = integerOr(v.summatorPrecision, c.summatorPrecision);
    c.summatorCoeff = realAsFloat(v.summatorCoeff);
    c.summatorNull = realAsFloat(v.summatorNull);
    c.summatorNull10 = realAsFloat(v.summatorNull10);
    c.summatorSwitchThreshold = realAsFloat(v.summatorSwitchThreshold);
    c.summatorMax1 = lib::parseReal(v.summatorMax1);
    c.summatorMax10 = lib::parseReal(v.summatorMax10);

    c.portName = v.portName;
    c.remoteControl = v.remoteControl;
    c.password = v.password;

    c.adcValueMode = v.adcValueMode;
    c.showAdcValue = v.showAdcValue;
    c.zeroTime = integerOr(v.zeroTime, c.zeroTime);
}

// The controller's own fields are the main thread's alone.
void WorkOptions::storeController(const Values& v)
{
    system_.setTimeModePeriod(limitTimeModePeriod(integerOr(v.timeModePeriod, system_.timeModePeriod())));
    system_.setMaxDepthCounter(maxDepthCounter(v.maxDepthIndex, system_.maxDepthCounter()));
    system_.setSaveAllValues(v.saveAllValues);
    system_.setSaveScienceValues(v.saveScienceValues);
}

void WorkOptions::applyLimits(Configuration& c)
{
    for (const IntLimit& limit : intLimits)
        c.*limit.field = std::clamp(c.*limit.field, limit.low, limit.high);
    c.filterFrequency = std::clamp(c.filterFrequency, lowestFilterFrequency, highestFilterFrequency);
    if (!(c.summatorCoeff >= 0))
        c.summatorCoeff = 0;
}

std::int32_t WorkOptions::limitTimeModePeriod(std::int32_t seconds)
{
    return seconds <= 0 ? defaultTimeModePeriod : seconds;
}

// One open of the file for all three: saving the gas list empties the section that holds
// "min_gaz_value", which the program settings write back; the file reaches the disk once.
void WorkOptions::save()
{
    system_.saveSettings();
}

void WorkOptions::changeDeviceType(std::int32_t type)
{
    const lib::Locker hold(system_.nivra);
    configuration_.deviceType = type;
    configuration_.applyDeviceTimeDefaults();
}

void WorkOptions::startZeroCalibration(bool secondChannelShown)
{
    const Nivra::SummatorOffsets before = system_.nivra.summatorOffsets();
    const ZeroOffsets stored{configuration_.summatorNull, configuration_.summatorNull10};
    {
        const lib::Locker hold(system_.nivra);
        configuration_.summatorNull = 0;
        configuration_.summatorNull10 = 0;
    }
    configuration_.summatorHighChannel = false;
    configuration_.summatorZeroCalibration = true;
    calibration_ = Calibration{before, secondChannelShown, stored};
}

// A channel that delivered no reading meanwhile keeps the 0 the calibration started from.
WorkOptions::ZeroOffsets WorkOptions::finishZeroCalibration()
{
    if (!calibration_)
        return {configuration_.summatorNull, configuration_.summatorNull10};
    configuration_.summatorZeroCalibration = false;
    const Nivra::SummatorOffsets after = system_.nivra.summatorOffsets();
    const Nivra::SummatorOffsets& before = calibration_->before;
    ZeroOffsets measured{after.lowReadings != before.lowReadings ? static_cast<float>(after.low) : 0.0f,
                         after.highReadings != before.highReadings ? static_cast<float>(after.high) : 0.0f};
    if (!calibration_->secondChannelShown)
        measured.null10 = measured.null;
    calibration_.reset();
    const lib::Locker hold(system_.nivra);
    configuration_.summatorNull = measured.null;
    configuration_.summatorNull10 = measured.null10;
    return measured;
}

void WorkOptions::abandonZeroCalibration()
{
    if (!calibration_)
        return;
    configuration_.summatorZeroCalibration = false;
    const ZeroOffsets stored = calibration_->stored;
    calibration_.reset();
    {
        const lib::Locker hold(system_.nivra);
        configuration_.summatorNull = stored.null;
        configuration_.summatorNull10 = stored.null10;
    }
    system_.nivra.stopSummatorStreaming();
}
