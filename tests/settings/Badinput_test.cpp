#include "settings/Configuration.h"

#include "library/Codepage.h"
#include "support/Testsupport.h"

#include <random>

namespace {

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(generator));
    return bytes;
}

// Loads the file as the station does at start-up, saves, and loads what it saved.
std::unique_ptr<Configuration> startUpWith(const test::TemporaryDirectory& dir, const std::string& contents)
{
    test::writeFile(dir / "хроматограф.ini", contents);
    auto configuration = std::make_unique<Configuration>();
    configuration->loadAtStartUp(dir.path());
    configuration->saveProgramSettings();
    return configuration;
}

void expectDefaultsOfTypeZero(const Configuration& c, const std::string& what)
{
    const Configuration defaults;
    EXPECT_EQ(c.deviceType, 0) << what;
    EXPECT_EQ(c.programmeTimes, defaults.programmeTimes) << what;
    EXPECT_EQ(c.baudRate, defaults.baudRate) << what;
    EXPECT_EQ(c.minGazValue, defaults.minGazValue) << what;
    EXPECT_EQ(c.regComputerName, defaults.regComputerName) << what;
    EXPECT_EQ(c.well, defaults.well) << what;
}

TEST(BadSettingsFile, DamagedFilesLeaveTheDefaultsAndSaveCleanly)
{
    const test::DecimalSeparatorScope comma(',');
    const std::pair<std::string, std::string> cases[] = {
        {"empty", ""},
        {"binary", randomBytes(100000, 1)},
        {"binary with brackets", "[\x00\xFF]\n=\n[" + randomBytes(5000, 2) + "\n"},
        {"no equals signs", lib::toCp1251("[порт]\r\ndevice_type 01000000\r\nскорость\r\n")},
        {"unterminated quotes", lib::toCp1251("[порт]\r\nимя_сумм=\"COM5\r\n[\"газ\r\nmin_gaz_value=\"\r\n")},
        {"undefined CP1251 byte", "[\x98]\r\n\x98=\x98\r\n[" + lib::toCp1251("порт") + "]\r\nдевайс\x98=1\r\n"},
        {"only line ends", std::string(100000, '\n')},
        {"one endless line", std::string(1 << 20, 'x')},
        {"section without end", lib::toCp1251("[порт\r\nскорость=1\r\n")},
    };
    for (const auto& [what, contents] : cases) {
        const test::TemporaryDirectory dir;
        const auto started = startUpWith(dir, contents);
        const Configuration& loaded = *started;
        if (what != "section without end")
            expectDefaultsOfTypeZero(loaded, what);

        Configuration again;
        again.loadAtStartUp(dir.path());
        EXPECT_EQ(again.programmeTimes, loaded.programmeTimes) << what;
        EXPECT_EQ(again.portName, loaded.portName) << what;
        EXPECT_EQ(again.summatorPortName, loaded.summatorPortName) << what;
    }
}

TEST(BadSettingsFile, HalfWrittenFileKeepsWhatIsWhole)
{
    const test::DecimalSeparatorScope comma(',');
    const test::TemporaryDirectory dir;
    const std::string whole = lib::toCp1251(
        "[порт]\r\ndevice_type=01000000\r\nимя=\"COM4\"\r\nскорость=9600\r\n[время]\r\nвремя1=11\r\nвремя2=22\r\n");
    const std::string cut = whole.substr(0, whole.find(lib::toCp1251("время2=22")) + 8);  // "время2=2"
    const auto c = startUpWith(dir, cut);
    EXPECT_EQ(c->deviceType, 1);
    EXPECT_EQ(c->portName, "COM4");
    EXPECT_EQ(c->baudRate, 9600);
    EXPECT_EQ(c->programmeTimes[0], 11);
    EXPECT_EQ(c->programmeTimes[1], 2);   // the cut value is still a number
    EXPECT_EQ(c->programmeTimes[2], 70);  // the rest: Тавир defaults
}

TEST(BadSettingsFile, NamesInAnyCaseAreFound)
{
    const test::TemporaryDirectory dir;
    const auto c = startUpWith(
        dir, lib::toCp1251("[ПОРТ]\r\nDEVICE_TYPE=01000000\r\nИМЯ=\"COM3\"\r\n[Газосумматор]\r\nUSE=1\r\n"));
    EXPECT_EQ(c->deviceType, 1);
    EXPECT_EQ(c->portName, "COM3");
    EXPECT_TRUE(c->summatorUse);
}

TEST(BadSettingsFile, HugeFileLoadsAndKeepsItsValidKeys)
{
    const test::TemporaryDirectory dir;
    std::string contents;
    contents.reserve(52u << 20);
    const std::string junk = randomBytes(1 << 20, 3);
    while (contents.size() < (50u << 20))
        contents += junk;
    contents += lib::toCp1251("\r\n[порт]\r\nимя=\"COM9\"\r\n");
    const auto c = startUpWith(dir, contents);
    EXPECT_EQ(c->portName, "COM9");
    const auto again = startUpWith(dir, test::readFile(dir / "хроматограф.ini"));
    EXPECT_EQ(again->portName, "COM9");
}

} // namespace
