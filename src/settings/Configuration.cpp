#include "settings/Configuration.h"

#include "library/Codepage.h"
#include "library/Numstr.h"
#include "library/Strworks.h"
#include "settings/Inifile.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

struct DeviceModel {
    std::int32_t type;
    const char* model;
    std::array<std::int32_t, Configuration::programmeTimeCount> timeDefaults;
    int cycleDurationStep;  // index into the programme times
    int heatingEndStep;     // -1: the model has no heating step
};

constexpr std::array<DeviceModel, 2> deviceModels{{
    {modelLT4KS, "ЛТ-4КС", {2, 23, 30, 35, 55, 70, 120, 0}, 6, -1},
    {modelTavir, "Тавир", {4, 18, 70, 32, 120, 0, 0, 0}, 4, 2},
}};

constexpr std::array<const char*, Configuration::programmeTimeCount> programmeTimeKeys{
    "время1", "время2", "время3", "время4", "время5", "время6", "время7", "время_цикла"};

const DeviceModel* findModel(std::int32_t type)
{
    const auto found = std::find_if(deviceModels.begin(), deviceModels.end(),
                                    [type](const DeviceModel& m) { return m.type == type; });
    return found == deviceModels.end() ? nullptr : &*found;
}

// The password is stored lightly scrambled: each CP1251 byte c as the signed byte
// ((c + 88) xor 0x5B) - 5 in decimal, blank-separated.
const char* const passwordKey = "пароль";
const char* const scrambledDefaultPassword = "-51";  // decodes to defaultPassword

std::string scramble(std::string_view password)
{
    std::string text;
    for (const char c : lib::toCp1251(password)) {
        const auto byte = static_cast<std::uint8_t>(((static_cast<std::uint8_t>(c) + 88) ^ 0x5B) - 5);
        if (!text.empty())
            text += ' ';
        text += std::to_string(static_cast<std::int8_t>(byte));
    }
    return text;
}

std::string unscramble(std::string_view text)
{
    std::string password;
    for (const std::string& field : lib::splitFields(text, ' ')) {
        if (field.empty())
            break;
        const std::int32_t n = lib::parseInteger(field).value_or(0);
        const auto c = static_cast<std::uint8_t>(((n + 5) ^ 0x5B) - 88);
        if (c == 0)
            break;  // the stored password was a C string: a zero ends it
        password += static_cast<char>(c);
    }
    return lib::fromCp1251(password);
}

} // namespace

Configuration::Configuration() : buildLabel(__DATE__ " / " __TIME__) {}

Configuration& Configuration::instance()
{
    static Configuration configuration;
    return configuration;
}

void Configuration::declare(lib::ini_options_elements& list)
{
    list.addRaw(deviceType, "порт", "device_type");
    list.addString(portName, "порт", "имя");
    list.addString(summatorPortName, "порт", "имя_сумм");
    list.addInt(baudRate, "порт", "скорость");
    list.addInt(parity, "порт", "чётность");
    list.addInt(stopBits, "порт", "стоповые_биты");

    list.addInt(samplesPerSecond, "время", "посылок_в_секунду");
    for (int i = 0; i < programmeTimeCount; ++i)
        list.addInt(programmeTimes[i], "время", programmeTimeKeys[i]);

    list.addInt(screenSeconds, "режим_работы", "размер_экрана");
    list.addBool(firstStart, "режим_работы", "FirstStart");

    list.addDouble(minGazValue, gazSection, "min_gaz_value");

    list.addBool(correctWindows, "ацп", "коррекция_штокетников");
    list.addInt(adcBits, "ацп", "число_разрядов");
    list.addInt(adcRanges, "ацп", "число_диапазонов");
    list.addInt(rangeRatio, "ацп", "кратность_диапазона");
    list.addDouble(inputVoltage, "ацп", "входное_напряжение");

    list.addInt(adcValueMode, "экран", "scr_adc_value_mode");
    list.addColor(backgroundColor, "экран", "цвет_фона");
    list.addColor(curveColor, "экран", "цвет_кривой");
    list.addInt(curveWidth, "экран", "толщина_кривой");
    list.addInt(verticalGrid, "экран", "вертикальная_разлиновка");
    list.addInt(horizontalGrid, "экран", "горизонтальная_разлиновка");
    list.addString(fontName, "экран", "имя_шрифта");
    list.addInt(fontSize, "экран", "размер_шрифта");
    list.addInt(tableFontSize, "экран", "размер_шрифта_таблицы");
    list.addBool(showAdcValue, "экран", "значения_АЦП");

    list.addInt(smoothing, calculationSection, "сглаживание");
    list.addInt(averagingPoints, calculationSection, "число_точек_осреднения");
    list.addDouble(filterFrequency, calculationSection, "частота_фильтра");
    list.addInt(zeroTime, calculationSection, "время_расчёта_нуля");
    list.addDouble(currentDepth, calculationSection, "текущая_глубина");
    list.addBool(depthCalculation, calculationSection, "расчёт_глубины");
    list.addBool(calcResultFromPeak, calculationSection, "calc_result_from_pick");
    list.addBool(demo, calculationSection, "demo");

    list.addString(well, "основные_настройки", "скважина");
    list.addString(area, "основные_настройки", "площадь");
    list.addBool(remoteControl, "основные_настройки", "remote_control");

    list.addBool(summatorUse, "газосумматор", "use");
    list.addInt(summatorPresent, "газосумматор", "present");
    list.addBool(summatorShow, "газосумматор", "show");
    list.addBool(summatorShowWindow, "газосумматор", "show_win");
    list.addFloat(summatorCoeff, "газосумматор", "coeff");
    list.addFloat(summatorNull, "газосумматор", "null");
    list.addFloat(summatorNull10, "газосумматор", "null10");
    list.addFloat(summatorSwitchThreshold, "газосумматор", "porog");
    list.addDouble(summatorMax1, "газосумматор", "summ_max1");
    list.addDouble(summatorMax10, "газосумматор", "summ_max10");
    list.addInt(summatorPrecision, "газосумматор", "gaz_summ_prec");
    list.addInt(summatorWinWidth, "газосумматор", "win_width");
    list.addInt(summatorWinScale, "газосумматор", "win_mashtab");
    list.addFloat(summatorWinXmin, "газосумматор", "win_Xmin");
    list.addFloat(summatorWinXmax, "газосумматор", "win_Xmax");

    list.addBool(thresholdByTotalGas, "порог", "porog_po_summe_type");
    list.addDouble(thresholdValue, "порог", "porog_po_summe_value");
    list.addString(regComputerName, "порог", "reg_computer_name");
}

void Configuration::afterSave(lib::IniFile& ini)
{
    ini.writeString(gazSection, "min_gaz_value", lib::formatGeneral(minGazValue));
    ini.writeString(calculationSection, passwordKey, scramble(password));
}

void Configuration::afterLoad(lib::IniFile& ini)
{
    password = unscramble(ini.readString(calculationSection, passwordKey, scrambledDefaultPassword));
    if (password.empty())
        password = defaultPassword;
    limitGridLines();
}

void Configuration::limitGridLines()
{
    horizontalGrid = std::max(horizontalGrid, minimumGridLines);
    verticalGrid = std::max(verticalGrid, minimumGridLines);
}

void Configuration::loadProgramSettings(const std::filesystem::path& directory)
{
    iniPath = (directory / iniFileName).string();
    calibrationPath = (directory / calibrationFileName).string();
    load(iniPath);
}

void Configuration::saveProgramSettings()
{
    save(fileName);
}

void Configuration::loadAtStartUp(const std::filesystem::path& directory)
{
    loadProgramSettings(directory);
    applyDeviceTimeDefaults();
    loadProgramSettings(directory);
}

void Configuration::applyDeviceTimeDefaults()
{
    if (const DeviceModel* model = findModel(deviceType))
        programmeTimes = model->timeDefaults;
}

std::int32_t Configuration::cycleDuration() const
{
    const DeviceModel* model = findModel(deviceType);
    return model ? programmeTimes[model->cycleDurationStep] : 0;
}

void Configuration::setCycleDuration(std::int32_t seconds)
{
    if (const DeviceModel* model = findModel(deviceType))
        programmeTimes[model->cycleDurationStep] = seconds;
}

std::int32_t Configuration::heatingEnd() const
{
    const DeviceModel* model = findModel(deviceType);
    return model && model->heatingEndStep >= 0 ? programmeTimes[model->heatingEndStep] : 0;
}

void Configuration::setHeatingEnd(std::int32_t seconds)
{
    if (const DeviceModel* model = findModel(deviceType); model && model->heatingEndStep >= 0)
        programmeTimes[model->heatingEndStep] = seconds;
}

bool Configuration::knownDeviceType() const
{
    return findModel(deviceType) != nullptr;
}

std::string Configuration::deviceModel() const
{
    const DeviceModel* model = findModel(deviceType);
    return model ? model->model : "<Неизвестный прототип>";
}

std::string Configuration::windowCaption() const
{
    if (!knownDeviceType())
        return "Хроматограф <Неизвестный прототип> (ПРОВЕРЬТЕ ПРАВИЛЬНОСТЬ УСТАНОВКИ ПРОГРАММЫ !!!)";
    return std::string("Хроматограф ") + deviceModel();
}
