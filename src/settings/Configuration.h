#pragma once

#include "settings/Chromatographmodel.h"
#include "settings/Inioptions.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

// The program settings, stored in "хроматограф.ini" in the program directory. One object for
// the whole process (instance()); tests make their own.
class Configuration : public lib::ini_options {
public:
    static constexpr const char* iniFileName = "хроматограф.ini";
    // Kept as the settings name it; nothing loads from it: the calibration store is "calibr.ini"
    // (EtalonStorage::defaultFileName), as the controller loads and saves it.
    static constexpr const char* calibrationFileName = "эталон.ini";
    static constexpr int programmeTimeCount = 8;
    static constexpr const char* defaultPassword = "1";

    Configuration();
    static Configuration& instance();

    // Sets iniPath and calibrationPath in directory, then loads iniPath.
    void loadProgramSettings(const std::filesystem::path& directory);
    void saveProgramSettings();
    // Load, type defaults for the stored type, load again: times in the file win, times
    // missing from it take the defaults of the stored type.
    void loadAtStartUp(const std::filesystem::path& directory);

    void applyDeviceTimeDefaults();
    // Fewer grid lines than this are no grid; a damaged file or a typing slip is raised to it.
    static constexpr std::int32_t minimumGridLines = 2;
    void limitGridLines();
    std::int32_t cycleDuration() const;
    void setCycleDuration(std::int32_t seconds);
    std::int32_t heatingEnd() const;
    void setHeatingEnd(std::int32_t seconds);

    bool knownDeviceType() const;
    std::string deviceModel() const;
    std::string windowCaption() const;

    // Not stored as options.
    std::string iniPath;
    std::string calibrationPath;  // "эталон.ini": unused, see calibrationFileName
    std::string buildLabel;
    std::string password = defaultPassword;
    bool settingsMode = false;
    std::atomic<bool> summatorHighChannel{true};
    std::atomic<bool> summatorZeroCalibration{false};
    const std::string gazSection = "газ";
    const std::string calculationSection = "расчёт";

    // "порт"
    std::int32_t deviceType = modelLT4KS;
    std::string portName = "COM1";
    std::string summatorPortName = "COM2";
    std::int32_t baudRate = 19200;
    std::int32_t parity = 0;
    std::int32_t stopBits = 0;
    // "время": "время1" … "время7", "время_цикла"
    std::int32_t samplesPerSecond = 8;
    std::array<std::int32_t, programmeTimeCount> programmeTimes{2, 23, 30, 35, 55, 70, 120, 0};
    // "режим_работы"
    std::int32_t screenSeconds = 120;
    bool firstStart = true;
    // "газ"
    double minGazValue = 0.0001;
    // "ацп"
    bool correctWindows = false;
    std::int32_t adcBits = 14;
    std::int32_t adcRanges = 4;
    std::int32_t rangeRatio = 10;
    double inputVoltage = 2.5;
    // "экран"
    std::int32_t adcValueMode = 0;
    std::uint32_t backgroundColor = 0xFFFFFF;
    std::uint32_t curveColor = 0;
    std::int32_t curveWidth = 1;
    std::int32_t verticalGrid = 10;
    std::int32_t horizontalGrid = 5;
    std::string fontName = "TAHOMA";
    std::int32_t fontSize = 8;
    std::int32_t tableFontSize = 7;
    bool showAdcValue = false;
    // "расчёт"
    std::int32_t smoothing = 1;
    std::int32_t averagingPoints = 20;
    double filterFrequency = 2.0;
    std::int32_t zeroTime = 5;
    double currentDepth = 0.0;
    bool depthCalculation = false;
    bool calcResultFromPeak = false;
    bool demo = false;
    // "основные_настройки"
    std::string well = "default";
    std::string area = "default";
    bool remoteControl = true;
    // "газосумматор"
    bool summatorUse = false;
    std::int32_t summatorPresent = 0;
    bool summatorShow = false;
    bool summatorShowWindow = false;
    float summatorCoeff = 0.1f;
    float summatorNull = 0;
    float summatorNull10 = 0;
    float summatorSwitchThreshold = 0.95f;
    double summatorMax1 = 1.0;
    double summatorMax10 = 10.0;
    std::int32_t summatorPrecision = 2;
    std::int32_t summatorWinWidth = 200;
    std::int32_t summatorWinScale = 0;
    float summatorWinXmin = 0;
    float summatorWinXmax = 5;
    // "порог"
    bool thresholdByTotalGas = false;
    double thresholdValue = 0.05;
    std::string regComputerName = "localhost";

protected:
    void declare(lib::ini_options_elements& list) override;
    void afterSave(lib::IniFile& ini) override;
    void afterLoad(lib::IniFile& ini) override;
};
