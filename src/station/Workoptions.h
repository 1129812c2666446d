#pragma once

#include "analysis/Gaz.h"
#include "device/Nivra.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Configuration;
class NivraSystem;

// The rules of the operator's working settings: what every control of the options window shows,
// what "OK" stores, the checks of the cycle times and of the gas windows, and the limits applied
// after storing. The window keeps the texts; nothing reaches the settings before store() except
// what the operator expects at once: the zero calibration, the type selector, and the heating
// intensity limited on showing.
//
// Main thread only. Values the acquisition thread starts from are written under the link's lock;
// the notifications follow once every lock is released.
class WorkOptions {
public:
    static constexpr const char* inputErrorCaption = "Ошибка ввода параметра";
    static constexpr const char* unknownModel = "Неизвестный прототип";
    static constexpr int zeroCalibrationTicks = 30;
    // What an empty or garbled neighbour cell counts as in the time checks.
    static constexpr std::int32_t unreadableTime = -99999;

    // The part a row of the time grid plays in the checks; the seven rows of model 0 play none.
    enum class TimeStep { plain, heatingStart, heatingEnd, heatingIntensity, cycleDuration };
    struct TimeRow {
        const char* caption;
        int timeIndex;  // into Configuration::programmeTimes: 0 is "время1"
        TimeStep step;
    };

    struct GasRow {
        std::string name;
        std::string label;
        std::string start;
        std::string end;
        std::string colour;
    };

    // Every edited value as its control shows it.
    struct Values {
        // "Режим"
        std::int32_t workMode = 0;
        std::string timeModePeriod;
        int maxDepthIndex = -1;  // into "0" … "10"
        bool saveAllValues = false;
        bool saveScienceValues = false;
        std::vector<std::string> times;  // the time grid's second column, row by row
        // "Газ": one row per gas and an empty one for a new gas
        std::vector<GasRow> gases;
        bool correctWindows = false;
        std::string minGazValue;
        // "Экран"
        std::uint32_t backgroundColor = 0;
        std::uint32_t curveColor = 0;
        std::int32_t curveWidth = 1;
        std::string horizontalGrid;
        std::string verticalGrid;
        std::string screenSeconds;
        std::string fontName;
        std::int32_t fontSize = 8;
        std::int32_t tableFontSize = 7;
        // "Газосумматор"
        bool summatorUse = false;
        bool clearSummatorPresence = false;  // the operator clicked "Использовать газосумматор"
        std::string summatorPortName;
        bool summatorShow = false;
        bool summatorShowWindow = false;
        std::string summatorPrecision;
        std::string summatorCoeff;
        std::string summatorNull;
        std::string summatorNull10;
        std::string summatorSwitchThreshold;
        std::string summatorMax1;
        std::string summatorMax10;
        // "Разное"
        std::string portName;
        bool remoteControl = false;
        std::string password;
        // "Настройки производителя"
        std::int32_t adcValueMode = 0;
        bool showAdcValue = false;
        std::string zeroTime;
        std::string doseTime;  // "время1" of the model Тавир
    };

    struct Correction {
        std::string message;
        std::int32_t corrected;
    };
    struct Refusal {
        std::string message;
        std::size_t row;  // of the gas grid
    };
    struct ZeroOffsets {
        float null;
        float null10;
    };

    WorkOptions(NivraSystem& system, Configuration& configuration);
    // Ends a zero calibration still running: the summator must not stay silent.
    ~WorkOptions();
    WorkOptions(const WorkOptions&) = delete;
    WorkOptions& operator=(const WorkOptions&) = delete;

    static std::vector<TimeRow> timeRows(std::int32_t deviceType);
    std::vector<TimeRow> timeRows() const;
    static std::string modelName(std::int32_t deviceType);
    // The type selector's list, by type.
    static std::vector<std::string> modelNames();
    static bool summatorModeAllowed(bool summatorUse, bool thresholdByTotalGas);
    static std::int32_t previewFontSize(std::string_view text);
    static std::int32_t maxDepthCounter(int listIndex, std::int32_t old);
    // A gas grid's colour cell: a decimal colour, 0 when it is no number.
    static std::uint32_t colourValue(std::string_view text);

    // The values to show. Limits the stored heating intensity of model 1 first, in memory.
    Values read();
    // The time grid's second column for the current type, after the same limit.
    std::vector<std::string> timeTexts();

    // The check of one finished cell of the time grid (model 1's rows only; an empty or garbled
    // text is not checked). cells are the column's texts, editedRow's replaced by text.
    static std::optional<Correction> checkTime(const std::vector<TimeRow>& rows, const std::vector<std::string>& cells,
                                               std::size_t editedRow, std::string_view text);
    // The gases "OK" keeps: as many as the rows with a name, taken from the first rows.
    static std::size_t gasCount(const std::vector<GasRow>& rows);

    // "OK": refused, with nothing stored, when a window the operator typed would never integrate
    // (its end not after its start); otherwise stores everything, applies the limits and saves the settings file.
    std::optional<Refusal> store(const Values& values);

    // The type selector: at once, with that type's cycle-time defaults.
    void changeDeviceType(std::int32_t type);

    // Zero offsets at 0, high channel inactive, the summator's calibration started.
    void startZeroCalibration(bool secondChannelShown);
    // Stops it and writes the offsets it measured to the settings at once; a hidden second
    // channel takes the first one's offset.
    ZeroOffsets finishZeroCalibration();
    // Stops a calibration cut short (the dialog closed before it ended): the offsets stored before
    // it come back, and the instrument's summator stream restarts with them.
    void abandonZeroCalibration();

    static void applyLimits(Configuration& configuration);
    static std::int32_t limitTimeModePeriod(std::int32_t seconds);

private:
    struct Calibration {
        Nivra::SummatorOffsets before;
        bool secondChannelShown;
        ZeroOffsets stored;  // put back when the calibration is cut short
    };

    void limitHeatingIntensity();
    std::optional<Refusal> checkGasTable(const std::vector<GasRow>& rows) const;
    bool windowAsShown(const std::vector<GasRow>& rows, std::size_t row) const;
    std::vector<Gaz> gasTable(const std::vector<GasRow>& rows) const;
    void storeTimes(const Values& values);
    void storeSettings(const Values& values);
    void storeController(const Values& values);
    void save();

    NivraSystem& system_;
    Configuration& configuration_;
    std::optional<Calibration> calibration_;
    // The gas rows as read() showed them: a window left as it was is kept as stored.
    std::vector<GasRow> shownGases_;
};
