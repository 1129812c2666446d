#include "settings/Configuration.h"

#include "library/Codepage.h"
#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class ConfigurationTest : public ::testing::Test {
protected:
    test::DecimalSeparatorScope comma{','};
    test::TemporaryDirectory dir;

    std::filesystem::path iniPath() const { return dir / "хроматограф.ini"; }
    void writeIni(const std::string& utf8) { test::writeFile(iniPath(), lib::toCp1251(utf8)); }
    std::string storedIni() const { return lib::fromCp1251(test::readFile(iniPath())); }
};

// What a new installation writes: every option, in declaration order, with its default.
const char* const newInstallationFile =
    "[порт]\r\ndevice_type=00000000\r\nимя=\"COM1\"\r\nимя_сумм=\"COM2\"\r\nскорость=19200\r\n"
    "чётность=0\r\nстоповые_биты=0\r\n\r\n"
    "[время]\r\nпосылок_в_секунду=8\r\nвремя1=2\r\nвремя2=23\r\nвремя3=30\r\nвремя4=35\r\n"
    "время5=55\r\nвремя6=70\r\nвремя7=120\r\nвремя_цикла=0\r\n\r\n"
    "[режим_работы]\r\nразмер_экрана=120\r\nFirstStart=1\r\n\r\n"
    "[газ]\r\nmin_gaz_value=0,0001\r\n\r\n"
    "[ацп]\r\nкоррекция_штокетников=0\r\nчисло_разрядов=14\r\nчисло_диапазонов=4\r\n"
    "кратность_диапазона=10\r\nвходное_напряжение=2,5\r\n\r\n"
    "[экран]\r\nscr_adc_value_mode=0\r\nцвет_фона=16777215\r\nцвет_кривой=0\r\nтолщина_кривой=1\r\n"
    "вертикальная_разлиновка=10\r\nгоризонтальная_разлиновка=5\r\nимя_шрифта=\"TAHOMA\"\r\n"
    "размер_шрифта=8\r\nразмер_шрифта_таблицы=7\r\nзначения_АЦП=0\r\n\r\n"
    "[расчёт]\r\nсглаживание=1\r\nчисло_точек_осреднения=20\r\nчастота_фильтра=2\r\n"
    "время_расчёта_нуля=5\r\nтекущая_глубина=0\r\nрасчёт_глубины=0\r\ncalc_result_from_pick=0\r\n"
    "demo=0\r\nпароль=-51\r\n\r\n"
    "[основные_настройки]\r\nскважина=\"default\"\r\nплощадь=\"default\"\r\nremote_control=1\r\n\r\n"
    "[газосумматор]\r\nuse=0\r\npresent=0\r\nshow=0\r\nshow_win=0\r\ncoeff=0,100000001490116\r\n"
    "null=0\r\nnull10=0\r\nporog=0,949999988079071\r\nsumm_max1=1\r\nsumm_max10=10\r\n"
    "gaz_summ_prec=2\r\nwin_width=200\r\nwin_mashtab=0\r\nwin_Xmin=0\r\nwin_Xmax=5\r\n\r\n"
    "[порог]\r\nporog_po_summe_type=0\r\nporog_po_summe_value=0,05\r\nreg_computer_name=\"localhost\"\r\n";

TEST_F(ConfigurationTest, NewInstallationUsesAndWritesEveryDefault)
{
    Configuration configuration;
    configuration.loadAtStartUp(dir.path());
    EXPECT_EQ(configuration.windowCaption(), "Хроматограф ЛТ-4КС");
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(2, 23, 30, 35, 55, 70, 120, 0));
    EXPECT_TRUE(configuration.firstStart);
    EXPECT_EQ(configuration.password, "1");
    EXPECT_EQ(configuration.iniPath, iniPath().string());
    EXPECT_EQ(configuration.calibrationPath, (dir / "эталон.ini").string());
    EXPECT_FALSE(std::filesystem::exists(iniPath()));  // loading creates nothing

    configuration.saveProgramSettings();
    EXPECT_EQ(storedIni(), newInstallationFile);
}

TEST_F(ConfigurationTest, StoredTavirTypeGetsTavirTimeDefaults)
{
    writeIni("[порт]\r\ndevice_type=01000000\r\n");
    Configuration configuration;
    configuration.loadAtStartUp(dir.path());
    EXPECT_EQ(configuration.deviceType, modelTavir);
    EXPECT_EQ(configuration.windowCaption(), "Хроматограф Тавир");
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(4, 18, 70, 32, 120, 0, 0, 0));
    EXPECT_EQ(configuration.cycleDuration(), 120);
    EXPECT_EQ(configuration.heatingEnd(), 70);
}

TEST_F(ConfigurationTest, StoredTimesOverrideTheTypeDefaults)
{
    writeIni("[порт]\r\ndevice_type=01000000\r\n[время]\r\nвремя5=150\r\n");
    Configuration configuration;
    configuration.loadAtStartUp(dir.path());
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(4, 18, 70, 32, 150, 0, 0, 0));
    EXPECT_EQ(configuration.cycleDuration(), 150);
    configuration.setCycleDuration(160);
    configuration.setHeatingEnd(80);
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(4, 18, 80, 32, 160, 0, 0, 0));
}

TEST_F(ConfigurationTest, TypeDependentAccessorsByModel)
{
    Configuration configuration;
    EXPECT_EQ(configuration.cycleDuration(), 120);  // ЛТ-4КС: "время7"
    EXPECT_EQ(configuration.heatingEnd(), 0);       // no heating step
    configuration.setHeatingEnd(99);
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(2, 23, 30, 35, 55, 70, 120, 0));

    configuration.deviceType = 7;
    EXPECT_EQ(configuration.windowCaption(),
              "Хроматограф <Неизвестный прототип> (ПРОВЕРЬТЕ ПРАВИЛЬНОСТЬ УСТАНОВКИ ПРОГРАММЫ !!!)");
    EXPECT_EQ(configuration.cycleDuration(), 0);
    EXPECT_EQ(configuration.heatingEnd(), 0);
    configuration.setCycleDuration(5);
    configuration.applyDeviceTimeDefaults();  // other types: times left as they are
    EXPECT_THAT(configuration.programmeTimes, ElementsAre(2, 23, 30, 35, 55, 70, 120, 0));
}

TEST_F(ConfigurationTest, DeviceTypeOfWrongLengthKeepsTypeZero)
{
    writeIni("[порт]\r\ndevice_type=0100\r\n");
    Configuration configuration;
    configuration.loadAtStartUp(dir.path());
    EXPECT_EQ(configuration.deviceType, 0);
}

TEST_F(ConfigurationTest, PasswordIsStoredScrambledAndReadsBack)
{
    Configuration configuration;
    configuration.loadProgramSettings(dir.path());
    configuration.password = "a1Я";  // 'a' scrambles to a negative byte
    configuration.saveProgramSettings();
    EXPECT_THAT(storedIni(), ::testing::HasSubstr("\r\nпароль=-35 -51 103\r\n"));

    Configuration loaded;
    loaded.loadProgramSettings(dir.path());
    EXPECT_EQ(loaded.password, "a1Я");
}

TEST_F(ConfigurationTest, MissingOrEmptyPasswordFallsBackToTheBuiltInOne)
{
    for (const char* stored : {"[расчёт]\r\nпароль=\r\n", "[расчёт]\r\nпароль=-2\r\n", "[газ]\r\n"}) {
        writeIni(stored);
        Configuration configuration;
        configuration.password = "other";
        configuration.loadProgramSettings(dir.path());
        EXPECT_EQ(configuration.password, Configuration::defaultPassword) << stored;
    }
    writeIni("[расчёт]\r\nпароль=x -51\r\n");  // no number reads as 0, which is a character
    Configuration configuration;
    configuration.loadProgramSettings(dir.path());
    EXPECT_EQ(configuration.password, "\x06" "1");
}

TEST_F(ConfigurationTest, RealNumbersFollowTheRegionalSeparator)
{
    writeIni("[газ]\r\nmin_gaz_value=0.5\r\n[ацп]\r\nвходное_напряжение=5,5\r\n");
    Configuration configuration;
    configuration.loadProgramSettings(dir.path());
    EXPECT_EQ(configuration.minGazValue, 0.0001);  // a point: not this system's form
    EXPECT_EQ(configuration.inputVoltage, 5.5);
    configuration.minGazValue = 0.25;
    configuration.saveProgramSettings();
    EXPECT_THAT(storedIni(), ::testing::HasSubstr("min_gaz_value=0,25\r\n"));
}

TEST_F(ConfigurationTest, SavingKeepsTheSectionsOfOtherOwners)
{
    writeIni("[NivraSystem]\r\nwork_mode=02000000\r\n\r\n[главное_окно]\r\ntop=5\r\n");
    Configuration configuration;
    configuration.loadAtStartUp(dir.path());
    configuration.saveProgramSettings();
    const lib::IniFile ini(iniPath());
    EXPECT_EQ(ini.readString("NivraSystem", "work_mode", ""), "02000000");
    EXPECT_EQ(ini.readInteger("главное_окно", "top", 0), 5);
    EXPECT_EQ(ini.readString("порт", "имя", ""), "COM1");
}

} // namespace
