// The "try it" folder: made by scripts/try-prepare against the running simulator, then one
// analysis in it, as scripts/run --try does before it opens the station.
#include "analysis/Etalonstorage.h"
#include "analysis/Gazopts.h"
#include "library/Lockobject.h"
#include "library/Numstr.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "support/Childprocess.h"
#include "tryfolder/Simmixture.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <map>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using test::ChildProcess;

constexpr const char* cycleSeconds = "85";
constexpr std::uint64_t simulatorSeed = 23;  // not the reference sample's: the calibration must carry over

// key=value lines of one result list.
std::map<std::string, double> resultsOf(const std::string& output)
{
    std::map<std::string, double> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (const auto at = line.find('='); at != std::string::npos)
            values[line.substr(0, at)] = lib::parseReal(line.substr(at + 1));
    return values;
}

class TryFolderTest : public ::testing::Test {
protected:
    TryFolderTest()
    {
        ::setenv("LC_ALL", "C", 1);
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
    }
    ~TryFolderTest() override { ::unsetenv("NIVRA_MAILSLOT_DIR"); }

    // scripts/try-prepare with this build's programs; its exit status.
    int prepare(const std::filesystem::path& folder, const std::string& terminal)
    {
        ChildProcess script(TRY_PREPARE_PATH, {"--station", NIVRAEXE_PATH, "--tool", TRYFOLDER_PATH, folder.string(),
                                               terminal, "--length", cycleSeconds});
        const int status = script.exitStatus(60s).value_or(-1);
        log_ = script.output() + script.errors();
        return status;
    }

    std::string setting(std::string_view section, std::string_view key) const
    {
        return lib::IniFile(folder_ / Configuration::iniFileName).readString(section, key, "<none>");
    }

    test::TemporaryDirectory dir;
    const std::filesystem::path folder_ = dir / "try";
    std::string log_;
};

TEST_F(TryFolderTest, TheFirstAnalysisShowsTheSimulatorsConcentrations)
{
    // An earlier try folder is made afresh.
    std::filesystem::create_directories(folder_);
    test::writeFile(folder_ / ".nivra-try", "");
    test::writeFile(folder_ / "stale.txt", "from an earlier try");

    ChildProcess simulator(CHROMSIM_PATH, {"--speed", "40", "--length", cycleSeconds, "--seed",
                                           std::to_string(simulatorSeed), "--cycles", "1"});
    const std::string terminal = simulator.firstLine();
    ASSERT_FALSE(terminal.empty()) << simulator.errors();
    ASSERT_EQ(prepare(folder_, terminal), 0) << log_;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "stale.txt"));

    const struct {
        const char* section;
        const char* key;
        std::string value;
    } settings[] = {
        {"порт", "имя", terminal},
        {"время", "время7", cycleSeconds},  // the cycle duration of model 0
        {"режим_работы", "FirstStart", "0"},
        {"NivraSystem", "work_mode", "02000000"},  // continuous
        {"порог", "reg_computer_name", ""},
    };
    for (const auto& s : settings)
        EXPECT_EQ(setting(s.section, s.key), s.value) << s.section << " / " << s.key;

    ASSERT_TRUE(std::filesystem::exists(folder_ / EtalonStorage::defaultFileName));
    EtalonStorage calibration;
    calibration.load(folder_ / EtalonStorage::defaultFileName);
    ASSERT_EQ(calibration.entries.size(), 1u);

    ChildProcess station(NIVRAEXE_PATH, {"--headless", "--cycles", "1", "--dir", folder_.string()});
    ASSERT_EQ(station.exitStatus(90s), 0) << station.errors();
    const auto results = resultsOf(station.output());

    lib::lock_object lock;
    GazOptions gases(lock);
    gases.loadList(folder_ / Configuration::iniFileName);
    ASSERT_EQ(gases.count(), 6);
    const auto sample = tryfolder::SimMixture::ofCycle(simulatorSeed, 1);
    for (int i = 0; i < gases.count(); ++i) {
        const Gaz& gas = gases.gas(static_cast<std::size_t>(i));
        const auto component = sample.inWindow(gas.nominalStart, gas.nominalEnd);
        ASSERT_TRUE(component) << gas.name;
        ASSERT_EQ(results.count(gas.name + "_абс"), 1u) << station.output();
        const double shown = results.at(gas.name + "_абс");
        EXPECT_GT(shown, 0) << gas.name;
        EXPECT_NEAR(shown, component->concentration, 0.1 * component->concentration) << gas.name;
    }
}

TEST_F(TryFolderTest, LeavesAFolderItDidNotMakeAlone)
{
    const std::string operatorsSettings = "[порт]\r\nимя=\"/dev/ttyUSB0\"\r\n";
    std::filesystem::create_directories(folder_);
    test::writeFile(folder_ / Configuration::iniFileName, operatorsSettings);

    EXPECT_NE(prepare(folder_, "/dev/null"), 0);
    EXPECT_THAT(log_, ::testing::HasSubstr("is not a try folder"));
    EXPECT_EQ(test::readFile(folder_ / Configuration::iniFileName), operatorsSettings);
    EXPECT_FALSE(std::filesystem::exists(folder_ / ".nivra-try"));
}

TEST_F(TryFolderTest, RefusesAFolderThatCouldNotShowConcentrations)
{
    const struct {
        const char* what;
        bool firstStart;
        const char* length;
        const char* message;
    } cases[] = {
        {"no first start", false, "85", "no settings in"},
        {"a cycle too short for pentane", true, "60", "ends before пентан"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        if (c.firstStart) {
            ChildProcess first(NIVRAEXE_PATH, {"--headless", "--cycles", "0", "--dir", folder_.string()});
            ASSERT_EQ(first.exitStatus(60s), 0) << first.errors();
        }
        ChildProcess tool(TRYFOLDER_PATH, {"--dir", folder_.string(), "--port", "/dev/null", "--length", c.length});
        EXPECT_EQ(tool.exitStatus(30s), 1) << c.what;
        EXPECT_THAT(tool.errors(), ::testing::HasSubstr(c.message)) << c.what;
        // Nothing is half done: the port and the calibration stay as they were.
        EXPECT_NE(setting("порт", "имя"), "/dev/null") << c.what;
        EtalonStorage calibration;
        calibration.load(folder_ / EtalonStorage::defaultFileName);
        EXPECT_EQ(calibration.entries.size(), 0u) << c.what;
    }
}

} // namespace
